// stream_probe drives a ConsoleStream over the process's real standard input
// and output, for check_stream_probe.sh to compare byte for byte.
//   stream_probe answers   every query's answer, one "name=value" line each
//   stream_probe write     known writes, each followed by "=<count returned>"
//   stream_probe echo      standard input copied to standard output in
//                          reads of 7 bytes, then "<total>"
//   stream_probe full      one large write; its count goes to standard error
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "stream/console_stream.h"

using kwCore::ConsoleStream;

namespace {

// kLengthHighBits only the low 32 bits of a transfer length reach the system.
constexpr int64_t kLengthHighBits = int64_t{1} << 32;

void writeText(ConsoleStream& stream, const std::string& text) {
    stream.write(text.data(), static_cast<int64_t>(text.size()));
}

void writeCase(ConsoleStream& stream, const std::string& bytes, int64_t length) {
    const int64_t count = stream.write(bytes.data(), length);
    writeText(stream, "=" + std::to_string(count) + "\n");
}

void printAnswers() {
    ConsoleStream stream;
    const std::string answers = "canRead=" + std::to_string(stream.canRead()) +
                                "\ncanWrite=" + std::to_string(stream.canWrite()) +
                                "\nisOpen=" + std::to_string(stream.isOpen()) +
                                "\nopen=" + std::to_string(stream.open("ignored", 1)) +
                                "\ncanSeek=" + std::to_string(stream.canSeek()) +
                                "\ncanTell=" + std::to_string(stream.canTell()) +
                                "\nhasSize=" + std::to_string(stream.hasSize()) +
                                "\natEnd=" + std::to_string(stream.atEnd()) +
                                "\nisInteractive=" + std::to_string(stream.isInteractive()) +
                                "\nname=" + (stream.name() ? stream.name() : "null") +
                                "\nsize=" + std::to_string(stream.size()) +
                                "\nposition=" + std::to_string(stream.position()) +
                                "\nseek=" + std::to_string(stream.seek(0)) +
                                "\nreserved=" + std::to_string(stream.reservedOperation(0)) + "\n";
    writeText(stream, answers);
}

void writeCases() {
    ConsoleStream stream;
    writeCase(stream, "a\nb\r\n", 5);
    writeCase(stream, "xyz-never", kLengthHighBits + 3);
    writeCase(stream, "", 0);
    // LFs at the end of one 4,096-byte piece and the start of the next.
    writeCase(stream, std::string(4095, 'y') + "\n\n", 4097);
    std::string lines;
    for (int i = 0; i < 90; ++i) {
        lines += std::string(99, 'x') + "\n";
    }
    writeCase(stream, lines, static_cast<int64_t>(lines.size()));
    writeCase(stream, "no line feed", 12);
    writeCase(stream, std::string("nul\0byte", 8), 8);
}

void echoInput() {
    ConsoleStream stream;
    char piece[8];  // 7 bytes to read into and a guard byte
    int64_t total = 0;
    for (;;) {
        std::memset(piece, '#', sizeof piece);
        const int64_t count = stream.read(piece, kLengthHighBits + 7);
        if (piece[7] != '#') {
            writeText(stream, "<overrun>");
            return;
        }
        if (count <= 0) {
            writeText(stream, "<" + std::to_string(total) + "," + std::to_string(count) + ">");
            return;
        }
        total += count;
        stream.write(piece, count);
    }
}

void writeToFullOutput() {
    ConsoleStream stream;
    std::string lines;
    for (int i = 0; i < 2000; ++i) {
        lines += std::string(49, 'f') + "\n";
    }
    const int64_t count = stream.write(lines.data(), static_cast<int64_t>(lines.size()));
    std::fprintf(stderr, "%lld of %zu\n", static_cast<long long>(count), lines.size());
}

}  // namespace

int main(int argc, char** argv) {
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "answers") {
        printAnswers();
    } else if (mode == "write") {
        writeCases();
    } else if (mode == "echo") {
        echoInput();
    } else if (mode == "full") {
        writeToFullOutput();
    } else {
        return 2;
    }
    return 0;
}
