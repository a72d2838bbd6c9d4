#pragma once

#include <cstdint>

namespace zemtra::test {

// FakeDrive is a CD drive that answers the TOC requests of this test
// program: while one is active, every CD-ROM TOC request on any descriptor
// is answered from it, so a read of /dev/null reads this drive.
struct FakeDrive {
    bool headerFails = false;   // the TOC header request fails
    bool entriesFail = false;   // every entry request fails
    uint8_t first = 1;          // FirstTrack
    uint8_t last = 0;           // LastTrack
    uint8_t address[256][3]{};  // minute, second, frame by track number (0xAA the lead-out)
    int entryRequests = 0;      // entry requests answered or refused so far
    int headerRequests = 0;     // header requests answered or refused so far
    int unsettledReads = 0;     // read r of the first this many puts the lead-out r minutes later
    int interruptions = 0;      // EINTR answers, with scribbled results, before each answer
    int interrupted = 0;        // EINTR answers given to the request at hand

    // FakeDrive makes itself the active drive; ~FakeDrive ends that.
    FakeDrive();
    ~FakeDrive();
    FakeDrive(const FakeDrive&) = delete;
    FakeDrive& operator=(const FakeDrive&) = delete;
};

// kFakeDrivePath is a drive text whose device opens: the fake answers for it.
inline constexpr char kFakeDrivePath[] = "/dev/null";

}  // namespace zemtra::test
