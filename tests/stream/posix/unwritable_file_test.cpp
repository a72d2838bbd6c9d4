// File streams on files that cannot take their bytes or shrink under them:
// /dev/full stands in for a full disk, and a second writer truncates a file
// a stream is reading.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "stream/buffered_file_stream.h"
#include "stream/file_stream.h"
#include "stream/temp_files.h"

namespace kwCore {
namespace {

constexpr char kFullDisk[] = "/dev/full";

TEST(FullDiskTest, FileStreamWritesReportNothingTaken) {
    FileStream stream;
    ASSERT_TRUE(stream.open(kFullDisk, true, false, 0));
    const char data[100] = {'x'};
    EXPECT_EQ(stream.write(data, sizeof data), 0);
    EXPECT_EQ(stream.write(data, 0), 0);
    stream.close();
    EXPECT_FALSE(stream.isOpen());
}

TEST(FullDiskTest, BufferedWriteReportsTheLostBlockAndKeepsNoBytes) {
    BufferedFileStream stream(16);
    ASSERT_TRUE(stream.open(kFullDisk, true, false));
    // The caller's bytes sit between guards; nothing beyond them is read.
    std::vector<char> source(8 + 40 + 8, 'g');
    std::memset(source.data() + 8, 'd', 40);

    EXPECT_EQ(stream.write(source.data() + 8, 10), 10);  // held in the block
    EXPECT_EQ(stream.pending, 10);
    // The block fills at 16 bytes and the system takes none of it.
    EXPECT_EQ(stream.write(source.data() + 8, 30), -1);
    EXPECT_EQ(stream.pending, 0);

    // Pending bytes that cannot go out make a seek fail rather than move on.
    EXPECT_EQ(stream.write(source.data() + 8, 5), 5);
    EXPECT_EQ(stream.seek(0), -1);
    stream.close();
    EXPECT_FALSE(stream.isOpen());
    EXPECT_EQ(stream.outputBuffer, nullptr);
}

class ShrinkingFileTest : public testutil::TempFiles {};

TEST_F(ShrinkingFileTest, ReadsStopWhereAnotherWriterTruncated) {
    const std::string name = path("shrinking");
    store(name, std::string(1000, 'a'));
    FileStream reader;
    ASSERT_TRUE(reader.open(name.c_str(), false, false, 3));
    char first[100];
    EXPECT_EQ(reader.read(first, sizeof first), 100);

    store(name, "");  // truncated to 0 bytes under the reader
    std::vector<char> rest(200 + 16, '#');
    EXPECT_EQ(reader.read(rest.data(), 200), 0);
    EXPECT_TRUE(reader.atEnd());
    for (size_t i = 0; i < rest.size(); ++i) {
        ASSERT_EQ(rest[i], '#') << "byte " << i << " was written";
    }
}

}  // namespace
}  // namespace kwCore
