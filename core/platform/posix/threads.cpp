#include "platform/threads.h"

#include <errno.h>
#include <pthread.h>
#include <sched.h>
#include <time.h>
#include <unistd.h>

#include <cstring>

namespace kwCore::platform {

static_assert(sizeof(pthread_mutex_t) <= sizeof(CriticalSection::storage));
static_assert(alignof(pthread_mutex_t) <= alignof(CriticalSection));
static_assert(sizeof(pthread_t) <= sizeof(void*));
static_assert(sizeof(pthread_key_t) == sizeof(uint32_t));

namespace {

// StartRequest carries a start routine and its argument onto the new thread.
struct StartRequest {
    ThreadRoutine routine;
    void* argument;
};

void* startRoutine(void* parameter) {
    const StartRequest request = *static_cast<StartRequest*>(parameter);
    delete static_cast<StartRequest*>(parameter);
    request.routine(request.argument);
    return nullptr;
}

pthread_mutex_t* systemMutex(CriticalSection* section) {
    return reinterpret_cast<pthread_mutex_t*>(section->storage);
}

// A pthread_t travels as the bytes of an opaque pointer.
void* toPointer(pthread_t thread) {
    void* pointer = nullptr;
    std::memcpy(&pointer, &thread, sizeof thread);
    return pointer;
}

// cachedThreadId is the calling thread's id once asked for, else 0.
thread_local uint32_t cachedThreadId = 0;

pthread_t toThread(void* pointer) {
    pthread_t thread{};
    std::memcpy(&thread, &pointer, sizeof thread);
    return thread;
}

}  // namespace

SystemThread startSystemThread(ThreadRoutine routine, void* argument) {
    auto* request = new StartRequest{routine, argument};
    pthread_t thread{};
    if (pthread_create(&thread, nullptr, startRoutine, request) != 0) {
        delete request;
        return nullptr;
    }
    return toPointer(thread);
}

void waitForSystemThread(SystemThread thread) noexcept {
    if (thread != nullptr) {
        pthread_join(toThread(thread), nullptr);
    }
}

uint32_t currentThreadId() noexcept {
    // gettid is a system call each time; the locks ask for the id on every
    // entry, so each thread keeps its own. A forked child's only thread
    // starts with a fresh id and forgets the parent's.
    if (cachedThreadId == 0) {
        static const bool forgetsAfterFork =
            pthread_atfork(nullptr, nullptr, [] { cachedThreadId = 0; }) == 0;
        (void)forgetsAfterFork;
        cachedThreadId = static_cast<uint32_t>(gettid());
    }
    return cachedThreadId;
}

ThreadHandle duplicateCurrentThreadHandle() noexcept {
    return toPointer(pthread_self());
}

void closeThreadHandle(ThreadHandle) noexcept {}

bool yieldProcessor() noexcept {
    return sched_yield() == 0;
}

void sleepMilliseconds(uint32_t milliseconds) noexcept {
    timespec remaining{static_cast<time_t>(milliseconds / 1000),
                       static_cast<long>(milliseconds % 1000) * 1000000L};
    while (nanosleep(&remaining, &remaining) != 0 && errno == EINTR) {
    }
}

uint32_t allocateThreadLocal() noexcept {
    pthread_key_t key{};
    if (pthread_key_create(&key, nullptr) != 0) {
        return invalidThreadLocalIndex;
    }
    return static_cast<uint32_t>(key);
}

void* threadLocalValue(uint32_t index) noexcept {
    return pthread_getspecific(static_cast<pthread_key_t>(index));
}

bool setThreadLocalValue(uint32_t index, void* value) noexcept {
    return pthread_setspecific(static_cast<pthread_key_t>(index), value) == 0;
}

bool freeThreadLocal(uint32_t index) noexcept {
    return pthread_key_delete(static_cast<pthread_key_t>(index)) == 0;
}

bool initializeCriticalSection(CriticalSection* section, uint32_t) noexcept {
    pthread_mutexattr_t attributes;
    if (pthread_mutexattr_init(&attributes) != 0) {
        return false;
    }
    pthread_mutexattr_settype(&attributes, PTHREAD_MUTEX_RECURSIVE);
    const bool ok = pthread_mutex_init(systemMutex(section), &attributes) == 0;
    pthread_mutexattr_destroy(&attributes);
    return ok;
}

void enterCriticalSection(CriticalSection* section) noexcept {
    pthread_mutex_lock(systemMutex(section));
}

void leaveCriticalSection(CriticalSection* section) noexcept {
    pthread_mutex_unlock(systemMutex(section));
}

void deleteCriticalSection(CriticalSection* section) noexcept {
    pthread_mutex_destroy(systemMutex(section));
}

}  // namespace kwCore::platform
