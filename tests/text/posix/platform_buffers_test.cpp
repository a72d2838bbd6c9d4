// The POSIX platform layer's buffers at their bounds: console translation
// around the size of its stack buffer, module paths at and past the length
// of the buffer they are written into (guard regions on both sides).
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "console_bytes.h"
#include "platform/console.h"
#include "platform/process.h"

namespace kwCore::platform {
namespace {

constexpr char kGuard = '\x5A';

std::string translated(const std::string& text) {
    testing::internal::CaptureStdout();
    EXPECT_TRUE(writeStandardOutput(text.data(), text.size()));
    return testing::internal::GetCapturedStdout();
}

using testutil::crlf;

TEST(ConsoleTranslation, TextsAroundTheStackBufferThatAreMostlyLineFeeds) {
    for (size_t size = 250; size <= 262; ++size) {
        const std::string feeds(size, '\n');
        ASSERT_EQ(translated(feeds), crlf(feeds)) << size;
        std::string mixed(size, '\n');
        mixed.front() = 'a';
        mixed[size / 2] = '\0';  // a NUL byte is written like any other
        mixed.back() = 'z';
        ASSERT_EQ(translated(mixed), crlf(mixed)) << size;
    }
    const std::string many(5000, '\n');
    EXPECT_EQ(translated(many), crlf(many));
}

struct PathBuffer {
    char before[32];
    char text[kPathBufferSize];
    char after[32];

    PathBuffer() { std::memset(this, kGuard, sizeof *this); }
    bool guardsIntact() const {
        for (size_t i = 0; i < sizeof before; ++i) {
            if (before[i] != kGuard || after[i] != kGuard) {
                return false;
            }
        }
        return true;
    }
    // untouchedFrom tells whether text keeps its guard bytes from offset on.
    bool untouchedFrom(size_t offset) const {
        for (size_t i = offset; i < sizeof text; ++i) {
            if (text[i] != kGuard) {
                return false;
            }
        }
        return guardsIntact();
    }
};

TEST(ModuleFileName, CutToTheBufferAndAlwaysTerminated) {
    PathBuffer whole;
    moduleFileName(whole.text, kPathBufferSize);
    const std::string path = whole.text;
    ASSERT_FALSE(path.empty());
    ASSERT_LT(path.size(), static_cast<size_t>(kPathBufferSize));
    const auto length = static_cast<int32_t>(path.size());

    for (int32_t size : {length + 1, length, length - 1, 2, 1}) {
        PathBuffer cut;
        moduleFileName(cut.text, size);
        EXPECT_EQ(cut.text, path.substr(0, static_cast<size_t>(size - 1))) << size;
        EXPECT_TRUE(cut.untouchedFrom(static_cast<size_t>(size))) << size;
    }
    PathBuffer none;
    moduleFileName(none.text, 0);
    EXPECT_TRUE(none.untouchedFrom(0));
}

TEST(FullPathName, FitsExactlyOrFailsWithAnEmptyText) {
    const std::string path = "/usr/lib/some.dir/name.ext";
    const auto length = static_cast<int32_t>(path.size());
    PathBuffer exact;
    EXPECT_EQ(fullPathName(path.c_str(), exact.text, length + 1), 18);
    EXPECT_EQ(exact.text, path);
    EXPECT_TRUE(exact.untouchedFrom(path.size() + 1));

    PathBuffer tooShort;
    EXPECT_EQ(fullPathName(path.c_str(), tooShort.text, length), -1);
    EXPECT_STREQ(tooShort.text, "");
    EXPECT_TRUE(tooShort.untouchedFrom(static_cast<size_t>(length)));

    // A relative path joins the current directory with one separator.
    PathBuffer cwd;
    ASSERT_GT(fullPathName("x", cwd.text, kPathBufferSize), 0);
    const std::string joined = cwd.text;
    ASSERT_EQ(joined.back(), 'x');
    const auto joinedLength = static_cast<int32_t>(joined.size());
    PathBuffer fits;
    EXPECT_EQ(fullPathName("x", fits.text, joinedLength + 1), joinedLength - 1);
    EXPECT_EQ(fits.text, joined);
    EXPECT_TRUE(fits.untouchedFrom(joined.size() + 1));
    for (int32_t size : {joinedLength, joinedLength - 1, joinedLength - 2, 1}) {
        PathBuffer shortBuffer;
        EXPECT_EQ(fullPathName("x", shortBuffer.text, size), -1) << size;
        EXPECT_STREQ(shortBuffer.text, "") << size;
        EXPECT_TRUE(shortBuffer.untouchedFrom(static_cast<size_t>(size))) << size;
    }
    PathBuffer empty;
    EXPECT_EQ(fullPathName("", empty.text, kPathBufferSize), -1);
    EXPECT_TRUE(empty.guardsIntact());
}

}  // namespace
}  // namespace kwCore::platform
