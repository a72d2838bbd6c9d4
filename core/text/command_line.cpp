#include "text/command_line.h"

#include "platform/process.h"
#include "text/argument_splitting.h"

namespace kwCore {

CommandLine::CommandLine() {
    const platform::ProcessArguments process = platform::processArguments();
    if (process.commandText != nullptr) {
        parse(SharedString(process.commandText));
    } else {
        parseArguments(process.argumentCount, process.arguments);
    }
}

void CommandLine::parse(const SharedString& commandText) {
    readModule();
    text = commandText;
    splitArguments(text, *this);
    unquoteElements();
}

void CommandLine::parseArguments(int32_t argumentCount, const char* const* arguments) {
    readModule();
    setSize(0);
    SharedString joined;
    for (int32_t i = 0; i < argumentCount && arguments != nullptr; ++i) {
        if (i > 0) {
            joined.appendChar(' ');
        }
        joined.append(arguments[i] != nullptr ? arguments[i] : "");
        add(SharedString(arguments[i]));
    }
    text = joined;
    unquoteElements();
}

void CommandLine::readModule() {
    char buffer[platform::kPathBufferSize];
    platform::moduleFileName(buffer, sizeof buffer);
    modulePath.assign(buffer);
    const int32_t namePart = platform::fullPathName(modulePath.cStr(), buffer, sizeof buffer);
    if (namePart < 0 || namePart >= platform::kPathBufferSize) {
        // Without a full path there is no directory or name to tell.
        moduleDirectory.reset();
        moduleName.reset();
        return;
    }
    moduleName.assign(buffer + namePart);
    buffer[namePart] = 0;
    moduleDirectory.assign(buffer);
}

void CommandLine::unquoteElements() {
    for (int32_t i = 0; i < count(); ++i) {
        (*this)[i] = unquoteArgument((*this)[i]);
    }
}

}  // namespace kwCore
