#include "stream/file_stream.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/file.h"
#include "temp_files.h"

namespace kwCore {
namespace {

constexpr int64_t kHighHalf = int64_t{1} << 32;

class FileStreamTest : public testutil::TempFiles {};

// expectNothingSupported checks that a stream refuses every query and
// transfer, as a plain Stream does.
void expectNothingSupported(Stream& stream) {
    EXPECT_FALSE(stream.canRead() || stream.canWrite() || stream.canSeek() || stream.canTell() ||
                 stream.hasSize() || stream.isInteractive() || stream.isOpen());
    char byte = 0;
    EXPECT_EQ(stream.read(&byte, 1), -1);
    EXPECT_EQ(stream.write(&byte, 1), -1);
    EXPECT_EQ(stream.size(), -1);
    EXPECT_EQ(stream.position(), -1);
    EXPECT_EQ(stream.seek(0), -1);
    EXPECT_EQ(stream.reservedOperation(0), -1);
}

void expectClosed(FileStream& stream) {
    EXPECT_FALSE(stream.isOpen());
    EXPECT_EQ(stream.name(), nullptr);
    EXPECT_EQ(stream.handle, kClosedFileHandle);
    EXPECT_EQ(stream.mode, StreamMode::Closed);
    expectNothingSupported(stream);
    EXPECT_FALSE(stream.atEnd());  // unlike the Stream default
}

TEST_F(FileStreamTest, NewAndFailedStreamsAreClosed) {
    FileStream stream;
    expectClosed(stream);
    EXPECT_FALSE(stream.open(path("missing").c_str(), false, false, 0));
    expectClosed(stream);
    EXPECT_FALSE(exists(path("missing")));
    EXPECT_FALSE(stream.open(nullptr, true, false, 0));
    expectClosed(stream);
    stream.close();
    stream.flush();
    expectClosed(stream);
}

TEST_F(FileStreamTest, ReadingGoesToTheEndAndStopsThere) {
    store(path("f"), "0123456789");
    FileStream stream;
    ASSERT_TRUE(stream.open(path("f").c_str(), false, false, 0));
    EXPECT_STREQ(stream.name(), path("f").c_str());
    EXPECT_TRUE(stream.canRead() && stream.canSeek() && stream.canTell() && stream.hasSize());
    EXPECT_FALSE(stream.canWrite());
    EXPECT_EQ(stream.write("x", 1), -1);
    EXPECT_EQ(stream.size(), 10);

    char buffer[16];
    std::memset(buffer, '#', sizeof buffer);
    EXPECT_EQ(stream.read(buffer, 4), 4);
    EXPECT_EQ(stream.position(), 4);
    EXPECT_FALSE(stream.atEnd());
    EXPECT_EQ(stream.read(buffer, 100), 6);  // only what is left
    EXPECT_EQ(std::string(buffer, 7), "456789#");
    EXPECT_TRUE(stream.atEnd());
    EXPECT_EQ(stream.read(buffer, 100), 0);
    EXPECT_TRUE(stream.atEnd());

    EXPECT_EQ(stream.seek(8), 8);
    EXPECT_EQ(stream.read(buffer, 100), 2);
    EXPECT_EQ(stream.seek(25), 25);  // past the end is allowed
    EXPECT_TRUE(stream.atEnd());
    EXPECT_EQ(stream.seek(-1), -1);
}

TEST_F(FileStreamTest, OnlyTheLowHalfOfALengthReachesTheFile) {
    store(path("f"), "abcdefghij");
    FileStream reader;
    ASSERT_TRUE(reader.open(path("f").c_str(), false, false, 0));
    char guarded[9];
    std::memset(guarded, '#', sizeof guarded);
    EXPECT_EQ(reader.read(guarded + 2, kHighHalf + 5), 5);
    EXPECT_EQ(std::string(guarded, sizeof guarded), "##abcde##");
    EXPECT_EQ(reader.read(guarded, kHighHalf), 0);  // a count of 0

    FileStream writer;
    ASSERT_TRUE(writer.open(path("g").c_str(), true, false, 0));
    EXPECT_EQ(writer.write("ABCDEFGH", kHighHalf + 5), 5);
    EXPECT_EQ(writer.read(guarded, 1), -1);
    writer.close();
    EXPECT_EQ(contents(path("g")), "ABCDE");
}

TEST_F(FileStreamTest, WritingTruncatesAndAppendingKeepsOrCreates) {
    store(path("f"), "old contents");
    FileStream stream;
    ASSERT_TRUE(stream.open(path("f").c_str(), true, false, 0));
    EXPECT_TRUE(stream.canWrite());
    EXPECT_FALSE(stream.canRead());
    EXPECT_EQ(stream.size(), 0);
    EXPECT_EQ(stream.write("new", 3), 3);
    EXPECT_EQ(stream.position(), 3);
    EXPECT_TRUE(stream.atEnd());
    stream.flush();
    stream.close();
    EXPECT_EQ(contents(path("f")), "new");

    ASSERT_TRUE(stream.open(path("f").c_str(), true, true, 0));
    EXPECT_EQ(stream.position(), 3);
    EXPECT_EQ(stream.write("er", 2), 2);
    ASSERT_TRUE(stream.open(path("created").c_str(), true, true, 0));
    EXPECT_EQ(stream.position(), 0);
    EXPECT_EQ(stream.write("fresh", 5), 5);
    stream.close();
    EXPECT_EQ(contents(path("f")), "newer");
    EXPECT_EQ(contents(path("created")), "fresh");

    // Append ignored for reading.
    ASSERT_TRUE(stream.open(path("f").c_str(), false, true, 0));
    EXPECT_EQ(stream.position(), 0);
}

TEST_F(FileStreamTest, OpeningAgainClosesTheFirstFileAndAFailureLeavesItClosed) {
    store(path("a"), "A");
    FileStream stream;
    ASSERT_TRUE(stream.open(path("a").c_str(), false, false, 0));
    // The first handle shares nothing: only its closing lets the same file
    // open again where share modes are enforced.
    ASSERT_TRUE(stream.open(path("a").c_str(), false, false, 0));
    ASSERT_TRUE(stream.open(path("b").c_str(), true, false, 0));
    EXPECT_STREQ(stream.name(), path("b").c_str());
    EXPECT_EQ(stream.write("B", 1), 1);
    EXPECT_FALSE(stream.open(path("missing").c_str(), false, false, 0));
    expectClosed(stream);
    EXPECT_EQ(contents(path("b")), "B");
    // Nothing holds a or b any more: both reopen for writing with no sharing.
    FileStream other;
    EXPECT_TRUE(other.open(path("a").c_str(), true, false, 0));
    EXPECT_TRUE(other.open(path("b").c_str(), true, false, 0));
}

TEST_F(FileStreamTest, ShareModesGrantReadingAndWritingToOthers) {
    store(path("f"), "shared");
    const bool enforced = platform::fileShareModesEnforced();
    struct Case {
        int shareMode;
        bool othersRead;
        bool othersWrite;
    };
    for (const Case& c : {Case{0, false, false}, Case{1, true, false}, Case{2, false, true},
                          Case{3, true, true}, Case{7, false, false}, Case{-1, false, false}}) {
        SCOPED_TRACE(c.shareMode);
        FileStream holder;
        ASSERT_TRUE(holder.open(path("f").c_str(), false, false, c.shareMode));
        FileStream reader;
        EXPECT_EQ(reader.open(path("f").c_str(), false, false, 3), c.othersRead || !enforced);
        reader.close();
        FileStream writer;
        EXPECT_EQ(writer.open(path("f").c_str(), true, true, 3), c.othersWrite || !enforced);
    }
}

TEST_F(FileStreamTest, DestructionClosesTheFile) {
    {
        FileStream stream;
        ASSERT_TRUE(stream.open(path("f").c_str(), true, false, 0));
        EXPECT_EQ(stream.write("kept", 4), 4);
    }
    FileStream again;
    ASSERT_TRUE(again.open(path("f").c_str(), true, true, 0));  // no handle is left behind
    EXPECT_EQ(again.size(), 4);
}

TEST(Stream, ThePlainStreamSupportsNothingAndIsAtItsEnd) {
    Stream stream;
    expectNothingSupported(stream);
    EXPECT_EQ(stream.name(), nullptr);
    EXPECT_TRUE(stream.atEnd());
    FileStream file;
    EXPECT_EQ(file.reservedOperation(1), -1);
}

}  // namespace
}  // namespace kwCore
