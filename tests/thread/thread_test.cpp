#include "thread/thread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <new>
#include <string>

#include "platform/threads.h"
#include "thread/running_thread.h"
#include "thread/sleep.h"
#include "thread/thread_start_record.h"
#include "thread/thread_task.h"

namespace kwCore {
namespace {

// HookTrace records the hooks a run calls and what it saw while they ran.
class HookTrace : public Thread {
  public:
    explicit HookTrace(bool startOk, bool autoDelete = false)
        : Thread(autoDelete), startOk(startOk) {}

    bool onStart() override {
        calls += "start;";
        startedDuringOnStart = started.load();
        runningDuringOnStart = running.load();
        return startOk;
    }
    void body() override {
        calls += "body;";
        handleDuringBody = handle.load();
        idDuringBody = platform::currentThreadId();
    }
    void onExit(bool bodyRan) override {
        calls += bodyRan ? "exit(true);" : "exit(false);";
        startedDuringOnExit = started.load();
    }

    bool startOk;
    std::string calls;
    bool startedDuringOnStart = true;
    bool runningDuringOnStart = false;
    bool startedDuringOnExit = false;
    platform::ThreadHandle handleDuringBody = nullptr;
    uint32_t idDuringBody = 0;
};

TEST(Thread, RefusedStartSkipsBodyYetCountsAsStarted) {
    HookTrace thread(false);
    thread.stopRequested = true;
    thread.run();
    EXPECT_EQ(thread.calls, "start;exit(false);");
    EXPECT_FALSE(thread.startedDuringOnStart);
    EXPECT_TRUE(thread.runningDuringOnStart);
    EXPECT_TRUE(thread.startedDuringOnExit);
    EXPECT_TRUE(thread.started);
    EXPECT_FALSE(thread.running);
    EXPECT_FALSE(thread.stopRequested);
    EXPECT_EQ(thread.handle.load(), nullptr);
    EXPECT_EQ(thread.threadId.load(), platform::currentThreadId());
}

TEST(Thread, RunsAllHooksOnItsOwnThreadAndCanRunAgain) {
    HookTrace thread(true);
    startThread(&thread).wait();
    EXPECT_EQ(thread.calls, "start;body;exit(true);");
    EXPECT_NE(thread.handleDuringBody, nullptr);
    EXPECT_EQ(thread.idDuringBody, thread.threadId.load());
    EXPECT_NE(thread.threadId.load(), platform::currentThreadId());
    EXPECT_TRUE(thread.started);
    EXPECT_FALSE(thread.running);
    EXPECT_EQ(thread.handle.load(), nullptr);

    thread.calls.clear();
    startThread(&thread).wait();
    EXPECT_EQ(thread.calls, "start;body;exit(true);");
    EXPECT_TRUE(thread.isValid());
}

std::atomic<int> destroyedTraces{0};

class SelfDeleting : public Thread {
  public:
    SelfDeleting() : Thread(true) {}
    ~SelfDeleting() override { ++destroyedTraces; }
};

TEST(Thread, AutoDeleteDestroysTheObjectAfterRun) {
    destroyedTraces = 0;
    startThread(new SelfDeleting).wait();
    EXPECT_EQ(destroyedTraces, 1);
}

TEST(Thread, MarkerTellsLiveFromDestroyed) {
    alignas(Thread) unsigned char storage[sizeof(Thread)];
    auto* thread = new (storage) Thread;
    EXPECT_EQ(thread->marker, Thread::validMarker);
    EXPECT_TRUE(thread->isValid());
    const size_t markerOffset = reinterpret_cast<unsigned char*>(&thread->marker) - storage;
    thread->~Thread();
    uint32_t marker = 0;
    std::memcpy(&marker, storage + markerOffset, sizeof marker);
    EXPECT_EQ(marker, Thread::destroyedMarker);
}

void storeSeven(void* argument) {
    *static_cast<int*>(argument) = 7;
}

TEST(Thread, StartsAFunctionWithItsArgument) {
    int result = 0;
    RunningThread thread = startThread(storeSeven, &result);
    EXPECT_TRUE(thread.isStarted());
    thread.wait();
    EXPECT_FALSE(thread.isStarted());
    EXPECT_EQ(result, 7);
}

// BusyProbe reports whether busy was set while it executed.
class BusyProbe : public ThreadTask {
  public:
    explicit BusyProbe(std::atomic<int>* seen) : seen(seen) {}
    void execute() override { seen->store(busy.load() ? 1 : 2); }
    std::atomic<int>* seen;
};

TEST(Thread, ExecutesATaskThatIsBusyMeanwhile) {
    std::atomic<int> seen{0};
    startThread(new BusyProbe(&seen)).wait();  // the task frees itself
    EXPECT_EQ(seen, 1);
}

// A task whose ThreadTask part does not start its object.
class Tagged {
  public:
    virtual ~Tagged() = default;
    int tag = 3;
};
class OffsetTask : public Tagged, public ThreadTask {
  public:
    explicit OffsetTask(int* result) : result(result) {}
    void execute() override { *result = tag; }
    int* result;
};

TEST(Thread, FreesATaskWhereverItsTaskPartSits) {
    static_assert(!std::is_trivially_destructible_v<OffsetTask>);
    int result = 0;
    // Started through startTaskThread: the type check would refuse it, and
    // its trivial members do not need their destructors.
    startTaskThread(new OffsetTask(&result)).wait();
    EXPECT_EQ(result, 3);
}

TEST(Thread, RunningThreadWaitsWhenItGoesOutOfScope) {
    HookTrace thread(true);
    { RunningThread running = startThread(&thread); }
    EXPECT_EQ(thread.calls, "start;body;exit(true);");
}

TEST(SleepMs, SleepsAtLeastTheTimeAndZeroOnlyYields) {
    using Clock = std::chrono::steady_clock;
    auto start = Clock::now();
    EXPECT_TRUE(sleepMs(30));
    EXPECT_GE(Clock::now() - start, std::chrono::milliseconds(30));

    start = Clock::now();
    for (int i = 0; i < 100; ++i) {
        sleepMs(0);
    }
    EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(500));
}

}  // namespace
}  // namespace kwCore
