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
#include "thread/thread_task.h"

namespace kwCore {
namespace {

// HookTrace records the hooks a run calls and what it saw while they ran.
class HookTrace : public Thread {
  public:
    explicit HookTrace(bool startOk) : startOk(startOk) {}

    bool onStart() override {
        calls += "start;";
        startedDuringOnStart = started;
        return startOk;
    }
    void body() override {
        calls += "body;";
        handleDuringBody = handle;
        startedDuringBody = started;
        runningDuringBody = running;
        stopRequestedDuringBody = stopRequested;
        ownIdDuringBody = threadId == platform::currentThreadId();
    }
    void onExit(bool bodyRan) override { calls += bodyRan ? "exit(true);" : "exit(false);"; }

    bool startOk;
    std::string calls;
    bool startedDuringOnStart = true;
    platform::ThreadHandle handleDuringBody = nullptr;
    bool startedDuringBody = false;
    bool runningDuringBody = false;
    bool stopRequestedDuringBody = true;
    bool ownIdDuringBody = false;
};

TEST(Thread, RefusedStartSkipsBodyYetCountsAsStarted) {
    HookTrace thread(false);
    thread.stopRequested = true;
    thread.run();
    EXPECT_EQ(thread.calls, "start;exit(false);");
    EXPECT_FALSE(thread.startedDuringOnStart);
    EXPECT_TRUE(thread.started);
    EXPECT_FALSE(thread.running);
    EXPECT_FALSE(thread.stopRequested);
    EXPECT_EQ(thread.handle.load(), nullptr);
}

TEST(Thread, RunsAllHooksOnItsOwnThreadAndTheBodySeesItsState) {
    HookTrace thread(true);
    thread.stopRequested = true;
    startThread(&thread).wait();
    EXPECT_EQ(thread.calls, "start;body;exit(true);");
    EXPECT_NE(thread.handleDuringBody, nullptr);
    EXPECT_TRUE(thread.startedDuringBody);
    EXPECT_TRUE(thread.runningDuringBody);
    EXPECT_FALSE(thread.stopRequestedDuringBody);
    EXPECT_TRUE(thread.ownIdDuringBody);
    EXPECT_NE(thread.threadId.load(), platform::currentThreadId());
    EXPECT_TRUE(thread.started);
    EXPECT_FALSE(thread.running);
    EXPECT_EQ(thread.handle.load(), nullptr);
}

std::atomic<int> destroyedThreads{0};

class SelfDeleting : public Thread {
  public:
    SelfDeleting() : Thread(true) {}
    ~SelfDeleting() override { ++destroyedThreads; }
};

TEST(Thread, AutoDeleteDestroysTheObjectAfterRun) {
    destroyedThreads = 0;
    startThread(new SelfDeleting).wait();
    EXPECT_EQ(destroyedThreads, 1);
}

TEST(Thread, DestructionInvalidatesTheMarker) {
    alignas(Thread) unsigned char storage[sizeof(Thread)];
    auto* thread = new (storage) Thread;
    EXPECT_TRUE(thread->isValid());
    const auto offset = reinterpret_cast<unsigned char*>(&thread->marker) - storage;
    thread->~Thread();
    uint32_t marker = 0;
    std::memcpy(&marker, storage + offset, sizeof marker);
    EXPECT_EQ(marker, Thread::destroyedMarker);
}

// BusyProbe reports whether busy was set while it executed.
class BusyProbe : public ThreadTask {
  public:
    explicit BusyProbe(std::atomic<int>* seen) : seen(seen) {}
    void execute() override { seen->store(busy ? 1 : 2); }
    std::atomic<int>* seen;
};

TEST(Thread, ExecutesATaskThatIsBusyMeanwhile) {
    std::atomic<int> seen{0};
    startThread(new BusyProbe(&seen)).wait();  // the task frees itself
    EXPECT_EQ(seen, 1);
}

TEST(SleepMs, SleepsAtLeastTheTimeGiven) {
    const auto start = std::chrono::steady_clock::now();
    sleepMs(30);
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(30));
}

}  // namespace
}  // namespace kwCore
