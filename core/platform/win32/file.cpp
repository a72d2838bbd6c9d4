#include "platform/file.h"

#include <windows.h>

namespace kwCore::platform {

namespace {

HANDLE systemHandle(FileHandle file) {
    return reinterpret_cast<HANDLE>(file);
}

// movePointer calls SetFilePointer with a 64-bit distance split into its two
// words and returns the new position, or -1 when the call failed.
int64_t movePointer(FileHandle file, int64_t distance, DWORD method) {
    LONG high = static_cast<LONG>(distance >> 32);
    SetLastError(NO_ERROR);
    const DWORD low =
        SetFilePointer(systemHandle(file), static_cast<LONG>(distance & 0xFFFFFFFF), &high, method);
    if (low == INVALID_SET_FILE_POINTER && GetLastError() != NO_ERROR) {
        return -1;
    }
    return static_cast<int64_t>((static_cast<uint64_t>(static_cast<uint32_t>(high)) << 32) | low);
}

}  // namespace

static_assert(sizeof(HANDLE) == sizeof(FileHandle));

bool fileShareModesEnforced() noexcept {
    return true;
}

FileHandle openFile(const char* name, FileDisposition disposition, uint32_t share,
                    bool notContentIndexed) noexcept {
    DWORD access = GENERIC_READ;
    DWORD creation = OPEN_EXISTING;
    DWORD attributes = FILE_ATTRIBUTE_NORMAL;
    if (disposition != FileDisposition::OpenForReading) {
        access = GENERIC_WRITE;
        creation = disposition == FileDisposition::CreateForWriting ? CREATE_ALWAYS : OPEN_ALWAYS;
        if (notContentIndexed) {
            attributes = FILE_ATTRIBUTE_NOT_CONTENT_INDEXED | FILE_ATTRIBUTE_NORMAL;
        }
    }
    DWORD shareMode = 0;
    if (share & fileShareRead) {
        shareMode |= FILE_SHARE_READ;
    }
    if (share & fileShareWrite) {
        shareMode |= FILE_SHARE_WRITE;
    }
    HANDLE handle = CreateFileA(name, access, shareMode, nullptr, creation, attributes, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        return invalidFileHandle;
    }
    if (disposition == FileDisposition::AppendForWriting) {
        SetFilePointer(handle, 0, nullptr, FILE_END);
    }
    return reinterpret_cast<FileHandle>(handle);
}

uint32_t readFile(FileHandle file, void* destination, uint32_t count) noexcept {
    DWORD got = 0;
    ReadFile(systemHandle(file), destination, count, &got, nullptr);
    return got;
}

uint32_t writeFile(FileHandle file, const void* data, uint32_t count) noexcept {
    DWORD put = 0;
    WriteFile(systemHandle(file), data, count, &put, nullptr);
    return put;
}

int64_t fileSize(FileHandle file) noexcept {
    LARGE_INTEGER size;
    size.QuadPart = -1;
    if (!GetFileSizeEx(systemHandle(file), &size)) {
        return -1;
    }
    return size.QuadPart;
}

int64_t filePosition(FileHandle file) noexcept {
    return movePointer(file, 0, FILE_CURRENT);
}

int64_t seekFile(FileHandle file, int64_t position) noexcept {
    return movePointer(file, position, FILE_BEGIN);
}

void flushFile(FileHandle file) noexcept {
    FlushFileBuffers(systemHandle(file));
}

void closeFile(FileHandle file) noexcept {
    CloseHandle(systemHandle(file));
}

}  // namespace kwCore::platform
