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

// writeStandardError hands size bytes, unchanged, to the run-time's
// standard-error stream (fwrite, then fflush, so the text is out before the
// call returns). Returns how many went out.
size_t writeStandardError(const void* data, size_t size);

// readStandardInput reads up to size bytes from the run-time's standard-input
// stream (fread) into destination and returns the count read: fewer than
// size at the end of the input or on an error. The bytes are passed on as the
// run-time's stream delivers them (Windows: text mode, so CR LF arrives as
// LF; POSIX: unchanged, and a read cut short by a signal goes on).
size_t readStandardInput(void* destination, size_t size);

// consoleAttached tells whether the process has a console (Windows: the
// console input code page is non-zero; POSIX: /dev/tty opens).
bool consoleAttached();

}  // namespace kwCore::platform
