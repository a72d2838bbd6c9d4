#pragma once

#include <concepts>
#include <type_traits>

#include "thread/thread.h"
#include "thread/thread_task.h"

namespace kwCore {

// RunningThread refers to a system thread started by startThread, to wait
// for it. Destroying or assigning over it waits for the thread.
class [[nodiscard]] RunningThread {
  public:
    RunningThread() noexcept = default;
    explicit RunningThread(void* system) noexcept : system(system) {}
    RunningThread(RunningThread&& other) noexcept : system(other.system) { other.system = nullptr; }
    RunningThread& operator=(RunningThread&& other) noexcept;
    ~RunningThread() { wait(); }

    // isStarted tells whether a system thread was started and not yet
    // waited for.
    bool isStarted() const noexcept { return system != nullptr; }

    // wait waits until the thread has ended; afterwards isStarted is false.
    void wait() noexcept;

  private:
    // system is the platform layer's opaque reference to the thread.
    void* system = nullptr;
};

// startThread runs thread on a new system thread through threadEntry. When
// no thread can be started the result is not started, and the caller still
// owns thread (even with autoDelete set).
RunningThread startThread(Thread* thread);

// startThread calls function(argument) on a new system thread through
// functionThreadEntry.
RunningThread startThread(void (*function)(void* argument), void* argument);

// startTaskThread executes task on a new system thread through
// taskThreadEntry, which frees it. When no thread can be started the
// result is not started and the caller still owns task. Prefer startThread.
RunningThread startTaskThread(ThreadTask* task);

// startThread executes task, created with new, on a new system thread.
// The task's memory is freed without running its destructor, so Task must
// be trivially destructible.
template <std::derived_from<ThreadTask> Task>
RunningThread startThread(Task* task) {
    static_assert(std::is_trivially_destructible_v<Task>,
                  "a task is freed without running its destructor");
    return startTaskThread(task);
}

}  // namespace kwCore
