#pragma once

#include <cstddef>
#include <cstdint>

// System threads, thread ids, thread-local storage and critical sections.
namespace kwCore::platform {

// ThreadRoutine is a thread's start routine: one pointer argument, no result.
using ThreadRoutine = void (*)(void* argument);

// SystemThread is an opaque reference to a started system thread that can
// be waited for; nullptr means none.
using SystemThread = void*;

// ThreadHandle is an opaque real handle to a thread; nullptr means none.
using ThreadHandle = void*;

// startSystemThread starts a thread that calls routine(argument), and
// returns a reference to wait for it with, or nullptr when the system
// cannot start a thread (routine then never runs). Throws std::bad_alloc
// when the heap is exhausted.
SystemThread startSystemThread(ThreadRoutine routine, void* argument);

// waitForSystemThread waits until the thread has ended and releases the
// reference; nullptr is ignored. Each reference is waited for once.
void waitForSystemThread(SystemThread thread) noexcept;

// currentThreadId returns the calling thread's system-wide id, never 0.
// (Windows: GetCurrentThreadId; POSIX: gettid.)
uint32_t currentThreadId() noexcept;

// duplicateCurrentThreadHandle returns a real handle to the calling thread
// that stays valid on other threads until closeThreadHandle, or nullptr on
// failure. (Windows: DuplicateHandle of GetCurrentThread with
// DUPLICATE_SAME_ACCESS; POSIX: the thread's pthread_t, nothing to close.)
ThreadHandle duplicateCurrentThreadHandle() noexcept;

// closeThreadHandle closes a handle from duplicateCurrentThreadHandle;
// nullptr is ignored.
void closeThreadHandle(ThreadHandle handle) noexcept;

// yieldProcessor offers the rest of the calling thread's time slice to
// other ready threads. Returns whether the system switched to another
// thread (POSIX: whether the yield succeeded). (Windows: SwitchToThread;
// POSIX: sched_yield.)
bool yieldProcessor() noexcept;

// sleepMilliseconds suspends the calling thread for at least milliseconds.
// (Windows: Sleep; POSIX: nanosleep, resumed after signals.)
void sleepMilliseconds(uint32_t milliseconds) noexcept;

// invalidThreadLocalIndex is never a valid thread-local storage index.
inline constexpr uint32_t invalidThreadLocalIndex = 0xFFFFFFFFu;

// allocateThreadLocal returns a fresh thread-local storage index whose
// value is nullptr on every thread, or invalidThreadLocalIndex when none
// is left. (Windows: TlsAlloc; POSIX: pthread_key_create.)
uint32_t allocateThreadLocal() noexcept;

// threadLocalValue returns the calling thread's value under index.
void* threadLocalValue(uint32_t index) noexcept;

// setThreadLocalValue stores value under index for the calling thread and
// returns whether the system accepted it.
bool setThreadLocalValue(uint32_t index, void* value) noexcept;

// freeThreadLocal releases index; the values stored under it are dropped
// without notice. Returns whether the system accepted it.
bool freeThreadLocal(uint32_t index) noexcept;

// CriticalSection is opaque storage for a re-entrant system lock, sized
// and aligned for the largest backend (a CRITICAL_SECTION on 64-bit
// Windows, a pthread_mutex_t on x86-64 Linux).
struct CriticalSection {
    alignas(8) unsigned char storage[40];
};

// initializeCriticalSection prepares section for use. spinCount is how
// often a waiter spins before it blocks, where the system supports it.
// Returns false when the system lacks the resources.
// (Windows: InitializeCriticalSectionAndSpinCount; POSIX: a recursive
// pthread mutex, no spin count.)
bool initializeCriticalSection(CriticalSection* section, uint32_t spinCount) noexcept;

// enterCriticalSection waits until the calling thread owns section. The
// owner may enter again; it must leave once per enter.
void enterCriticalSection(CriticalSection* section) noexcept;

// leaveCriticalSection undoes one enterCriticalSection of the owner.
void leaveCriticalSection(CriticalSection* section) noexcept;

// deleteCriticalSection releases the system resources of an unowned section.
void deleteCriticalSection(CriticalSection* section) noexcept;

}  // namespace kwCore::platform
