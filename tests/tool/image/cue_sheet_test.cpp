#include "image/cue_sheet.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "image/cue_text.h"

namespace zemtra {
namespace {

bool parse(const std::string& text, CueSheet& sheet, CueError& error) {
    return parseCueSheet(reinterpret_cast<const uint8_t*>(text.data()), text.size(), sheet, error);
}

// expectError checks that text is refused at line for a reason holding part.
void expectError(const std::string& text, int line, const std::string& part) {
    CueSheet sheet;
    CueError error;
    ASSERT_FALSE(parse(text, sheet, error)) << text;
    EXPECT_EQ(error.line, line) << error.reason;
    EXPECT_NE(error.reason.find(part), std::string::npos) << error.reason;
}

const char kHead[] = "FILE a.wav WAVE\n";

TEST(CueSheet, ReadsEveryCommandOfTheGrammar) {
    const std::string text =
        "REM GENRE Rock\r\nCATALOG 0724384260927\r\nPERFORMER \"The Players\"\r\n"
        "title Bare words here  \r\nFILE \"My Disc.wav\" WAVE\r\n  TRACK 01 AUDIO\r\n"
        "    TITLE \"A \\\"quoted\\\" one\"\r\n    SONGWRITER s\r\n    COMPOSER c\r\n"
        "    ARRANGER a\r\n    MESSAGE m\r\n    ISRC USRC17607839\r\n    FLAGS DCP 4CH PRE SCMS\r\n"
        "    INDEX 01 00:00:00\r\n  TRACK 02 MODE1/2352\r\n    PREGAP 00:02:00\r\n"
        "    INDEX 01 1:02:3\r\n    POSTGAP 00:00:10\r\nFILE data.bin BINARY\r\n"
        "  TRACK 03 MODE2/2352\r\n    INDEX 00 00:00:00\r\n    INDEX 01 00:01:00\r\n"
        "    INDEX 02 00:02:00\r\n";
    CueSheet sheet;
    CueError error;
    ASSERT_TRUE(parse(text, sheet, error)) << error.line << ": " << error.reason;
    EXPECT_EQ(sheet.catalog, "0724384260927");
    EXPECT_EQ(sheet.text[1], "The Players");
    EXPECT_EQ(sheet.text[0], "Bare words here");
    ASSERT_EQ(sheet.files.size(), 2u);
    EXPECT_EQ(sheet.files[0].name, "My Disc.wav");
    EXPECT_EQ(sheet.files[1].type, "BINARY");
    ASSERT_EQ(sheet.tracks.size(), 3u);
    const CueTrack& one = sheet.tracks[0];
    EXPECT_EQ(one.text[0], "A \\\"quoted\\\" one");  // kept as written, as libcue does
    EXPECT_EQ(one.text[2] + one.text[3] + one.text[4] + one.text[5], "scam");
    EXPECT_EQ(one.isrc, "USRC17607839");
    EXPECT_EQ(one.flags, 1 + 2 + 8);
    EXPECT_EQ(sheet.tracks[1].mode, CueTrackMode::Mode1Raw);
    EXPECT_EQ(sheet.tracks[1].pregap, 150);
    EXPECT_EQ(sheet.tracks[1].postgap, 10);
    EXPECT_EQ(sheet.tracks[1].find(1)->frames, 4500 + 150 + 3);
    const CueTrack& three = sheet.tracks[2];
    EXPECT_EQ(three.mode, CueTrackMode::Mode2Raw);
    ASSERT_EQ(three.indexes.size(), 3u);
    EXPECT_EQ(three.indexes[0].file, 1);
    EXPECT_EQ(three.indexes[2].frames, 150);
    EXPECT_EQ(three.indexes[2].line, 23);
}

TEST(CueSheet, GapsAppendedPutAnIndexInTheFileBefore) {
    CueSheet sheet;
    CueError error;
    ASSERT_TRUE(
        parse("FILE 1.wav WAVE\nTRACK 01 AUDIO\nINDEX 01 00:00:00\nTRACK 02 AUDIO\n"
              "INDEX 00 03:00:00\nFILE 2.wav WAVE\nINDEX 01 00:00:00\n",
              sheet, error))
        << error.reason;
    EXPECT_EQ(sheet.tracks[1].indexes[0].file, 0);
    EXPECT_EQ(sheet.tracks[1].indexes[1].file, 1);
}

TEST(CueSheet, Encodings) {
    // UTF-8 with a byte order mark, UTF-8 without, ISO-8859-1: the same text.
    const std::string body =
        "TITLE \"Caf\xC3\xA9\"\nFILE a.wav WAVE\nTRACK 01 AUDIO\nINDEX 01 00:00:00\n";
    for (const std::string& text :
         {"\xEF\xBB\xBF" + body, body,
          std::string("TITLE \"Caf\xE9\"\n") + body.substr(body.find('\n') + 1)}) {
        CueSheet sheet;
        CueError error;
        ASSERT_TRUE(parse(text, sheet, error)) << error.reason;
        EXPECT_EQ(sheet.text[0], "Caf\xC3\xA9");
    }
    // A BOM alone is not taken for text; a Latin-1 sheet keeps its bytes as characters.
    EXPECT_EQ(decodeCueText(reinterpret_cast<const uint8_t*>("\xEF\xBB\xBF"), 3), "");
    EXPECT_EQ(decodeCueText(reinterpret_cast<const uint8_t*>("\xFF\x80"), 2), "\xC3\xBF\xC2\x80");
    // Overlong forms, surrogates and code points above U+10FFFF are not UTF-8.
    for (const char* bad :
         {"\xC0\xAF", "\xE0\x80\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80", "\xC3"}) {
        EXPECT_FALSE(isValidUtf8(reinterpret_cast<const uint8_t*>(bad), std::strlen(bad))) << bad;
    }
    EXPECT_TRUE(isValidUtf8(reinterpret_cast<const uint8_t*>("\xF4\x8F\xBF\xBF"), 4));
}

TEST(CueSheet, Times) {
    int32_t frames = -1;
    EXPECT_TRUE(parseCueTime("00:00:00", frames));
    EXPECT_EQ(frames, 0);
    EXPECT_TRUE(parseCueTime("9999:59:74", frames));
    EXPECT_EQ(frames, (9999 * 60 + 59) * 75 + 74);
    for (const char* bad : {"", "00:00", "00:60:00", "00:00:75", "0:0:0:0", "a:00:00", "00:00:0x",
                            "::", "10000:00:00", "00:000:00", "-1:00:00", "00:00:00 "}) {
        EXPECT_FALSE(parseCueTime(bad, frames)) << bad;
    }
}

TEST(CueSheet, EveryErrorNamesItsLine) {
    expectError("TRACK 01 AUDIO\n", 1, "before the first FILE");
    expectError(std::string(kHead) + "TRACK 01 AUDIO\nINDEX 01 00:00:00\nTRACK 03 AUDIO\n", 4,
                "tracks out of order");
    expectError(std::string(kHead) + "TRACK 02 AUDIO\nINDEX 01 00:00:00\nTRACK 01 AUDIO\n", 4,
                "tracks out of order");
    expectError(std::string(kHead) + "TRACK 00 AUDIO\n", 2, "not 1 to 99");
    expectError(std::string(kHead) + "TRACK 01 MODE1/2048\n", 2, "track mode");
    expectError(std::string(kHead) + "TRACK 01 AUDIO\nINDEX 00 00:00:00\n", 2, "no INDEX 01");
    expectError(std::string(kHead) + "TRACK 01 AUDIO\nINDEX 00 00:00:00\nTRACK 02 AUDIO\n", 2,
                "no INDEX 01");
    expectError(std::string(kHead) + "TRACK 01 AUDIO\nINDEX 01 00:00:75\n", 3, "does not parse");
    expectError(std::string(kHead) + "TRACK 01 AUDIO\nINDEX 01\n", 3, "without a time");
    expectError(std::string(kHead) + "TRACK 01 AUDIO\nPREGAP 2:00\n", 3, "does not parse");
    expectError(std::string(kHead) + "TRACK 01 AUDIO\nINDEX 02 00:00:00\nINDEX 01 00:00:05\n", 4,
                "out of order");
    expectError(std::string(kHead) + "TRACK 01 AUDIO\nINDEX 01 00:00:05\nINDEX 02 00:00:05\n", 4,
                "not after");
    expectError(std::string(kHead) +
                    "TRACK 01 AUDIO\nINDEX 01 00:00:05\nTRACK 02 AUDIO\nINDEX 01 00:00:01\n",
                5, "not after");
    expectError(std::string(kHead) + "TRACK 01 AUDIO\nINDEX 100 00:00:00\n", 3, "not 0 to 99");
    expectError("INDEX 01 00:00:00\n", 1, "before the first TRACK");
    expectError("ISRC USRC17607839\n", 1, "before the first TRACK");
    expectError(std::string(kHead) + "TRACK 01 AUDIO\nTITLE \"" +
                    std::string(kCueMaxLineLength, 'x') + "\"\n",
                3, "longer than 65536");
    expectError(std::string(kHead) + std::string("TITLE a\0b\n", 10), 2, "NUL");
    expectError("FILE\n", 1, "without a name");
    expectError("FILE a.wav\n", 1, "without a type");
    expectError("REM only\n\n", 2, "no TRACK");
    expectError("", 1, "no TRACK");
    std::string hundred = kHead;
    for (int n = 1; n <= 99; ++n) {
        hundred += "TRACK " + std::to_string(n) + " AUDIO\nINDEX 01 00:" + std::to_string(n / 75) +
                   ":" + std::to_string(n % 75) + "\n";
    }
    CueSheet sheet;
    CueError error;
    EXPECT_TRUE(parse(hundred, sheet, error)) << error.line << error.reason;
    expectError(hundred + "TRACK 100 AUDIO\n", 200, "more than 99 tracks");
}

TEST(CueSheet, LineOfExactlyTheLimitIsTaken) {
    const std::string line = "REM " + std::string(kCueMaxLineLength - 4, 'x');
    CueSheet sheet;
    CueError error;
    EXPECT_TRUE(parse(line + "\r\n" + kHead + "TRACK 01 AUDIO\nINDEX 01 00:00:00", sheet, error))
        << error.reason;
}

TEST(CueSheet, OpenQuoteRunsToTheLineEnd) {
    CueSheet sheet;
    CueError error;
    ASSERT_TRUE(
        parse("TITLE \"open \\\n" + std::string(kHead) + "TRACK 01 AUDIO\nINDEX 01 00:00:00\n",
              sheet, error));
    EXPECT_EQ(sheet.text[0], "open \\");
}

}  // namespace
}  // namespace zemtra
