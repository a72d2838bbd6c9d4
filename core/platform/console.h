#pragma once

#include <cstddef>

// The process's console and standard streams.
namespace kwCore::platform {

// writeStandardOutput hands size bytes to the run-time's standard-output
// stream (fwrite), as its text mode does: every LF becomes CR LF, on every
// platform. The text goes out whole, as one write, even when other threads
// write meanwhile. Returns how many of the given bytes went out: size when
// all did, fewer when the stream reports an error.
//
// POSIX: under the stream's lock, what the stream buffered goes out first,
// then the translated text straight to its descriptor, retried when a signal
// interrupts and continued after short counts. The count returned is exactly
// the given bytes whose translated form the system took; an LF whose CR went
// out but whose LF did not is not counted.
size_t writeStandardOutput(const void* data, size_t size);

// writeStandardOutputRaw hands size bytes to the run-time's standard-output
// stream unchanged, as its binary mode does: no LF becomes CR LF, on every
// platform. What the stream buffered from earlier writes goes out first, as
// it was translated then; the stream stays in text mode for later writes.
// The bytes go out whole, as one write, even when other threads write
// meanwhile. Returns how many went out: size when all did, fewer when the
// stream reports an error.
//
// Windows: under the stream's lock, the stream is flushed, switched to
// binary mode (_setmode), written and flushed, and switched back.
// POSIX: under the stream's lock, what it buffered goes out first, then the
// bytes straight to its descriptor, retried when a signal interrupts and
// continued after short counts.
size_t writeStandardOutputRaw(const void* data, size_t size);

// readStandardInput reads up to size bytes from the run-time's standard-input
// stream (fread) into destination and returns the count read: fewer than
// size at the end of the input or on an error. The bytes are passed on as the
// run-time's stream delivers them (Windows: text mode, so CR LF arrives as
// LF; POSIX: unchanged, and a read cut short by a signal goes on).
size_t readStandardInput(void* destination, size_t size);

// consoleAttached tells whether the process has a console (Windows: the
// console input code page is non-zero; POSIX: /dev/tty opens).
bool consoleAttached();

// standardErrorIsTerminal tells whether standard error goes to a terminal,
// where a person watches it (Windows: its handle is a character device with
// a console mode, GetFileType and GetConsoleMode on STD_ERROR_HANDLE;
// POSIX: isatty on descriptor 2).
bool standardErrorIsTerminal();

// writeStandardError hands size bytes to the run-time's standard-error
// stream unchanged and flushes it. Returns how many went out.
size_t writeStandardError(const void* data, size_t size);

}  // namespace kwCore::platform
