// The file layer while signals arrive: a named pipe stands in for a file
// that takes or gives its bytes slowly, so that opens, reads and writes are
// interrupted, and writes cut short, again and again.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <thread>

#include "platform/file.h"
#include "posix/interrupter.h"
#include "stream/temp_files.h"

namespace kwCore::platform {
namespace {

// releaseWaitingReader opens the pipe for writing once its reader waits and
// closes it again, so that the reader meets the end.
void releaseWaitingReader(const std::string& name) {
    int fd;
    while ((fd = open(name.c_str(), O_WRONLY | O_NONBLOCK)) < 0) {
        std::this_thread::yield();
    }
    close(fd);
}

class InterruptedFileTest : public testutil::TempFiles {};

TEST_F(InterruptedFileTest, OpensReadsAndWritesGoOnAndWritesAreWhole) {
    const std::string name = path("pipe");
    ASSERT_EQ(mkfifo(name.c_str(), 0600), 0);
    // A side whose peer failed meets a closed pipe: an error, not the end.
    const auto previousPipeAction = signal(SIGPIPE, SIG_IGN);

    // Writes: a slow reader empties the pipe a little at a time.
    std::string sent(1 << 20, '\0');
    for (size_t i = 0; i < sent.size(); ++i) {
        sent[i] = static_cast<char>(i * 7 + i / 251);
    }
    std::string received;
    std::thread reader([&] {
        const int fd = open(name.c_str(), O_RDONLY);
        char piece[16384];
        for (ssize_t got; (got = read(fd, piece, sizeof piece)) != 0;) {
            if (got > 0) {
                received.append(piece, static_cast<size_t>(got));
                std::this_thread::sleep_for(std::chrono::microseconds(50));
            } else if (errno != EINTR) {
                break;
            }
        }
        close(fd);
    });
    uint32_t written = 0;
    const int before = testutil::Interrupter::deliveries();
    {
        const testutil::Interrupter signals;
        const FileHandle file = openFile(name.c_str(), FileDisposition::CreateForWriting, 0, false);
        if (file != invalidFileHandle) {
            written = writeFile(file, sent.data(), static_cast<uint32_t>(sent.size()));
            closeFile(file);
        } else {
            releaseWaitingReader(name);
        }
    }
    reader.join();
    EXPECT_GT(testutil::Interrupter::deliveries(), before);
    EXPECT_EQ(written, sent.size());
    EXPECT_TRUE(received == sent) << received.size() << " bytes arrived";

    // Reads: the writer and its bytes come only after a while.
    std::thread writer([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));  // the open waits
        const int fd = open(name.c_str(), O_WRONLY);
        std::this_thread::sleep_for(std::chrono::milliseconds(10));  // and then the read
        EXPECT_EQ(write(fd, sent.data(), 100), 100);
        close(fd);
    });
    char got[100] = {};
    uint32_t count = 0;
    FileHandle file;
    {
        const testutil::Interrupter signals;
        file = openFile(name.c_str(), FileDisposition::OpenForReading, 0, false);
        if (file != invalidFileHandle) {
            count = readFile(file, got, sizeof got);
            closeFile(file);
        }
    }
    // Without an open reader, one here lets the writer finish.
    const int release = file == invalidFileHandle ? open(name.c_str(), O_RDONLY | O_NONBLOCK) : -1;
    writer.join();
    close(release);
    signal(SIGPIPE, previousPipeAction);
    EXPECT_EQ(count, sizeof got);
    EXPECT_EQ(std::string(got, sizeof got), sent.substr(0, sizeof got));
}

}  // namespace
}  // namespace kwCore::platform
