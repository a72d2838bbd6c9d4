#include "disc_info.h"

#include <gtest/gtest.h>

#include <cstring>

namespace zemtra {
namespace {

bool allZero(const DiscToc& toc) {
    DiscToc zero;
    std::memset(&zero, 0, sizeof zero);
    return std::memcmp(&toc, &zero, sizeof toc) == 0;
}

TEST(DiscTocTest, ControlIsTheLowNibbleOfByteOneAndAdrTheHighOne) {
    const uint8_t bytes[8] = {0, 0x14, 0, 0, 0, 0, 0, 0};
    TocEntry entry;
    std::memcpy(&entry, bytes, sizeof entry);
    EXPECT_EQ(entry.Control, 4);
    EXPECT_EQ(entry.Adr, 1);
}

TEST(DiscInfoTest, DriveThatDoesNotOpenLeavesAClearedRecord) {
    DiscInfo info;
    std::memset(static_cast<void*>(&info), 0x5A, sizeof info);
    info.valid = true;
    info.read("zemtra-no-such-drive:\\\\");
    EXPECT_FALSE(info.valid);
    EXPECT_TRUE(allZero(info.toc));
    EXPECT_EQ(info.discId, 0u);
    EXPECT_EQ(info.reserved, 0u);
}

TEST(DiscInfoTest, DevicePathsDropTrailingBackslashes) {
    for (const char* drive : {"D:", "D:\\", "D:\\\\\\"}) {
        EXPECT_STREQ(devicePath(drive).cStr(), "\\\\.\\D:") << drive;
    }
    EXPECT_STREQ(devicePath("").cStr(), "\\\\.");
    EXPECT_EQ(kwCore::platform::openCdDevice(devicePath("zemtra-no-such-drive:").cStr()),
              kwCore::platform::invalidCdDevice);
    EXPECT_EQ(kwCore::platform::openCdDevice(devicePath("").cStr()),
              kwCore::platform::invalidCdDevice);
}

}  // namespace
}  // namespace zemtra
