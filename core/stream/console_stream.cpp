#include "stream/console_stream.h"

#include "platform/console.h"
#include "runtime/has_console.h"

namespace kwCore {

bool ConsoleStream::canRead() {
    return hasConsole();
}

bool ConsoleStream::canWrite() {
    return hasConsole();
}

bool ConsoleStream::isOpen() {
    return hasConsole();
}

int64_t ConsoleStream::read(void* destination, int64_t length) {
    return static_cast<int64_t>(
        platform::readStandardInput(destination, lowTransferLength(length)));
}

int64_t ConsoleStream::write(const void* data, int64_t length) {
    return static_cast<int64_t>(platform::writeStandardOutput(data, lowTransferLength(length)));
}

bool ConsoleStream::open(const char*, int32_t) {
    return hasConsole();
}

}  // namespace kwCore
