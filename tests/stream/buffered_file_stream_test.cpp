#include "stream/buffered_file_stream.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/file.h"
#include "stream/file_stream.h"
#include "temp_files.h"

namespace kwCore {
namespace {

constexpr int32_t kCapacity = 4096;

class BufferedFileStreamTest : public testutil::TempFiles {
  protected:
    // pattern is count bytes that differ from their neighbours, so a block
    // written at the wrong place shows.
    static std::string pattern(size_t count) {
        std::string text(count, '\0');
        for (size_t i = 0; i < count; ++i) {
            text[i] = static_cast<char>('a' + i % 23);
        }
        return text;
    }
};

TEST_F(BufferedFileStreamTest, SmallWritesStayInTheBlockUntilFlushed) {
    BufferedFileStream stream(kCapacity);
    ASSERT_TRUE(stream.open(path("f").c_str(), true, false));
    EXPECT_EQ(stream.write("0123456789", 10), 10);
    EXPECT_EQ(stream.pending, 10);
    EXPECT_EQ(stream.size(), 0);
    EXPECT_EQ(stream.position(), 0);
    EXPECT_TRUE(stream.atEnd());
    EXPECT_EQ(contents(path("f")), "");
    stream.flush();
    EXPECT_EQ(stream.pending, 0);
    EXPECT_EQ(stream.size(), 10);
    EXPECT_EQ(contents(path("f")), "0123456789");
    EXPECT_EQ(stream.write("", 0), 0);
    EXPECT_EQ(stream.write("abc", -5), -5);
    EXPECT_EQ(stream.write(nullptr, 3), 0);
    EXPECT_EQ(stream.pending, 0);
    stream.flush();
    EXPECT_EQ(stream.size(), 10);
}

TEST_F(BufferedFileStreamTest, AFullBlockGoesOutAtOnceWhole) {
    const std::string text = pattern(10000);
    BufferedFileStream stream(kCapacity);
    ASSERT_TRUE(stream.open(path("f").c_str(), true, false));
    EXPECT_EQ(stream.write(text.data(), kCapacity - 1), kCapacity - 1);
    EXPECT_EQ(stream.size(), 0);
    EXPECT_EQ(stream.write(text.data() + kCapacity - 1, 1), 1);
    EXPECT_EQ(stream.size(), kCapacity);
    EXPECT_EQ(stream.pending, 0);

    ASSERT_TRUE(stream.open(path("g").c_str(), true, false));
    EXPECT_EQ(stream.write(text.data(), 10000), 10000);
    EXPECT_EQ(stream.size(), 2 * kCapacity);
    EXPECT_EQ(stream.pending, 10000 - 2 * kCapacity);
    EXPECT_EQ(contents(path("g")), text.substr(0, 2 * kCapacity));
    EXPECT_EQ(stream.write(text.data(), 3), 3);
    EXPECT_EQ(stream.pending, 10000 - 2 * kCapacity + 3);
    stream.close();
    EXPECT_EQ(contents(path("f")), text.substr(0, kCapacity));
    EXPECT_EQ(contents(path("g")), text + text.substr(0, 3));
}

TEST_F(BufferedFileStreamTest, PendingBytesGoOutOnCloseReopenAndDestruction) {
    {
        BufferedFileStream stream(kCapacity);
        ASSERT_TRUE(stream.open(path("first").c_str(), true, false));
        EXPECT_EQ(stream.write("one", 3), 3);
        ASSERT_TRUE(stream.open(path("second").c_str(), true, false));
        EXPECT_EQ(contents(path("first")), "one");
        EXPECT_EQ(stream.write("two", 3), 3);
        ASSERT_TRUE(stream.open(path("first").c_str(), true, true));
        EXPECT_EQ(stream.write("+", 1), 1);
        EXPECT_EQ(contents(path("second")), "two");
        EXPECT_EQ(contents(path("first")), "one");
    }
    EXPECT_EQ(contents(path("first")), "one+");

    BufferedFileStream stream(kCapacity);
    ASSERT_TRUE(stream.open(path("third").c_str(), true, false));
    EXPECT_EQ(stream.write("three", 5), 5);
    EXPECT_FALSE(stream.open(path("missing").c_str(), false, false));
    EXPECT_EQ(contents(path("third")), "three");
    EXPECT_FALSE(stream.isOpen());
    EXPECT_EQ(stream.name(), nullptr);
    EXPECT_EQ(stream.outputBuffer, nullptr);
    EXPECT_EQ(stream.pending, 0);
    EXPECT_EQ(stream.write("x", 1), -1);
    EXPECT_FALSE(stream.atEnd());
    EXPECT_EQ(stream.seek(0), -1);
}

TEST_F(BufferedFileStreamTest, ASeekWritesPendingBytesWhereTheyBelongFirst) {
    BufferedFileStream stream(kCapacity);
    ASSERT_TRUE(stream.open(path("f").c_str(), true, false));
    EXPECT_EQ(stream.write("0123456789", 10), 10);
    EXPECT_EQ(stream.seek(2), 2);
    EXPECT_EQ(stream.pending, 0);
    EXPECT_EQ(stream.size(), 10);
    EXPECT_EQ(stream.write("XY", 2), 2);
    EXPECT_EQ(stream.position(), 2);  // the system's pointer; XY still pending
    EXPECT_EQ(stream.seek(-1), -1);   // writes XY out, refuses the move
    EXPECT_EQ(stream.position(), 4);
    EXPECT_EQ(stream.seek(12), 12);
    EXPECT_EQ(stream.write("!", 1), 1);
    stream.close();
    EXPECT_EQ(contents(path("f")), std::string("01XY456789\0\0!", 13));
}

TEST_F(BufferedFileStreamTest, ReadsGoStraightToTheFile) {
    store(path("f"), "abcdef");
    BufferedFileStream stream(kCapacity);
    ASSERT_TRUE(stream.open(path("f").c_str(), false, true));
    EXPECT_NE(stream.outputBuffer, nullptr);
    EXPECT_TRUE(stream.canRead() && stream.canSeek() && stream.canTell() && stream.hasSize());
    EXPECT_FALSE(stream.canWrite());
    EXPECT_EQ(stream.write("x", 1), -1);
    char buffer[8] = {};
    EXPECT_EQ(stream.read(buffer, 4), 4);
    EXPECT_EQ(stream.position(), 4);
    EXPECT_EQ(stream.seek(1), 1);
    EXPECT_EQ(stream.read(buffer, 100), 5);
    EXPECT_EQ(std::string(buffer, 5), "bcdef");
    EXPECT_TRUE(stream.atEnd());
    EXPECT_EQ(stream.read(buffer, 100), 0);
}

TEST_F(BufferedFileStreamTest, OthersMayReadButNotWrite) {
    BufferedFileStream stream(kCapacity);
    ASSERT_TRUE(stream.open(path("f").c_str(), true, false));
    EXPECT_EQ(stream.write("abc", 3), 3);
    stream.flush();
    FileStream reader;
    ASSERT_TRUE(reader.open(path("f").c_str(), false, false, 3));
    char buffer[4] = {};
    EXPECT_EQ(reader.read(buffer, 4), 3);
    FileStream writer;
    EXPECT_EQ(writer.open(path("f").c_str(), true, true, 3), !platform::fileShareModesEnforced());
}

}  // namespace
}  // namespace kwCore
