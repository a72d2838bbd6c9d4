#pragma once

namespace kwCore {

// printFormatted formats fmt printf-style with the arguments and writes the
// text, up to its first NUL, to standard output in one write (every LF goes
// out as CR LF). Texts of up to 255 characters are formatted on the stack;
// longer ones on the heap, cut to their first 1,048,575 characters. Nothing
// is reported: write errors are ignored and the stream is not flushed.
void printFormatted(const char* fmt, ...) __attribute__((format(printf, 1, 2)));

}  // namespace kwCore
