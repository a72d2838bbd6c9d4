// The POSIX TOC reader on a drive whose every request is first interrupted
// by a signal, with scribbled results each time: the requests are made again,
// and no byte of a failed one is kept.
#include <gtest/gtest.h>

#include <cstring>

#include "fake_drive.h"
#include "platform/device.h"

namespace zemtra::test {
namespace {

constexpr char kDevice[] = "\\\\.\\/dev/null";
constexpr uint8_t kUntouched = 0x5A;

// readThrough opens the fake drive's device and makes one TOC request into
// a buffer of untouched bytes; returns the request's answer.
bool readThrough(FakeDrive& drive, uint8_t (&toc)[804]) {
    std::memset(toc, kUntouched, sizeof toc);
    drive.entryRequests = 0;
    const kwCore::platform::CdDevice device = kwCore::platform::openCdDevice(kDevice);
    EXPECT_NE(device, kwCore::platform::invalidCdDevice);
    const bool read = kwCore::platform::readCdToc(device, toc, sizeof toc);
    kwCore::platform::closeCdDevice(device);
    return read;
}

TEST(InterruptedToc, EveryRequestIsMadeAgainAndFailedOnesLeaveNoBytes) {
    FakeDrive drive;
    drive.first = 1;
    drive.last = 5;
    for (int track = 0; track < 256; ++track) {
        drive.address[track][0] = static_cast<uint8_t>(track / 3);
        drive.address[track][1] = static_cast<uint8_t>(track % 60);
        drive.address[track][2] = static_cast<uint8_t>(track % 75);
    }
    uint8_t calm[804];
    ASSERT_TRUE(readThrough(drive, calm));
    drive.interruptions = 3;
    uint8_t interrupted[804];
    ASSERT_TRUE(readThrough(drive, interrupted));
    EXPECT_EQ(drive.entryRequests, 6);
    EXPECT_EQ(std::memcmp(interrupted, calm, sizeof calm), 0);

    // Entry requests that fail after their interruptions leave their bytes.
    drive.entriesFail = true;
    ASSERT_TRUE(readThrough(drive, interrupted));
    EXPECT_EQ(interrupted[3], 5);
    for (size_t i = 4; i < sizeof interrupted; ++i) {
        ASSERT_EQ(interrupted[i], kUntouched) << i;
    }
    // So does a header request that fails.
    drive.headerFails = true;
    EXPECT_FALSE(readThrough(drive, interrupted));
    for (uint8_t byte : interrupted) {
        ASSERT_EQ(byte, kUntouched);
    }
}

}  // namespace
}  // namespace zemtra::test
