#pragma once

#include <atomic>

namespace kwCore {

// ThreadTask is a one-shot piece of work handed to its own system thread
// with startThread (running_thread.h). Create it with new; taskThreadEntry
// frees its memory after execute returns without running a destructor, so
// a task type must be trivially destructible (startThread checks that).
class ThreadTask {
  public:
    ThreadTask() = default;
    ThreadTask(const ThreadTask&) = delete;
    ThreadTask& operator=(const ThreadTask&) = delete;

    // execute does the task's work on the started thread.
    virtual void execute() = 0;

    // busy is set while the task runs.
    std::atomic<bool> busy{false};

  protected:
    ~ThreadTask() = default;
};

// taskThreadEntry is the start routine for a ThreadTask (argument): it sets
// busy, attaches the thread's record, executes the task, detaches the
// record, clears busy and frees the task's memory.
void taskThreadEntry(void* argument);

}  // namespace kwCore
