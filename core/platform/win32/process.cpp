#include "platform/process.h"

#include <windows.h>

// psapi.h needs windows.h first.
#include <psapi.h>

namespace kwCore::platform {

ProcessArguments processArguments() {
    return ProcessArguments{GetCommandLineA(), 0, nullptr};
}

void moduleFileName(char* buffer, int32_t size) {
    if (size <= 0) {
        return;
    }
    const DWORD length = GetModuleFileNameA(nullptr, buffer, static_cast<DWORD>(size));
    // A path that does not fit is cut to size characters, and older systems
    // leave it without a terminator: the last byte always gets one.
    buffer[length < static_cast<DWORD>(size) ? length : static_cast<DWORD>(size - 1)] = 0;
}

int32_t fullPathName(const char* path, char* buffer, int32_t size) {
    if (size <= 0) {
        return -1;
    }
    char* namePart = nullptr;
    const DWORD length = GetFullPathNameA(path, static_cast<DWORD>(size), buffer, &namePart);
    // 0 is a failure; a length of size or more is the room the full path would
    // need, and buffer holds nothing usable then.
    if (length == 0 || length >= static_cast<DWORD>(size)) {
        buffer[0] = 0;
        return -1;
    }
    if (namePart == nullptr || namePart < buffer || namePart > buffer + length) {
        return static_cast<int32_t>(length);  // the path names a directory
    }
    return static_cast<int32_t>(namePart - buffer);
}

uint64_t peakResidentBytes() {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    if (K32GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters) == 0) {
        return 0;
    }
    return counters.PeakWorkingSetSize;
}

}  // namespace kwCore::platform
