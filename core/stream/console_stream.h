#pragma once

#include <cstdint>

#include "stream/stream.h"

namespace kwCore {

// ConsoleStream reads the process's standard input and writes its standard
// output through the run-time's standard streams. It has no state: whether
// it can read, write and counts as open follows from whether the process has
// a console, yet reads and writes reach the standard streams either way.
// Written bytes reach the output as the Windows run-time's text mode writes
// them, on every platform: every LF becomes CR LF.
class ConsoleStream : public Stream {
  public:
    ConsoleStream() noexcept = default;

    bool canRead() override;
    bool canWrite() override;
    bool isInteractive() override { return true; }
    bool isOpen() override;
    // read reads up to the low 32 bits of length bytes from standard input
    // and returns the count read: fewer at the end of the input, down to 0.
    int64_t read(void* destination, int64_t length) override;
    // write writes the low 32 bits of length bytes to standard output and
    // returns how many of them went out: all of them unless an error stops it.
    int64_t write(const void* data, int64_t length) override;
    bool atEnd() override { return false; }

    // open takes no source: both arguments are ignored. Returns whether the
    // process has a console.
    virtual bool open(const char* name, int32_t mode);
};

}  // namespace kwCore
