#include "text/argument_splitting.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kwCore {
namespace {

std::vector<std::string> pieces(const char* text) {
    StringArray array;
    array.add(SharedString("stale"));  // splitting replaces what was there
    splitArguments(SharedString(text), array);
    std::vector<std::string> result;
    for (int32_t i = 0; i < array.count(); ++i) {
        result.emplace_back(array[i].cStr());
    }
    return result;
}

// bytes is the text of s with every byte, embedded NULs included.
std::string bytes(const SharedString& s) {
    return std::string(s.cStr(), s.getLength());
}

std::string decoded(const char* text) {
    return bytes(unescape(SharedString(text)));
}

using Pieces = std::vector<std::string>;

TEST(SplitArguments, CutsAtBlanksOutsideQuotesAndKeepsTheQuotes) {
    EXPECT_EQ(pieces("tool D: -toc"), (Pieces{"tool", "D:", "-toc"}));
    EXPECT_EQ(pieces(" \t tool\t\tD:  "), (Pieces{"tool", "D:"}));
    EXPECT_EQ(pieces("\"a b\" 'c d'"), (Pieces{"\"a b\"", "'c d'"}));
    EXPECT_EQ(pieces("a\"b c\"d"), (Pieces{"a\"b c\"d"}));
    // The other kind of quote inside a quote is an ordinary character.
    EXPECT_EQ(pieces("\"a'b\" 'c\"d' e"), (Pieces{"\"a'b\"", "'c\"d'", "e"}));
    // An unclosed quote runs to the end; a backslash escapes nothing.
    EXPECT_EQ(pieces("tool 'it\\'s' D:"), (Pieces{"tool", "'it\\'s' D:"}));
    // Other control characters and line ends do not separate.
    EXPECT_EQ(pieces("a\nb\rc\vd"), (Pieces{"a\nb\rc\vd"}));
}

TEST(SplitArguments, EmptyAndBlankTextsGiveNoPieces) {
    EXPECT_EQ(pieces(""), Pieces{});
    EXPECT_EQ(pieces(" \t  "), Pieces{});
}

TEST(Unescape, NamedEscapesAndSelfStandingCharacters) {
    EXPECT_EQ(decoded("a\\tb\\nc\\rd\\_e"), "a\tb\nc\rd e");
    EXPECT_EQ(decoded("\\q\\\\\\'\\\""), "q\\'\"");
    EXPECT_EQ(decoded("ab\\"), "ab");  // a trailing lone backslash is dropped
    EXPECT_EQ(decoded("plain"), "plain");
    EXPECT_TRUE(unescape(SharedString()).isNull());
    EXPECT_TRUE(unescape(SharedString("\\")).isNull());
}

TEST(Unescape, HexByteReadsTwoCharactersAsStrtolDoes) {
    EXPECT_EQ(decoded("\\x41\\x6a"), "Aj");
    EXPECT_EQ(decoded("\\x4gh"), "\x04h");                // the reading stops at the g
    EXPECT_EQ(decoded("\\x 7"), std::string("\x07", 1));  // leading blank skipped
    EXPECT_EQ(decoded("\\x-1"), "\xFF");                  // signed: low 8 bits of -1
    EXPECT_EQ(decoded("a\\x4"), "a");                     // one digit: decoding ends
    EXPECT_EQ(decoded("a\\x"), "a");
    EXPECT_EQ(decoded("\\x414"), "A4");  // only two characters are read
}

TEST(Unescape, EscapedNulIsKeptAndCounted) {
    const SharedString result = unescape(SharedString("a\\xzzb"));
    EXPECT_EQ(result.getLength(), 3);
    EXPECT_EQ(bytes(result), std::string("a\0b", 3));
    EXPECT_EQ(bytes(unescape(SharedString("\\u0000z"))), std::string("\0z", 2));
}

TEST(Unescape, CodePointBecomesUtf8) {
    EXPECT_EQ(decoded("\\u00e9"), "\xC3\xA9");
    EXPECT_EQ(decoded("\\u20AC!"), "\xE2\x82\xAC!");
    EXPECT_EQ(decoded("x\\u41"), "xA");             // characters past the end read as NUL
    EXPECT_EQ(decoded("\\u0x41"), "A");             // a 0x prefix is accepted
    EXPECT_EQ(decoded("\\u41zzq"), "Aq");           // four characters are consumed
    EXPECT_EQ(decoded("\\u-001"), "\xEF\xBF\xBF");  // low 16 bits of -1
}

TEST(Unescape, MixedEscapes) {
    EXPECT_EQ(decoded("x\\_y\\x41\\u00e9\\q\\\\"), "x yA\xC3\xA9q\\");
}

}  // namespace
}  // namespace kwCore
