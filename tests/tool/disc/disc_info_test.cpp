#include "disc/disc_info.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "tool/toc_builder.h"

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

// A drive whose answers are scripted: answer r is the worked example with
// its lead-out minute raised by shift[r], or a failed request when the
// shift is negative. Past the script every answer is the plain example.
struct ScriptedDrive {
    std::vector<int> shift;
    int requests = 0;

    bool answer(DiscToc& toc) {
        const int r = requests++;
        const int by = r < static_cast<int>(shift.size()) ? shift[r] : 0;
        if (by < 0) {
            toc.Length[0] = 0xEE;  // a failed request may leave bytes behind
            return false;
        }
        toc = test::workedExampleToc();
        toc.TrackData[3].Address[1] = static_cast<uint8_t>(toc.TrackData[3].Address[1] + by);
        return true;
    }
};

TEST(DiscInfoTest, TheTocIsReadTwiceAndAThirdTimeWhenTheAnswersDiffer) {
    const struct {
        std::vector<int> shift;
        int requests;
        bool read;
        int leadOutMinute;
    } cases[] = {
        {{}, 2, true, 12},           // two equal answers
        {{1}, 3, true, 12},          // a wrong first answer
        {{1, 2}, 3, true, 12},       // two wrong answers: the third is kept
        {{1, 1}, 2, true, 13},       // two equal wrong answers cannot be told apart
        {{-1}, 3, true, 12},         // a failed first request
        {{0, -1, -1}, 3, false, 0},  // the kept request failed
        {{-1, -1}, 2, false, 0},     // no disc
    };
    for (const auto& c : cases) {
        ScriptedDrive drive{c.shift};
        DiscToc toc;
        std::memset(&toc, 0x5A, sizeof toc);
        const bool read =
            readSettledToc(toc, [&drive](DiscToc& answer) { return drive.answer(answer); });
        SCOPED_TRACE(testing::Message() << "script of " << c.shift.size());
        EXPECT_EQ(read, c.read);
        EXPECT_EQ(drive.requests, c.requests);
        if (read) {
            EXPECT_EQ(toc.TrackData[3].Address[1], c.leadOutMinute);
            EXPECT_EQ(toc.TrackData[4].Address[1], 0);  // every answer starts from zero
        } else {
            EXPECT_TRUE(allZero(toc));
        }
    }
}

}  // namespace
}  // namespace zemtra
