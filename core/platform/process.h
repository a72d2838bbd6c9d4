#pragma once

#include <cstdint>

// The process's command line and the location of its program file.
namespace kwCore::platform {

// ProcessArguments is the command line as the system keeps it: either one
// command text still to be split (commandText non-null), or an argument
// vector already split (commandText null).
struct ProcessArguments {
    const char* commandText;
    int32_t argumentCount;
    const char* const* arguments;
};

// processArguments returns the process's command line. Windows: the text of
// GetCommandLineA. POSIX: the argument vector main received.
ProcessArguments processArguments();

// kPathBufferSize is the size of the buffers the module helpers fill.
inline constexpr int32_t kPathBufferSize = 260;

// moduleFileName writes the path of the program's file into buffer (size
// bytes) and always NUL-terminates it; a longer path is cut to size - 1
// bytes, and a failure leaves the empty text. Windows: GetModuleFileNameA
// with no module handle. POSIX: the target of /proc/self/exe.
void moduleFileName(char* buffer, int32_t size);

// fullPathName writes the full path of path into buffer (size bytes,
// NUL-terminated) and returns the offset of its file-name part, or -1 (buffer
// then holds the empty text) when the system fails or the full path does not
// fit. Windows: GetFullPathNameA. POSIX: a relative path is joined to the
// current directory; the file-name part follows the last '/'.
int32_t fullPathName(const char* path, char* buffer, int32_t size);

// peakResidentBytes returns the most memory the process has held resident
// at once so far, in bytes; 0 when the system does not tell. Windows:
// PeakWorkingSetSize from K32GetProcessMemoryInfo. POSIX: getrusage's
// ru_maxrss.
uint64_t peakResidentBytes();

}  // namespace kwCore::platform
