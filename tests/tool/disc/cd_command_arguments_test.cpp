// The platform's command call at its edges: commands it refuses before any
// request, read from buffers of their exact size (the sanitizers see a read
// beyond them), and a device that is not open, whose command fails rather
// than asking for the fallback requests; the answer buffer keeps its bytes.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "disc/cd_commands.h"

namespace zemtra {
namespace {

namespace platform = kwCore::platform;

constexpr uint8_t kGuard = 0xA5;

// send sends cdbSize bytes of a READ SUB-CHANNEL command from a buffer of
// exactly that size to a device that is not open, into a guarded answer.
platform::CdCommandResult send(size_t cdbSize, size_t dataSize, bool withData = true) {
    auto cdb = std::make_unique<uint8_t[]>(cdbSize == 0 ? 1 : cdbSize);
    std::memset(cdb.get(), 0, cdbSize);
    cdb[0] = 0x42;
    uint8_t data[32];
    std::memset(data, kGuard, sizeof data);
    const platform::CdCommandResult result = platform::sendCdCommand(
        platform::invalidCdDevice, cdb.get(), cdbSize, withData ? data : nullptr, dataSize);
    for (uint8_t byte : data) {
        EXPECT_EQ(byte, kGuard);
    }
    return result;
}

TEST(CdCommandArgumentsTest, CommandSizesOutsideSixToSixteenFail) {
    for (size_t cdbSize : {size_t{0}, size_t{5}, size_t{17}, size_t{255}}) {
        const platform::CdCommandResult result = send(cdbSize, 24);
        EXPECT_EQ(result.status, platform::CdCommandStatus::failed) << cdbSize;
        EXPECT_EQ(result.size, 0u) << cdbSize;
    }
}

TEST(CdCommandArgumentsTest, MissingBuffersFail) {
    EXPECT_EQ(platform::sendCdCommand(platform::invalidCdDevice, nullptr, 10, nullptr, 0).status,
              platform::CdCommandStatus::failed);
    EXPECT_EQ(send(10, 24, false).status, platform::CdCommandStatus::failed);
}

TEST(CdCommandArgumentsTest, DeviceNotOpenFailsWithoutFallback) {
    for (size_t cdbSize : {size_t{6}, size_t{10}, size_t{12}, size_t{16}}) {
        const platform::CdCommandResult result = send(cdbSize, 24);
        EXPECT_EQ(result.status, platform::CdCommandStatus::failed) << cdbSize;
        EXPECT_EQ(result.size, 0u) << cdbSize;
    }
    const uint8_t cdb[10] = {0x42, 0, 0x40, 2, 0, 0, 0, 0, 24};
    uint8_t data[24];
    std::memset(data, kGuard, sizeof data);
    const CommandRead read =
        sendReadCommand(platform::invalidCdDevice, cdb, sizeof cdb, data, sizeof data);
    EXPECT_EQ(read.status, ReadStatus::failed);
    EXPECT_EQ(read.size, 0u);
    EXPECT_EQ(data[0], kGuard);
}

// A sector read that cannot be made fails; it never says the device takes
// no commands, which would end a search.
TEST(CdCommandArgumentsTest, SectorReadsThatCannotBeMadeFail) {
    uint8_t answer[32];
    std::memset(answer, kGuard, sizeof answer);
    for (const int32_t lba : {-1, INT32_MIN, 0, 1000}) {
        const CommandRead read = readSectorQ(platform::invalidCdDevice, lba, answer, sizeof answer);
        EXPECT_EQ(read.status, ReadStatus::failed) << lba;
        EXPECT_EQ(read.size, 0u) << lba;
    }
    EXPECT_EQ(readSectorQ(platform::invalidCdDevice, 0, nullptr, 16).status, ReadStatus::failed);
    for (uint8_t byte : answer) {
        EXPECT_EQ(byte, kGuard);
    }
}

}  // namespace
}  // namespace zemtra
