#include "thread/running_thread.h"

#include <memory>

#include "platform/threads.h"
#include "thread/thread_start_record.h"

namespace kwCore {

RunningThread& RunningThread::operator=(RunningThread&& other) noexcept {
    if (this != &other) {
        wait();
        system = other.system;
        other.system = nullptr;
    }
    return *this;
}

void RunningThread::wait() noexcept {
    platform::waitForSystemThread(system);
    system = nullptr;
}

RunningThread startThread(Thread* thread) {
    return RunningThread(platform::startSystemThread(threadEntry, thread));
}

RunningThread startThread(void (*function)(void* argument), void* argument) {
    auto record = std::make_unique<ThreadStartRecord>(ThreadStartRecord{function, argument});
    RunningThread started(platform::startSystemThread(functionThreadEntry, record.get()));
    if (started.isStarted()) {
        record.release();  // functionThreadEntry deletes it.
    }
    return started;
}

RunningThread startTaskThread(ThreadTask* task) {
    return RunningThread(platform::startSystemThread(taskThreadEntry, task));
}

}  // namespace kwCore
