#include "platform/file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace kwCore::platform {

namespace {

// kLargestPiece is the most one read is asked for: Linux moves at most about
// 2 GiB per call, while the contract reads any 32-bit count in one go.
constexpr uint32_t kLargestPiece = 1u << 30;

int descriptor(FileHandle file) {
    return static_cast<int>(file);
}

int openRetried(const char* name, int flags) {
    int fd;
    do {
        fd = open(name, flags | O_CLOEXEC, 0666);
    } while (fd < 0 && errno == EINTR);
    return fd;
}

}  // namespace

bool fileShareModesEnforced() noexcept {
    return false;
}

FileHandle openFile(const char* name, FileDisposition disposition, uint32_t, bool) noexcept {
    int flags = O_RDONLY;
    if (disposition == FileDisposition::CreateForWriting) {
        flags = O_WRONLY | O_CREAT | O_TRUNC;
    } else if (disposition == FileDisposition::AppendForWriting) {
        flags = O_WRONLY | O_CREAT;
    }
    const int fd = openRetried(name, flags);
    if (fd < 0) {
        return invalidFileHandle;
    }
    if (disposition == FileDisposition::AppendForWriting) {
        lseek(fd, 0, SEEK_END);
    }
    return fd;
}

uint32_t readFile(FileHandle file, void* destination, uint32_t count) noexcept {
    auto* at = static_cast<char*>(destination);
    uint32_t total = 0;
    while (total < count) {
        const uint32_t piece = count - total < kLargestPiece ? count - total : kLargestPiece;
        const ssize_t got = read(descriptor(file), at + total, piece);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            break;
        }
        total += static_cast<uint32_t>(got);
        if (static_cast<uint32_t>(got) < piece) {
            break;  // the end of the file, or all a pipe had
        }
    }
    return total;
}

uint32_t writeFile(FileHandle file, const void* data, uint32_t count) noexcept {
    const auto* at = static_cast<const char*>(data);
    uint32_t total = 0;
    while (total < count) {
        const ssize_t put = write(descriptor(file), at + total, count - total);
        if (put < 0 && errno == EINTR) {
            continue;
        }
        if (put <= 0) {
            break;
        }
        total += static_cast<uint32_t>(put);
    }
    return total;
}

int64_t fileSize(FileHandle file) noexcept {
    struct stat status;
    if (fstat(descriptor(file), &status) != 0) {
        return -1;
    }
    return status.st_size;
}

int64_t filePosition(FileHandle file) noexcept {
    return lseek(descriptor(file), 0, SEEK_CUR);
}

int64_t seekFile(FileHandle file, int64_t position) noexcept {
    return lseek(descriptor(file), position, SEEK_SET);
}

void flushFile(FileHandle file) noexcept {
    fsync(descriptor(file));
}

void closeFile(FileHandle file) noexcept {
    close(descriptor(file));
}

}  // namespace kwCore::platform
