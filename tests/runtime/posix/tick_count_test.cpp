// The POSIX tick count: the monotonic clock's milliseconds cut to 32 bits,
// read beside that clock, at start-up, and across the wrap, which a child
// in a time namespace reaches by moving its monotonic clock ahead.
#include <gtest/gtest.h>
#include <sched.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "platform/clock.h"
#include "runtime/startup_state.h"

namespace kwCore {
namespace {

uint64_t monotonicMilliseconds() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<uint64_t>(now.tv_sec) * 1000u +
           static_cast<uint64_t>(now.tv_nsec) / 1000000u;
}

// TickReading is one tick count with the monotonic milliseconds read just
// before and just after it.
struct TickReading {
    uint64_t before;
    uint32_t tick;
    uint64_t after;

    static TickReading take() {
        TickReading reading{};
        reading.before = monotonicMilliseconds();
        reading.tick = platform::tickCount();
        reading.after = monotonicMilliseconds();
        return reading;
    }
    // withinClock tells whether the tick is the low 32 bits of a millisecond
    // between the two clock readings.
    bool withinClock() const {
        return static_cast<uint32_t>(tick - static_cast<uint32_t>(before)) <= after - before;
    }
};

// tickBeforeStartUp is read before any initialiser of the program runs,
// the library's start-up among them. The entry is writable, as start-up
// entries are, so that it links beside them under link-time optimisation.
uint32_t tickBeforeStartUp = 0;
[[gnu::used, gnu::section(".preinit_array")]] void (*readTickBeforeStartUp)() = [] {
    tickBeforeStartUp = platform::tickCount();
};

// followsAcrossTheWrap reads the tick until it has wrapped, checking every
// reading against the clock; returns 0, 1 for a reading off the clock or a
// step back, 2 when no wrap came.
int followsAcrossTheWrap() {
    TickReading previous = TickReading::take();
    for (int i = 0; i < 10000000; ++i) {
        const TickReading now = TickReading::take();
        if (!now.withinClock() || now.tick - previous.tick > 1000u) {
            return 1;
        }
        if (now.tick < previous.tick) {
            return previous.tick > 0xFFFFFFFFu - 1000u && now.tick < 1000u ? 0 : 1;
        }
        previous = now;
    }
    return 2;
}

// wrapInTimeNamespace runs followsAcrossTheWrap in a grandchild whose
// monotonic clock stands 40 ms before a multiple of 2^32 ms. Returns its
// result, or -1 when no time namespace can be made here.
int wrapInTimeNamespace() {
    const pid_t child = fork();
    if (child == 0) {
        if (unshare(CLONE_NEWTIME) != 0 && unshare(CLONE_NEWUSER | CLONE_NEWTIME) != 0) {
            _exit(77);
        }
        const uint64_t now = monotonicMilliseconds();
        const uint64_t offset = (((now >> 32) + 1) << 32) - 40 - now;
        FILE* offsets = std::fopen("/proc/self/timens_offsets", "w");
        if (offsets == nullptr ||
            std::fprintf(offsets, "monotonic %llu %llu\n",
                         static_cast<unsigned long long>(offset / 1000),
                         static_cast<unsigned long long>(offset % 1000 * 1000000)) < 0 ||
            std::fclose(offsets) != 0) {
            _exit(77);
        }
        const pid_t grandchild = fork();  // the first process in the namespace
        if (grandchild == 0) {
            _exit(followsAcrossTheWrap());
        }
        int status = 0;
        waitpid(grandchild, &status, 0);
        _exit(WIFEXITED(status) ? WEXITSTATUS(status) : 3);
    }
    int status = 0;
    if (child < 0 || waitpid(child, &status, 0) != child || !WIFEXITED(status)) {
        return 3;
    }
    return WEXITSTATUS(status) == 77 ? -1 : WEXITSTATUS(status);
}

TEST(TickCount, TheMonotonicMillisecondsCutTo32BitsFromStartUpOnAndAcrossTheWrap) {
    // The start tick lies between a reading before the start-up and one now.
    const uint32_t now = platform::tickCount();
    EXPECT_LE(startTickCount - tickBeforeStartUp, now - tickBeforeStartUp);

    // One per millisecond of the clock, never back, over some 30 ms.
    TickReading previous = TickReading::take();
    const uint64_t end = previous.before + 30;
    for (TickReading reading = previous; reading.before < end; reading = TickReading::take()) {
        ASSERT_TRUE(reading.withinClock()) << reading.before << " " << reading.tick;
        ASSERT_LE(static_cast<uint32_t>(reading.tick - previous.tick),
                  reading.after - previous.before);
        previous = reading;
        sched_yield();
    }

    const int wrap = wrapInTimeNamespace();
    if (wrap < 0) {
        GTEST_SKIP() << "no time namespace here: the wrap is not checked";
    }
    EXPECT_EQ(wrap, 0) << "1: a reading off the clock or a step back; 2: no wrap";
}

}  // namespace
}  // namespace kwCore
