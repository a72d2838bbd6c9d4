// text_probe writes to standard output what the text library's output and
// command-line code make of known inputs, for check_text_probe.sh to compare
// byte for byte.
//   text_probe print   every printFormatted case, each after a <name> marker
//   text_probe args    the process's own command line as CommandLine reads it
//   text_probe raw     printFormatted around an untranslated write
//   text_probe threads two threads printing long texts at once, each a block
//                      of 640 lines of 99 letters ('A' on one, 'B' on the other)
#include <atomic>
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

std::atomic<bool> go{false};

// printBlocks prints 30 texts of 640 lines of 99 letters each: 64,000 bytes,
// so that each spans many pieces of the console's translation.
void printBlocks(char letter) {
    std::string block;
    for (int line = 0; line < 640; ++line) {
        block += std::string(99, letter) + "\n";
    }
    while (!go.load()) {
    }
    for (int i = 0; i < 30; ++i) {
        printFormatted("%s", block.c_str());
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
        std::thread first(printBlocks, 'A');
        std::thread second(printBlocks, 'B');
        go.store(true);
        first.join();
        second.join();
        return 0;
    }
    return 2;
}
