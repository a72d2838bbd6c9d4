#include "text/argument_splitting.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kwCore {
namespace {

// bytes is the text of s with every byte, embedded NULs included.
std::string bytes(const SharedString& s) {
    return std::string(s.cStr(), s.getLength());
}

std::string decoded(const char* text) {
    return bytes(unescape(SharedString(text)));
}

TEST(SplitArguments, KeepsQuotesAndCutsOnlyAtSpacesAndTabs) {
    StringArray array;
    array.add(SharedString("stale"));
    splitArguments(SharedString(" \"a b\"\t'c d' e\nf "), array);
    std::vector<std::string> pieces;
    for (int32_t i = 0; i < array.count(); ++i) {
        pieces.emplace_back(array[i].cStr());
    }
    EXPECT_EQ(pieces, (std::vector<std::string>{"\"a b\"", "'c d'", "e\nf"}));
}

TEST(Unescape, NamedEscapesAndSelfStandingCharacters) {
    EXPECT_EQ(decoded("a\\tb\\nc\\rd\\_e"), "a\tb\nc\rd e");
    EXPECT_EQ(decoded("\\q\\\\\\'\\\""), "q\\'\"");
    EXPECT_EQ(decoded("ab\\"), "ab");  // a trailing lone backslash is dropped
    EXPECT_TRUE(unescape(SharedString("\\")).isNull());
}

TEST(Unescape, HexByteReadsTwoCharactersAsStrtolDoes) {
    EXPECT_EQ(decoded("\\x41\\x6a"), "Aj");
    EXPECT_EQ(decoded("\\x4gh"), "\x04h");  // the reading stops at the g
    EXPECT_EQ(decoded("\\x 7"), "\x07");    // a leading blank is skipped
    EXPECT_EQ(decoded("\\x-1"), "\xFF");    // low 8 bits of -1
    EXPECT_EQ(decoded("\\x414"), "A4");     // only two characters are read
    EXPECT_EQ(decoded("a\\x4"), "a");       // one character left: decoding ends
}

TEST(Unescape, EscapedNulIsKeptAndCounted) {
    const SharedString result = unescape(SharedString("a\\xzzb"));
    EXPECT_EQ(result.getLength(), 3);
    EXPECT_EQ(bytes(result), std::string("a\0b", 3));
    EXPECT_EQ(bytes(unescape(SharedString("\\u0000z"))), std::string("\0z", 2));
}

TEST(Unescape, CodePointBecomesUtf8) {
    EXPECT_EQ(decoded("\\u20AC!"), "\xE2\x82\xAC!");
    EXPECT_EQ(decoded("x\\u41"), "xA");             // past the end reads as NUL
    EXPECT_EQ(decoded("\\u0x41"), "A");             // a 0x prefix is accepted
    EXPECT_EQ(decoded("\\u41zzq"), "Aq");           // four characters are consumed
    EXPECT_EQ(decoded("\\u-001"), "\xEF\xBF\xBF");  // low 16 bits of -1
}

}  // namespace
}  // namespace kwCore
