#include "platform/process.h"

#include <sys/resource.h>
#include <unistd.h>

#include <cstring>

namespace kwCore::platform {

namespace {

int savedArgumentCount = 0;
const char* const* savedArguments = nullptr;

// saveArguments keeps the argument vector for the library: the C library
// hands (argc, argv, envp) to every start-up function in .init_array, all
// of which run before main.
void saveArguments(int argc, char** argv, char**) {
    savedArgumentCount = argc;
    savedArguments = argv;
}

// saveArgumentsEntry is writable, as the compiler's own entries in
// .init_array are: link-time optimisation may put both into one unit, and
// entries of one section with different flags do not link.
[[gnu::used, gnu::section(".init_array")]] void (*saveArgumentsEntry)(int, char**,
                                                                      char**) = saveArguments;

}  // namespace

ProcessArguments processArguments() {
    return ProcessArguments{nullptr, savedArgumentCount, savedArguments};
}

void moduleFileName(char* buffer, int32_t size) {
    if (size <= 0) {
        return;
    }
    const ssize_t length = readlink("/proc/self/exe", buffer, static_cast<size_t>(size - 1));
    buffer[length < 0 ? 0 : length] = 0;
}

int32_t fullPathName(const char* path, char* buffer, int32_t size) {
    if (size <= 0) {
        return -1;
    }
    buffer[0] = 0;
    const size_t pathLength = std::strlen(path);
    size_t used = 0;
    if (path[0] != '/') {
        if (getcwd(buffer, static_cast<size_t>(size)) == nullptr) {
            buffer[0] = 0;
            return -1;
        }
        used = std::strlen(buffer);
        if (used == 0 || buffer[used - 1] != '/') {
            buffer[used++] = '/';  // getcwd left room: at least its NUL
        }
    }
    if (pathLength == 0 || used + pathLength >= static_cast<size_t>(size)) {
        buffer[0] = 0;
        return -1;
    }
    std::memcpy(buffer + used, path, pathLength + 1);
    return static_cast<int32_t>(std::strrchr(buffer, '/') + 1 - buffer);
}

uint64_t peakResidentBytes() {
    rusage usage{};
    if (getrusage(RUSAGE_SELF, &usage) != 0 || usage.ru_maxrss < 0) {
        return 0;
    }
    // Linux counts ru_maxrss in KiB.
    return static_cast<uint64_t>(usage.ru_maxrss) * 1024;
}

}  // namespace kwCore::platform
