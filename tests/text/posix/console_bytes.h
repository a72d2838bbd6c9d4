#pragma once

#include <string>

namespace kwCore::testutil {

// crlf is text with every LF written as CR LF, as standard output gets it.
inline std::string crlf(const std::string& text) {
    std::string result;
    for (char c : text) {
        result += c == '\n' ? "\r\n" : std::string(1, c);
    }
    return result;
}

}  // namespace kwCore::testutil
