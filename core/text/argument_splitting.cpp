#include "text/argument_splitting.h"

#include <cstdlib>

#include "text/string_format.h"

namespace kwCore {

namespace {

bool isSeparator(char c) {
    return c == ' ' || c == '\t';
}

// hexValue reads the digits of text (NUL-terminated) as strtol with base 16
// does: leading blanks, a sign and a 0x prefix are accepted, and the reading
// stops at the first non-digit.
long hexValue(const char* text) {
    return std::strtol(text, nullptr, 16);
}

}  // namespace

void splitArguments(const SharedString& text, StringArray& array) {
    array.setSize(0);
    const char* chars = text.cStr();
    const int32_t length = text.getLength();
    char openQuote = 0;  // the quote character that is open, or 0
    SharedString token;
    for (int32_t i = 0; i < length; ++i) {
        const char c = chars[i];
        if (openQuote != 0) {
            if (c == openQuote) {
                openQuote = 0;
            }
        } else if (c == '"' || c == '\'') {
            openQuote = c;
        } else if (isSeparator(c)) {
            if (!token.isEmpty()) {
                array.add(token);
            }
            token.reset();
            continue;
        }
        token.appendChar(c);
    }
    if (!token.isEmpty()) {
        array.add(token);
    }
}

SharedString unescape(const SharedString& text) {
    SharedString result;
    const int32_t length = text.getLength();
    int32_t i = 0;
    while (i < length) {
        const char c = text.charAt(i);
        if (c != '\\') {
            result.appendChar(c);
            ++i;
            continue;
        }
        if (i + 1 >= length) {
            break;  // a lone backslash at the end is dropped
        }
        const char e = text.charAt(i + 1);
        switch (e) {
            case 'n':
                result.appendChar('\n');
                break;
            case 't':
                result.appendChar('\t');
                break;
            case 'r':
                result.appendChar('\r');
                break;
            case '_':
                result.appendChar(' ');
                break;
            case 'x': {
                if (i + 4 > length) {
                    return result;  // fewer than two digits: decoding ends
                }
                const char digits[3] = {text.charAt(i + 2), text.charAt(i + 3), 0};
                result.appendChar(static_cast<char>(hexValue(digits) & 0xFF));
                i += 4;
                continue;
            }
            case 'u': {
                // Characters past the end read as NUL, which ends the digits.
                const char digits[5] = {text.charAt(i + 2), text.charAt(i + 3), text.charAt(i + 4),
                                        text.charAt(i + 5), 0};
                result.append(fromCodePoint(static_cast<uint32_t>(hexValue(digits) & 0xFFFF)));
                i += 6;
                continue;
            }
            default:
                result.appendChar(e);
                break;
        }
        i += 2;
    }
    return result;
}

SharedString unquoteArgument(const SharedString& piece) {
    const int32_t length = piece.getLength();
    if (length == 0) {
        return piece;
    }
    const char first = piece.charAt(0);
    const char last = piece.charAt(length - 1);
    if (first == '\'' && last == '\'') {
        return unescape(piece.mid(1, length - 2));
    }
    if (first == '"' && last == '"') {
        return piece.mid(1, length - 2);
    }
    return piece;
}

}  // namespace kwCore
