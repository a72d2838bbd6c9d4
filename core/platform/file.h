#pragma once

#include <cstdint>

// Files opened by name: read unbuffered, written, positioned and measured
// through a system handle.
namespace kwCore::platform {

// FileHandle is an opaque system file handle (Windows: a HANDLE; POSIX: a
// file descriptor), carried as an integer.
using FileHandle = intptr_t;

// invalidFileHandle is never an open file (Windows: INVALID_HANDLE_VALUE;
// POSIX: -1).
inline constexpr FileHandle invalidFileHandle = -1;

// FileDisposition is how openFile treats the named file.
enum class FileDisposition {
    // OpenForReading opens an existing file for reading (GENERIC_READ,
    // OPEN_EXISTING).
    OpenForReading,
    // CreateForWriting creates the file, or truncates it to 0 bytes, for
    // writing (GENERIC_WRITE, CREATE_ALWAYS).
    CreateForWriting,
    // AppendForWriting opens the file for writing, creating it when missing,
    // and puts the file pointer after its last byte (GENERIC_WRITE,
    // OPEN_ALWAYS, then SetFilePointer to 0 from FILE_END).
    AppendForWriting,
};

// fileShareRead and fileShareWrite are the bits of openFile's share argument:
// which access other openers of the file are granted while this handle is
// open (FILE_SHARE_READ, FILE_SHARE_WRITE).
inline constexpr uint32_t fileShareRead = 1;
inline constexpr uint32_t fileShareWrite = 2;

// fileShareModesEnforced tells whether the system honours openFile's share
// argument (Windows: true; POSIX: false, it has no share modes).
bool fileShareModesEnforced() noexcept;

// openFile opens the file name (CreateFileA) as disposition says, with the
// share bits in share and no security attributes. notContentIndexed marks a
// file opened for writing as not to be indexed by content
// (FILE_ATTRIBUTE_NOT_CONTENT_INDEXED | FILE_ATTRIBUTE_NORMAL, else
// FILE_ATTRIBUTE_NORMAL). Returns the handle, or invalidFileHandle when the
// file does not open.
//
// POSIX: open with O_RDONLY, O_WRONLY | O_CREAT | O_TRUNC, or O_WRONLY |
// O_CREAT followed by a seek to the end; mode 0666 before the umask, and
// O_CLOEXEC. share and notContentIndexed are ignored.
FileHandle openFile(const char* name, FileDisposition disposition, uint32_t share,
                    bool notContentIndexed) noexcept;

// readFile reads up to count bytes at the file pointer into destination
// (ReadFile) and returns how many arrived: fewer at the end of the file, 0
// at the end or when the read fails.
//
// POSIX: read, retried on EINTR and continued while a piece of the request
// arrives whole, so a request larger than one system read still reads it all.
uint32_t readFile(FileHandle file, void* destination, uint32_t count) noexcept;

// writeFile writes count bytes from data at the file pointer (WriteFile)
// and returns how many the system took: count, or fewer when it failed.
//
// POSIX: write, repeated until the whole count is written or the system
// reports an error; retried on EINTR.
uint32_t writeFile(FileHandle file, const void* data, uint32_t count) noexcept;

// fileSize returns the size of the file in bytes (GetFileSizeEx), or -1 when
// the system cannot tell. POSIX: fstat.
int64_t fileSize(FileHandle file) noexcept;

// filePosition returns the file pointer (SetFilePointer by 0 from
// FILE_CURRENT), or -1 when the system cannot tell. POSIX: lseek.
int64_t filePosition(FileHandle file) noexcept;

// seekFile moves the file pointer to position bytes from the start of the
// file (SetFilePointer from FILE_BEGIN) and returns where it now stands, or
// -1 when the system refuses (a negative position). A position past the end
// is allowed. POSIX: lseek.
int64_t seekFile(FileHandle file, int64_t position) noexcept;

// flushFile has the system write the file's cached data to its device
// (FlushFileBuffers); failures are not reported. POSIX: fsync.
void flushFile(FileHandle file) noexcept;

// closeFile closes the handle (CloseHandle); it is invalid afterwards.
void closeFile(FileHandle file) noexcept;

}  // namespace kwCore::platform
