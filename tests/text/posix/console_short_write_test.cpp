// Standard output that takes only part of a write, and standard input read
// while signals arrive: a file that may not grow past a limit stops the
// output at every point around an LF, a non-blocking pipe that nobody reads
// fills up, signals interrupt writes into a slow pipe and a read from an
// empty one.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "console_bytes.h"
#include "platform/console.h"
#include "posix/interrupter.h"

namespace kwCore::platform {
namespace {

using testutil::crlf;

// Redirected puts fd over the standard descriptor target until destroyed.
class Redirected {
  public:
    Redirected(int target, int fd) : target_(target), saved_(dup(target)) {
        std::fflush(stdout);
        dup2(fd, target);
    }
    ~Redirected() {
        dup2(saved_, target_);
        close(saved_);
        std::clearerr(stdout);
        std::clearerr(stdin);
    }
    Redirected(const Redirected&) = delete;
    Redirected& operator=(const Redirected&) = delete;

  private:
    int target_;
    int saved_;
};

// IgnoredSignal ignores a signal until destroyed.
class IgnoredSignal {
  public:
    explicit IgnoredSignal(int number) : number_(number) { previous_ = signal(number, SIG_IGN); }
    ~IgnoredSignal() { signal(number_, previous_); }
    IgnoredSignal(const IgnoredSignal&) = delete;
    IgnoredSignal& operator=(const IgnoredSignal&) = delete;

