// The POSIX TOC reader on a fake drive: the 804-byte layout at its limits
// (99 and 100 tracks, short buffers) and hostile answers, with guard
// regions on both sides of the buffer.
#include <gtest/gtest.h>

#include <cstring>

#include "disc/disc_info.h"
#include "fake_drive.h"
#include "platform/device.h"

namespace zemtra::test {
namespace {

constexpr uint8_t kGuard = 0xA5;
constexpr char kDevice[] = "\\\\.\\/dev/null";

// Guarded holds a value between two guard regions.
template <class T>
struct Guarded {
    uint8_t before[64];
    T value;
    uint8_t after[64];

    Guarded() { std::memset(static_cast<void*>(this), kGuard, sizeof *this); }
    bool guardsIntact() const {
        for (size_t i = 0; i < sizeof before; ++i) {
            if (before[i] != kGuard || after[i] != kGuard) {
                return false;
            }
        }
        return true;
    }
};

using GuardedToc = Guarded<uint8_t[804]>;

// readRawToc opens the fake drive's device, makes one TOC request into toc
// and closes it again.
bool readRawToc(void* toc, size_t size) {
    const kwCore::platform::CdDevice device = kwCore::platform::openCdDevice(kDevice);
    EXPECT_NE(device, kwCore::platform::invalidCdDevice);
    const bool read = kwCore::platform::readCdToc(device, toc, size);
    kwCore::platform::closeCdDevice(device);
    return read;
}

// cdDisc sets up tracks first..last at distinct addresses, lead-out after.
void cdDisc(FakeDrive& drive, int first, int last) {
    drive.first = static_cast<uint8_t>(first);
    drive.last = static_cast<uint8_t>(last);
    for (int t = 0; t < 256; ++t) {
        drive.address[t][0] = static_cast<uint8_t>(t / 4);
        drive.address[t][1] = static_cast<uint8_t>(t % 60);
        drive.address[t][2] = static_cast<uint8_t>(t % 75);
    }
    drive.address[0xAA][0] = 79;
}

void expectEntry(const uint8_t* toc, int k, int track, const FakeDrive& drive) {
    const uint8_t* entry = toc + 4 + 8 * k;
    SCOPED_TRACE(k);
    EXPECT_EQ(entry[1], 0x10 | (track & 0x0F));  // Adr high, Control low
    EXPECT_EQ(entry[2], track);
    EXPECT_EQ(entry[5], drive.address[track][0]);
    EXPECT_EQ(entry[6], drive.address[track][1]);
    EXPECT_EQ(entry[7], drive.address[track][2]);
}

TEST(RawToc, NinetyNineTracksFillEveryEntryWithTheLeadOutLast) {
    FakeDrive drive;
    cdDisc(drive, 1, 99);
    GuardedToc buffer;
    ASSERT_TRUE(readRawToc(buffer.value, sizeof buffer.value));
    const uint8_t* toc = buffer.value;
    EXPECT_EQ(toc[0], 0x03);  // 2 + 100 * 8 = 802 bytes follow the length
    EXPECT_EQ(toc[1], 0x22);
    EXPECT_EQ(toc[2], 1);
    EXPECT_EQ(toc[3], 99);
    for (int k = 0; k < 99; ++k) {
        expectEntry(toc, k, k + 1, drive);
    }
    expectEntry(toc, 99, 0xAA, drive);
    EXPECT_EQ(drive.entryRequests, 100);
    EXPECT_TRUE(buffer.guardsIntact());
}

TEST(RawToc, AHundredTracksLeaveNoRoomForTheLeadOut) {
    FakeDrive drive;
    cdDisc(drive, 1, 100);
    GuardedToc buffer;
    ASSERT_TRUE(readRawToc(buffer.value, sizeof buffer.value));
    EXPECT_EQ(buffer.value[3], 100);
    expectEntry(buffer.value, 99, 100, drive);
    EXPECT_EQ(drive.entryRequests, 100);  // the lead-out is never asked for
    EXPECT_TRUE(buffer.guardsIntact());
}

TEST(RawToc, ShortBuffersGetOnlyWholeEntriesThatFit) {
    FakeDrive drive;
    cdDisc(drive, 1, 99);
    GuardedToc buffer;
    const size_t size = 4 + 8 * 10 + 5;
    ASSERT_TRUE(readRawToc(buffer.value, size));
    expectEntry(buffer.value, 9, 10, drive);
    EXPECT_EQ(drive.entryRequests, 10);
    EXPECT_EQ(buffer.value[1], 2 + 8 * 10);
    for (size_t i = 4 + 8 * 10; i < sizeof buffer.value; ++i) {
        ASSERT_EQ(buffer.value[i], kGuard) << i;
    }

    GuardedToc tiny;
    ASSERT_FALSE(readRawToc(tiny.value, 3));
    for (uint8_t byte : tiny.value) {
        ASSERT_EQ(byte, kGuard);
    }
}

TEST(RawToc, NoHeaderAnswerWritesNothing) {
    FakeDrive drive;
    drive.headerFails = true;
    GuardedToc buffer;
    ASSERT_FALSE(readRawToc(buffer.value, sizeof buffer.value));
    for (uint8_t byte : buffer.value) {
        ASSERT_EQ(byte, kGuard);
    }
    EXPECT_EQ(drive.entryRequests, 0);
}

TEST(RawToc, FailedEntryRequestsLeaveTheirBytes) {
    FakeDrive drive;
    cdDisc(drive, 1, 5);
    drive.entriesFail = true;
    GuardedToc buffer;
    ASSERT_TRUE(readRawToc(buffer.value, sizeof buffer.value));
    EXPECT_EQ(buffer.value[3], 5);
    EXPECT_EQ(buffer.value[1], 2 + 8 * 6);
    for (size_t i = 4; i < sizeof buffer.value; ++i) {
        ASSERT_EQ(buffer.value[i], kGuard) << i;
    }
}

TEST(RawToc, HostileHeadersNeverReachPastTheBuffer) {
    for (int first = 0; first < 256; first += 51) {
        for (int last = 0; last < 256; ++last) {
            FakeDrive drive;
            cdDisc(drive, first, last);
            GuardedToc buffer;
            ASSERT_TRUE(readRawToc(buffer.value, sizeof buffer.value));
            ASSERT_TRUE(buffer.guardsIntact()) << first << " " << last;
            const int tracks = last >= first ? last - first + 1 : 0;
            const int entries = tracks < 100 ? tracks + 1 : 100;
            ASSERT_EQ(drive.entryRequests, entries) << first << " " << last;
            ASSERT_EQ(buffer.value[0] << 8 | buffer.value[1], 2 + 8 * entries);
            if (tracks < 100) {
                expectEntry(buffer.value, tracks, 0xAA, drive);  // first above last: entry 0
            }
        }
    }
}

// Through the TOC reader of the tool: a header without tracks it can hold
// (none, a first track above the last, a last track above 99) is unreadable.
TEST(DiscInfoOnADevice, OnlyHeadersWithTracksAreReadable) {
    for (int first : {0, 1, 2, 50, 99}) {
        for (int last = 0; last < 256; ++last) {
            FakeDrive drive;
            cdDisc(drive, first, last);
            Guarded<DiscInfo> info;
            info.value.read(kFakeDrivePath);
            ASSERT_TRUE(info.guardsIntact()) << last;
            const bool readable = first >= 1 && first <= last && last <= 99;
            ASSERT_EQ(info.value.valid, readable) << first << " " << last;
            ASSERT_EQ(info.value.toc.LastTrack, readable ? last : 0) << last;
            ASSERT_EQ(info.value.discId & 0xFF, readable ? static_cast<uint32_t>(last) : 0u)
                << first << " " << last;
        }
    }
    FakeDrive empty;
    empty.headerFails = true;
    DiscInfo info;
    info.read(kFakeDrivePath);
    EXPECT_FALSE(info.valid);
}

TEST(DiscInfoOnADevice, FarAddressesAndFailedEntriesReadAsTheyCame) {
    FakeDrive drive;
    cdDisc(drive, 1, 2);
    std::memset(drive.address, 255, sizeof drive.address);  // 255:255:255 everywhere
    DiscInfo info;
    info.read(kFakeDrivePath);
    ASSERT_TRUE(info.valid);
    EXPECT_EQ(info.toc.TrackData[2].Address[1], 255);
    // Every whole-second address is 255 * 60 + 255 = 15555, digit sum 21.
    EXPECT_EQ(info.discId, (42u << 24) | 2u);

    drive.entriesFail = true;
    info.read(kFakeDrivePath);
    ASSERT_TRUE(info.valid);
    EXPECT_EQ(info.toc.LastTrack, 2);
    EXPECT_EQ(info.toc.TrackData[0].Address[1], 0);  // the second read starts from zero
    EXPECT_EQ(info.discId, 2u);
}

// The TOC is asked for twice in the one device access, a third time when
// the two answers differ, and the last answer is kept.
TEST(DiscInfoOnADevice, AFirstAnswerThatDiffersIsReadAgain) {
    for (int unsettled : {0, 1, 2}) {
        SCOPED_TRACE(unsettled);
        FakeDrive drive;
        cdDisc(drive, 1, 3);
        drive.unsettledReads = unsettled;
        DiscInfo info;
        info.read(kFakeDrivePath);
        ASSERT_TRUE(info.valid);
        EXPECT_EQ(drive.headerRequests, unsettled == 0 ? 2 : 3);
        EXPECT_EQ(info.toc.TrackData[3].Address[1], 79);  // the settled lead-out
    }
    // A first answer that fails and a second that succeeds differ too.
    FakeDrive drive;
    cdDisc(drive, 1, 3);
    drive.headerFails = true;
    DiscToc toc;
    const kwCore::platform::CdDevice device = kwCore::platform::openCdDevice(kDevice);
    EXPECT_FALSE(readToc(toc, device));
    EXPECT_EQ(drive.headerRequests, 2);
    kwCore::platform::closeCdDevice(device);
}

}  // namespace
}  // namespace zemtra::test
