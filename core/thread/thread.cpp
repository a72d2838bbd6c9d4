#include "thread/thread.h"

#include "platform/threads.h"
#include "thread/thread_record.h"

namespace kwCore {

Thread::Thread(bool autoDelete) noexcept : autoDelete(autoDelete) {}

void Thread::run() {
    handle.store(platform::duplicateCurrentThreadHandle());
    threadId.store(platform::currentThreadId());
    running.store(true);
    stopRequested.store(false);
    const bool ok = onStart();
    started.store(true);
    if (ok) {
        body();
        onExit(true);
    } else {
        onExit(false);
    }
    running.store(false);
    started.store(true);
    platform::closeThreadHandle(handle.exchange(nullptr));
}

bool Thread::onStart() {
    return true;
}

void Thread::body() {}

void Thread::onExit(bool) {}

bool Thread::isValid() const {
    return marker == validMarker;
}

Thread::~Thread() {
    // A volatile store: the compiler may not drop it as a write to an object
    // whose lifetime ends, and a stale pointer then finds the object invalid.
    *static_cast<volatile uint32_t*>(&marker) = destroyedMarker;
}

void threadEntry(void* argument) {
    attachThreadRecord();
    auto* thread = static_cast<Thread*>(argument);
    thread->run();
    if (thread->autoDelete) {
        delete thread;
    }
    detachThreadRecord();
}

}  // namespace kwCore