  private:
    int number_;
    sighandler_t previous_;
};

// wholeWithin counts the bytes of source whose translated form lies wholly
// within the first taken bytes of the output.
size_t wholeWithin(const std::string& source, size_t taken) {
    size_t count = 0;
    for (size_t used = 0; count < source.size(); ++count) {
        used += source[count] == '\n' ? 2 : 1;
        if (used > taken) {
            break;
        }
    }
    return count;
}

// expectCounted checks what reached the output against the source: its
// translation's first bytes, each once, and the count returned is exactly
// the given bytes whose translation went out whole.
void expectCounted(const std::string& source, size_t returned, const std::string& received) {
    const std::string translated = crlf(source);
    ASSERT_LE(received.size(), translated.size());
    EXPECT_EQ(received, translated.substr(0, received.size()));
    EXPECT_EQ(returned, wholeWithin(source, received.size()));
}

// pipeOf makes a pipe of one page; returns false when the system refuses.
bool pipeOf(int ends[2]) {
    return pipe(ends) == 0 && fcntl(ends[1], F_SETPIPE_SZ, 4096) == 4096;
}

std::string drain(int fd) {
    std::string bytes;
    char piece[4096];
    for (ssize_t got; (got = read(fd, piece, sizeof piece)) != 0;) {
        if (got > 0) {
            bytes.append(piece, static_cast<size_t>(got));
        } else if (errno != EINTR) {
            break;
        }
    }
    return bytes;
}

// Written is what one write returned and what reached the output.
struct Written {
    size_t returned;
    std::string received;
};

// writesWithin runs write once for each limit with standard output a file
// that may not grow past that limit.
std::vector<Written> writesWithin(const std::vector<size_t>& limits,
                                  const std::function<size_t()>& write) {
    std::vector<Written> results;
    char name[] = "/tmp/kwcore-console-XXXXXX";
    const int file = mkstemp(name);
    if (file < 0) {
        ADD_FAILURE() << "no temporary file";
        return results;
    }
    unlink(name);
    const IgnoredSignal tooLarge(SIGXFSZ);
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    for (size_t limit : limits) {
        EXPECT_EQ(ftruncate(file, 0), 0);
        lseek(file, 0, SEEK_SET);
        rlimit limited = saved;
        limited.rlim_cur = limit;
        size_t returned;
        {
            const Redirected output(STDOUT_FILENO, file);
            setrlimit(RLIMIT_FSIZE, &limited);
            returned = write();
            setrlimit(RLIMIT_FSIZE, &saved);
        }
        lseek(file, 0, SEEK_SET);
        results.push_back({returned, drain(file)});
    }
    close(file);
    return results;
}

// throughSlowReader runs write with standard output a pipe that a slow
// reader empties while signals arrive, after "<" has gone into the
// stream's buffer; the received bytes and write's result.
Written throughSlowReader(const std::function<size_t()>& write) {
    int ends[2];
    if (!pipeOf(ends)) {
        ADD_FAILURE() << "no pipe";
        return {};
    }
    std::string received;
    std::thread reader([&] {
        char piece[1000];
        for (ssize_t got; (got = read(ends[0], piece, sizeof piece)) > 0;) {
            received.append(piece, static_cast<size_t>(got));
            std::this_thread::sleep_for(std::chrono::microseconds(100));
        }
    });
    size_t returned;
    const int before = testutil::Interrupter::deliveries();
    {
        const Redirected output(STDOUT_FILENO, ends[1]);
        const testutil::Interrupter signals;
        std::fputs("<", stdout);  // what the stream holds goes out first
        returned = write();
    }
    close(ends[1]);
    reader.join();
    close(ends[0]);
    EXPECT_GT(testutil::Interrupter::deliveries(), before);
    return {returned, received};
}

TEST(ConsoleShortWrites, CountExactlyWhatWentOutAndWriteNothingTwice) {
    // A text whose LFs stand around the translation's chunk boundary.
    std::string source(9000, 'x');
    for (size_t at : {0u, 100u, 4094u, 4095u, 4096u, 4097u, 8191u, 8192u, 8999u}) {
        source[at] = '\n';
    }
    const std::string translated = crlf(source);

    // A file that may not grow past a limit: the limit before a CR, between
    // it and its LF, and after the LF, for each LF, and at both ends.
    std::vector<size_t> limits = {1, translated.size() - 1, translated.size()};
    for (size_t i = 0; i < translated.size(); ++i) {
        if (translated[i] == '\r') {
            limits.insert(limits.end(), {i, i + 1, i + 2});
        }
    }
    const auto results =
        writesWithin(limits, [&] { return writeStandardOutput(source.data(), source.size()); });
    for (size_t i = 0; i < results.size(); ++i) {
        SCOPED_TRACE(limits[i]);
        EXPECT_EQ(results[i].received.size(), limits[i]);  // all up to the limit went out
        expectCounted(source, results[i].returned, results[i].received);
    }

    // A full device takes nothing.
    const int full = open("/dev/full", O_WRONLY);
    ASSERT_GE(full, 0);
    {
        const Redirected output(STDOUT_FILENO, full);
        EXPECT_EQ(writeStandardOutput("ab\ncd", 5), 0u);
    }
    close(full);

    // A pipe of one page that nobody reads, with a CR as the last byte it
    // takes, its LF, or neither.
    for (size_t before : {4094u, 4095u, 4096u}) {
        const std::string text = std::string(before, 'a') + "\n" + std::string(5000, 'b');
        int ends[2];
        ASSERT_TRUE(pipeOf(ends));
        fcntl(ends[1], F_SETFL, O_NONBLOCK);
        size_t returned;
        {
            const Redirected output(STDOUT_FILENO, ends[1]);
            returned = writeStandardOutput(text.data(), text.size());
        }
        close(ends[1]);
        SCOPED_TRACE(before);
        const std::string received = drain(ends[0]);
        close(ends[0]);
        EXPECT_GT(received.size(), 0u);
        expectCounted(text, returned, received);
    }

    // Signals while a slow reader empties the pipe: interrupted writes
    // go on, and short ones continue where they stopped.
    std::string text;
    for (int line = 0; line < 600; ++line) {
        text +=
            std::string(static_cast<size_t>(line % 97), static_cast<char>('a' + line % 26)) + "\n";
    }
    const Written slow =
        throughSlowReader([&] { return writeStandardOutput(text.data(), text.size()); });
    EXPECT_EQ(slow.returned, text.size());
    EXPECT_EQ(slow.received, "<" + crlf(text));
}

TEST(ConsoleRawWrites, PassEveryByteAndCountWhatWentOut) {
    std::string source(9000, 'x');
    for (size_t at : {0u, 4095u, 4096u, 8999u}) {
        source[at] = '\n';
    }
    source[10] = '\r';
    source[11] = '\0';

    // A file that may not grow past a limit: the count is what it took.
    const std::vector<size_t> limits = {1, 4096, source.size() - 1, source.size()};
    const auto results =
        writesWithin(limits, [&] { return writeStandardOutputRaw(source.data(), source.size()); });
    for (size_t i = 0; i < results.size(); ++i) {
        SCOPED_TRACE(limits[i]);
        EXPECT_EQ(results[i].returned, limits[i]);
        EXPECT_EQ(results[i].received, source.substr(0, limits[i]));
    }

    const int full = open("/dev/full", O_WRONLY);
    ASSERT_GE(full, 0);
    {
        const Redirected output(STDOUT_FILENO, full);
        EXPECT_EQ(writeStandardOutputRaw("ab\ncd", 5), 0u);
    }
    close(full);

    // The stream's buffered text goes out first, translated as it was, and
    // the next write is translated again.
    const std::string text = source + source;
    const Written slow = throughSlowReader([&] {
        const size_t returned = writeStandardOutputRaw(text.data(), text.size());
        writeStandardOutput("\n", 1);
        return returned;
    });
    EXPECT_EQ(slow.returned, text.size());
    EXPECT_EQ(slow.received, "<" + text + "\r\n");
}

TEST(ConsoleInterruptedRead, GoesOnUntilTheBytesCome) {
    int ends[2];
    ASSERT_EQ(pipe(ends), 0);
    const std::string sent(100, 'q');
    std::thread writer([&] {
        for (size_t half = 0; half < 2; ++half) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
            ASSERT_EQ(write(ends[1], sent.data(), 50), 50);
        }
        close(ends[1]);
    });
    char got[101] = {};
    size_t count;
    const int before = testutil::Interrupter::deliveries();
    {
        const Redirected input(STDIN_FILENO, ends[0]);
        const testutil::Interrupter signals;
        count = readStandardInput(got, 100);
    }
    writer.join();
    close(ends[0]);
    EXPECT_GT(testutil::Interrupter::deliveries(), before);
    EXPECT_EQ(count, 100u);
    EXPECT_EQ(std::string(got), sent);
}

}  // namespace
}  // namespace kwCore::platform
