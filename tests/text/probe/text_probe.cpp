// text_probe writes to standard output what the text library's output and
// command-line code make of known inputs, for check_text_probe.sh to compare
// byte for byte.
//   text_probe print   every printFormatted case, each after a <name> marker
//   text_probe args    the process's own command line as CommandLine reads it
//   text_probe raw     printFormatted around an untranslated write
//   text_probe threads two threads printing long texts at once, each a block
//                      of 640 lines of 99 letters ('A' on one, 'B' on the
//                      other). The second starts once the first is stalled
//                      inside a text, as it is when standard output is a
//                      pipe that is not read yet: it then writes "overlap" to
//                      standard error and begins its own texts, so that the
//                      reader may go on. Exits 3 when no text began while the
//                      other thread's was going out.
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <thread>

#include "platform/console.h"
#include "text/command_line.h"
#include "text/console_output.h"

using kwCore::printFormatted;

namespace {

void printCases() {
    printFormatted("<tracks>");
    printFormatted("Tracks: %d\r\n", 3);

    printFormatted("<lines>");
    printFormatted("a\nb\n\nc");

    printFormatted("<255>");
    printFormatted("%s", std::string(255, 'a').c_str());

    printFormatted("<256>");
    printFormatted("%s", std::string(256, 'b').c_str());

    printFormatted("<long-lines>");  // the heap path translates too
    printFormatted("%s\r\n%s\n", std::string(300, 'c').c_str(), std::string(10, 'd').c_str());

    printFormatted("<nul>");
    printFormatted("ab%ccd\r\n", 0);

    printFormatted("<empty>");
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-zero-length"
    printFormatted("");
#pragma GCC diagnostic pop

    printFormatted("<huge>");
    printFormatted("%s", std::string(2000000, 'e').c_str());

    printFormatted("<end>");
}

// printRaw writes untranslated bytes between translated ones: the text
// before goes out first, CR and LF pass as they are, a NUL too, and the
// text after is translated again.
void printRaw() {
    printFormatted("<raw>a\n");
    kwCore::platform::writeStandardOutputRaw("b\nc\r\n\0d", 7);
    printFormatted("e\n");
    printFormatted("<big>");
    const std::string lines(100000, '\n');
    kwCore::platform::writeStandardOutputRaw(lines.data(), lines.size());
    printFormatted("<end>\n");
}

void printArguments() {
    const kwCore::CommandLine line;
    for (int32_t i = 1; i < line.count(); ++i) {
        printFormatted("[%s]\n", line[i].cStr());
    }
    const char* directory = line.moduleDirectory.cStr();
    const size_t directoryLength = std::strlen(directory);
    const char last = directoryLength > 0 ? directory[directoryLength - 1] : '?';
    printFormatted("name=%s\n", line.moduleName.cStr());
    printFormatted("separator=%s\n", last == '/' || last == '\\' ? "yes" : "no");
}

// kTexts is how many texts each thread prints.
constexpr int kTexts = 30;

// Thread 0 prints first; texts[t] counts the texts thread t has begun and
// inside[t] is set while one is going out. overlaps counts the texts that
// began while the other thread was inside one.
std::atomic<int> texts[2];
std::atomic<bool> inside[2];
std::atomic<int> overlaps{0};

// awaitStall waits until thread t stays inside one text for 50 ms, as it
// does while the output is not read, or until it has printed all its texts.
void awaitStall(int t) {
    for (;;) {
        const int seen = texts[t].load();
        if (inside[t].load()) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            if (inside[t].load() && texts[t].load() == seen) {
                return;
            }
        } else if (seen == kTexts) {
            return;
        } else {
            std::this_thread::yield();
        }
    }
}

// printBlocks prints 30 texts of 640 lines of 99 letters each: 64,000 bytes,
// 64,640 with their CRs, so that each spans many pieces of the console's
// translation and two of them more than a pipe holds. Thread 1 waits until
// thread 0 is stalled inside a text.
void printBlocks(int me, char letter) {
    std::string block;
    for (int line = 0; line < 640; ++line) {
        block += std::string(99, letter) + "\n";
    }
    const int other = 1 - me;
    if (me == 1) {
        awaitStall(other);
    }
    for (int i = 0; i < kTexts; ++i) {
        inside[me].store(true);
        texts[me].fetch_add(1);
        if (inside[other].load()) {
            overlaps.fetch_add(1);
        }
        if (me == 1 && i == 0) {
            std::fputs("overlap\n", stderr);
            std::fflush(stderr);
        }
        printFormatted("%s", block.c_str());
        inside[me].store(false);
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1 && std::strcmp(argv[1], "print") == 0) {
        printCases();
        return 0;
    }
    if (argc > 1 && std::strcmp(argv[1], "raw") == 0) {
        printRaw();
        return 0;
    }
    if (argc > 1 && std::strcmp(argv[1], "args") == 0) {
        printArguments();
        return 0;
    }
    if (argc > 1 && std::strcmp(argv[1], "threads") == 0) {
        std::thread first(printBlocks, 0, 'A');
        std::thread second(printBlocks, 1, 'B');
        first.join();
        second.join();
        return overlaps.load() > 0 ? 0 : 3;
    }
    return 2;
}
