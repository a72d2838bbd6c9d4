#pragma once

#include <cstddef>

namespace zemtra {

// ReadStatus tells how one read from the drive ended.
enum class ReadStatus {
    done,        // the drive answered
    failed,      // the read failed; another read may succeed
    noCommands,  // the device takes no commands at all: no read will succeed
};

// CommandRead is the outcome of one read command: how it ended and, when
// it is done, the bytes the drive delivered (0 otherwise).
struct CommandRead {
    ReadStatus status = ReadStatus::failed;
    size_t size = 0;
};

}  // namespace zemtra
