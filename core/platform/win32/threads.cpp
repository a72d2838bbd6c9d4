#include "platform/threads.h"

#include <windows.h>

namespace kwCore::platform {

static_assert(sizeof(CRITICAL_SECTION) <= sizeof(CriticalSection::storage));
static_assert(alignof(CRITICAL_SECTION) <= alignof(CriticalSection));

namespace {

// StartRequest carries a start routine and its argument onto the new thread.
struct StartRequest {
    ThreadRoutine routine;
    void* argument;
};

DWORD WINAPI startRoutine(LPVOID parameter) {
    const StartRequest request = *static_cast<StartRequest*>(parameter);
    delete static_cast<StartRequest*>(parameter);
    request.routine(request.argument);
    return 0;
}

CRITICAL_SECTION* systemSection(CriticalSection* section) {
    return reinterpret_cast<CRITICAL_SECTION*>(section->storage);
}

}  // namespace

SystemThread startSystemThread(ThreadRoutine routine, void* argument) {
    auto* request = new StartRequest{routine, argument};
    HANDLE thread = CreateThread(nullptr, 0, startRoutine, request, 0, nullptr);
    if (thread == nullptr) {
        delete request;
    }
    return thread;
}

void waitForSystemThread(SystemThread thread) noexcept {
    if (thread != nullptr) {
        WaitForSingleObject(thread, INFINITE);
        CloseHandle(thread);
    }
}

uint32_t currentThreadId() noexcept {
    return GetCurrentThreadId();
}

ThreadHandle duplicateCurrentThreadHandle() noexcept {
    HANDLE handle = nullptr;
    if (!DuplicateHandle(GetCurrentProcess(), GetCurrentThread(), GetCurrentProcess(), &handle, 0,
                         FALSE, DUPLICATE_SAME_ACCESS)) {
        return nullptr;
    }
    return handle;
}

void closeThreadHandle(ThreadHandle handle) noexcept {
    if (handle != nullptr) {
        CloseHandle(handle);
    }
}

bool yieldProcessor() noexcept {
    return SwitchToThread() != 0;
}

void sleepMilliseconds(uint32_t milliseconds) noexcept {
    Sleep(milliseconds);
}

uint32_t allocateThreadLocal() noexcept {
    static_assert(TLS_OUT_OF_INDEXES == invalidThreadLocalIndex);
    return TlsAlloc();
}

void* threadLocalValue(uint32_t index) noexcept {
    return TlsGetValue(index);
}

bool setThreadLocalValue(uint32_t index, void* value) noexcept {
    return TlsSetValue(index, value) != 0;
}

bool freeThreadLocal(uint32_t index) noexcept {
    return TlsFree(index) != 0;
}

bool initializeCriticalSection(CriticalSection* section, uint32_t spinCount) noexcept {
    return InitializeCriticalSectionAndSpinCount(systemSection(section), spinCount) != 0;
}

void enterCriticalSection(CriticalSection* section) noexcept {
    EnterCriticalSection(systemSection(section));
}

void leaveCriticalSection(CriticalSection* section) noexcept {
    LeaveCriticalSection(systemSection(section));
}

void deleteCriticalSection(CriticalSection* section) noexcept {
    DeleteCriticalSection(systemSection(section));
}

}  // namespace kwCore::platform
