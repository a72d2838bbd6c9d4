// Command-line splitting and decoding on any text: the pieces keep every
// byte but the separators outside quotes, no piece is empty or holds a
// blank outside quotes, and decoding never makes a piece longer.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_check.h"
#include "text/argument_splitting.h"

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

// withoutOuterBlanks returns text without the blanks that stand outside quotes.
std::string withoutOuterBlanks(const std::string& text) {
    std::string kept;
    char open = 0;
    for (char c : text) {
        if (open != 0) {
            open = c == open ? 0 : open;
        } else if (c == '"' || c == '\'') {
            open = c;
        } else if (isBlank(c)) {
            continue;
        }
        kept += c;
    }
    return kept;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // A command line is a NUL-terminated text: it ends at the first NUL.
    const std::string text(reinterpret_cast<const char*>(data), size);
    const std::string line = text.substr(0, text.find('\0'));
    kwCore::StringArray pieces;
    kwCore::splitArguments(kwCore::SharedString(line.c_str()), pieces);

    std::string joined;
    for (int32_t i = 0; i < pieces.count(); ++i) {
        const kwCore::SharedString& piece = pieces[i];
        const int32_t length = piece.getLength();
        FUZZ_CHECK(length > 0);
        const std::string bytes(piece.cStr(), static_cast<size_t>(length));
        FUZZ_CHECK(withoutOuterBlanks(bytes) == bytes);
        joined += bytes;

        const kwCore::SharedString decoded = kwCore::unescape(piece);
        FUZZ_CHECK(decoded.getLength() <= length);
        const kwCore::SharedString unquoted = kwCore::unquoteArgument(piece);
        FUZZ_CHECK(unquoted.getLength() <= length);
        const bool enclosed = piece.charAt(0) == piece.charAt(length - 1) &&
                              (piece.charAt(0) == '"' || piece.charAt(0) == '\'');
        if (!enclosed) {
            FUZZ_CHECK(unquoted.cStr() == piece.cStr());  // the same block, untouched
        } else if (piece.charAt(0) == '"') {
            FUZZ_CHECK(unquoted.getLength() == (length < 2 ? 0 : length - 2));
        }
    }
    FUZZ_CHECK(joined == withoutOuterBlanks(line));
    return 0;
}
