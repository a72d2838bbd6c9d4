// The CD-TEXT parser: CRC, runs of strings over packs and tracks, TAB
// repeats, character codes, and hostile answers read from buffers of their
// exact size with guard packs after them that must not be read.
#include "disc/cd_text.h"

#include <gtest/gtest.h>

#include <cstring>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

namespace zemtra {
namespace {

using Pack = std::vector<uint8_t>;

// makePack builds an 18-byte pack with a right CRC; text is padded with NULs
// (or cut) to 12 bytes.
Pack makePack(uint8_t type, uint8_t track, uint8_t seq, const std::string& text,
              uint8_t flags = 0) {
    Pack pack(kCdTextPackSize, 0);
    pack[0] = type;
    pack[1] = track;
    pack[2] = seq;
    pack[3] = flags;
    std::memcpy(pack.data() + 4, text.data(), std::min<size_t>(text.size(), 12));
    const uint16_t crc = cdTextPackCrc(pack.data());
    pack[16] = static_cast<uint8_t>(crc >> 8);
    pack[17] = static_cast<uint8_t>(crc);
    return pack;
}

// runPacks splits the run of strings (each with its NUL) into packs of type
// from track first on, sequence numbers from seq on.
std::vector<Pack> runPacks(uint8_t type, uint8_t first, uint8_t seq,
                           std::initializer_list<std::string> strings) {
    std::string run;
    for (const std::string& s : strings) {
        run += s;
        run.push_back('\0');
    }
    std::vector<Pack> packs;
    for (size_t offset = 0; offset < run.size(); offset += 12) {
        packs.push_back(makePack(type, first, seq++, run.substr(offset, 12)));
    }
    return packs;
}

// answer joins packs behind a header whose count is claimed (-1: the packs'
// bytes plus 2).
std::vector<uint8_t> answer(const std::vector<Pack>& packs, int claimed = -1) {
    std::vector<uint8_t> bytes(4, 0);
    for (const Pack& pack : packs) {
        bytes.insert(bytes.end(), pack.begin(), pack.end());
    }
    const size_t count = claimed >= 0 ? static_cast<size_t>(claimed) : bytes.size() - 2;
    bytes[0] = static_cast<uint8_t>(count >> 8);
    bytes[1] = static_cast<uint8_t>(count);
    return bytes;
}

// parse reads the first size bytes of bytes from a heap block of exactly
// that size (so that a sanitizer sees any read past it).
CdText parse(const std::vector<uint8_t>& bytes, size_t size) {
    auto exact = std::make_unique<uint8_t[]>(size);
    std::memcpy(exact.get(), bytes.data(), size);
    CdText text;
    parseCdText(exact.get(), size, text);
    return text;
}

CdText parse(const std::vector<uint8_t>& bytes) {
    return parse(bytes, bytes.size());
}

std::string field(const CdText& text, int track, int f) {
    return text.text[track][f].cStr();
}

// own is the field as the disc has it.
std::string own(const CdText& text, int track, int f) {
    return text.own[track][f].cStr();
}

constexpr int kTitle = 0;
constexpr int kPerformer = 1;
constexpr int kMessage = 5;

TEST(CdTextTest, PackCrcMatchesTheWorkedPack) {
    const uint8_t pack[16] = {0x8f, 0x00, 0x2a, 0x00, 0x01, 0x01, 0x03, 0x00,
                              0x06, 0x05, 0x04, 0x05, 0x07, 0x06, 0x01, 0x02};
    EXPECT_EQ(cdTextPackCrc(pack), 0x4865);
    const uint8_t zero[16] = {};
    EXPECT_EQ(cdTextPackCrc(zero), 0xFFFF);
}

TEST(CdTextTest, RunsGiveOneStringPerTrackAcrossPacks) {
    std::vector<Pack> packs = runPacks(0x80, 0, 0, {"An album title", "One", "", "Three"});
    for (const Pack& p :
         runPacks(0x81, 0, static_cast<uint8_t>(packs.size()), {"The band", "\t", "Solo", "\t"})) {
        packs.push_back(p);
    }
    const CdText text = parse(answer(packs));
    EXPECT_EQ(field(text, 0, kTitle), "An album title");
    EXPECT_EQ(field(text, 1, kTitle), "One");
    EXPECT_EQ(field(text, 2, kTitle), "");  // the empty string still took track 2
    EXPECT_EQ(field(text, 3, kTitle), "Three");
    EXPECT_EQ(field(text, 1, kPerformer), "The band");  // TAB on track 1: the album's
    EXPECT_EQ(field(text, 2, kPerformer), "Solo");
    EXPECT_EQ(field(text, 3, kPerformer), "Solo");
    EXPECT_EQ(field(text, 4, kTitle), "");
    EXPECT_FALSE(text.isEmpty());
    // The disc's own form follows the same runs and repeats.
    EXPECT_EQ(own(text, 0, kTitle), "An album title");
    EXPECT_EQ(own(text, 2, kTitle), "");
    EXPECT_EQ(own(text, 1, kPerformer), "The band");
    EXPECT_EQ(own(text, 3, kPerformer), "Solo");
}

TEST(CdTextTest, RunStartsAtItsFirstPacksTrackAndFollowsSequenceOrder) {
    std::vector<Pack> packs = runPacks(0x80, 2, 10, {"Second track's long title", "Third", "\t"});
    std::vector<Pack> reversed(packs.rbegin(), packs.rend());
    // A leading TAB repeats nothing.
    reversed.push_back(makePack(0x85, 5, 20, std::string("\t\0Msg", 5)));
    const CdText text = parse(answer(reversed));
    EXPECT_EQ(field(text, 2, kTitle), "Second track's long title");
    EXPECT_EQ(field(text, 3, kTitle), "Third");
    EXPECT_EQ(field(text, 4, kTitle), "Third");
    EXPECT_EQ(field(text, 1, kTitle), "");
    EXPECT_EQ(field(text, 5, kMessage), "");
    EXPECT_EQ(field(text, 6, kMessage), "Msg");
}

TEST(CdTextTest, PacksWithWrongCrcArePassedOverUnlessNoneIsRight) {
    std::vector<Pack> packs = runPacks(0x80, 0, 0, {"Album", "Track one"});
    packs.push_back(makePack(0x81, 0, 2, "Bad"));
    packs.back()[17] ^= 1;
    CdText text = parse(answer(packs));
    EXPECT_EQ(field(text, 0, kTitle), "Album");
    EXPECT_EQ(field(text, 0, kPerformer), "");

    for (Pack& p : packs) {
        p[16] = p[17] = 0;
    }
    text = parse(answer(packs));
    EXPECT_EQ(field(text, 1, kTitle), "Track one");
    EXPECT_EQ(field(text, 0, kPerformer), "Bad");
}

TEST(CdTextTest, ControlBytesAndCharacterCodes) {
    std::vector<Pack> packs = runPacks(0x80, 0, 0, {"a\x1b[2Jb\x7f\xe9\xa0"});
    CdText text = parse(answer(packs));
    EXPECT_EQ(field(text, 0, kTitle),
              "a?[2Jb?\xc3\xa9\xc2\xa0");  // ISO-8859-1 when no size information
    EXPECT_EQ(own(text, 0, kTitle), "a\x1b[2Jb\x7f\xc3\xa9\xc2\xa0");

    std::vector<Pack> ascii = packs;
    ascii.push_back(makePack(0x8F, 0, 5, std::string("\x01\x01\x01", 3)));
    text = parse(answer(ascii));
    EXPECT_EQ(field(text, 0, kTitle), "a?[2Jb???");
    EXPECT_EQ(own(text, 0, kTitle), "a\x1b[2Jb\x7f\xef\xbf\xbd\xef\xbf\xbd");

    // A parse clears both forms of what an earlier one left.
    parseCdText(nullptr, 0, text);
    EXPECT_TRUE(text.isEmpty());
    EXPECT_EQ(own(text, 0, kTitle), "");

    for (const char* code : {"\x80", "\x02"}) {
        std::vector<Pack> other = packs;
        other.push_back(makePack(0x8F, 0, 5, std::string(code, 1)));
        EXPECT_TRUE(parse(answer(other)).isEmpty()) << int(uint8_t(code[0]));
    }
    std::vector<Pack> doubleByte = packs;
    doubleByte.push_back(makePack(0x81, 0, 9, "\x82\xa0", 0x80));
    EXPECT_TRUE(parse(answer(doubleByte)).isEmpty());
}

TEST(CdTextTest, OtherBlocksTypesAndExtensionPacksArePassedOver) {
    std::vector<Pack> packs = {
        makePack(0x80, 0, 0, "Block one", 0x10), makePack(0x86, 0, 1, "Disc id"),
        makePack(0x81, 0x80, 2, "Extension"), makePack(0x82, 0, 3, "Writer")};
    const CdText text = parse(answer(packs));
    EXPECT_EQ(field(text, 0, kTitle), "");
    EXPECT_EQ(field(text, 0, kPerformer), "");
    EXPECT_EQ(field(text, 0, 2), "Writer");
}

// Extension packs (bit 7 of the track byte) between, before and after the
// packs of a run, of every text type, and the closed-information, UPC/ISRC
// and size-information packs among them: the run reads as without them.
TEST(CdTextTest, ExtensionPacksInsideARunAreNoText) {
    const std::string run = std::string("Album name\0First track\0Second\0Third\0", 36);
    for (uint8_t type = 0x80; type < 0x80 + kCdTextFieldCount; ++type) {
        // The run's packs have sequence numbers 1, 3, 5; extension packs
        // (whose strings would shift every track's text) 0, 2, 4, 6.
        std::vector<Pack> packs;
        for (uint8_t p = 0; p <= 3; ++p) {
            packs.push_back(makePack(type, static_cast<uint8_t>(0x80 | p),
                                     static_cast<uint8_t>(2 * p), std::string("X\0Y\0Z\0", 6)));
            if (p < 3) {
                packs.push_back(
                    makePack(type, 0, static_cast<uint8_t>(2 * p + 1), run.substr(12 * p, 12)));
            }
        }
        packs.push_back(makePack(0x8D, 0, 20, "Closed info"));
        packs.push_back(makePack(0x8E, 1, 21, "USRC17607839"));
        packs.push_back(makePack(0x8F, 0, 22, std::string("\x00\x00\x01", 3)));
        const CdText text = parse(answer(packs));
        const int f = type - 0x80;
        EXPECT_EQ(field(text, 0, f), "Album name") << int(type);
        EXPECT_EQ(field(text, 1, f), "First track") << int(type);
        EXPECT_EQ(field(text, 2, f), "Second") << int(type);
        EXPECT_EQ(field(text, 3, f), "Third") << int(type);
        EXPECT_EQ(field(text, 4, f), "") << int(type);
        for (int other = 0; other < kCdTextFieldCount; ++other) {
            EXPECT_TRUE(other == f || field(text, 0, other).empty()) << int(type) << " " << other;
        }
    }
}

TEST(CdTextTest, OnlyWholePacksInsideTheAnswerAndItsCountAreRead) {
    // The guard pack after the part read would give a performer if read.
    std::vector<Pack> packs = {makePack(0x80, 0, 0, "Title"), makePack(0x81, 0, 1, "Guard")};
    const std::vector<uint8_t> bytes = answer(packs);
    const size_t onePack = 4 + kCdTextPackSize;
    for (size_t size : {onePack, onePack + 1, bytes.size() - 1}) {
        const CdText text = parse(bytes, size);
        EXPECT_EQ(field(text, 0, kTitle), "Title") << size;
        EXPECT_EQ(field(text, 0, kPerformer), "") << size;
    }
    // The header claims less than the device delivered, or nothing at all.
    for (int claimed : {int(2 + kCdTextPackSize), int(2 + kCdTextPackSize + 17)}) {
        const CdText text = parse(answer(packs, claimed));
        EXPECT_EQ(field(text, 0, kTitle), "Title") << claimed;
        EXPECT_EQ(field(text, 0, kPerformer), "") << claimed;
    }
    for (int claimed : {0, 1, 2, 19}) {
        EXPECT_TRUE(parse(answer(packs, claimed)).isEmpty()) << claimed;
    }
    // The header claims the most it can: only what arrived is read.
    EXPECT_EQ(field(parse(answer(packs, 0xFFFF)), 0, kPerformer), "Guard");
    for (size_t size : {size_t(0), size_t(3), size_t(4), onePack - 1}) {
        EXPECT_TRUE(parse(bytes, size).isEmpty()) << size;
    }
    CdText text;
    parseCdText(nullptr, 100, text);
    EXPECT_TRUE(text.isEmpty());
}

TEST(CdTextTest, HostileRuns) {
    // 256 packs of one run, two packs a string: tracks 0 to 99 each get one,
    // the rest run past the last track kept.
    const std::string string = std::string(12, 'x') + std::string(11, 'y');
    std::vector<Pack> packs;
    for (int p = 0; p < 256; ++p) {
        packs.push_back(makePack(0x80, 0, static_cast<uint8_t>(p),
                                 p % 2 == 0 ? std::string(12, 'x') : std::string(11, 'y')));
    }
    CdText text = parse(answer(packs));
    EXPECT_EQ(field(text, 0, kTitle), string);
    EXPECT_EQ(field(text, 99, kTitle), string);

    // Bytes after the run's last NUL are no string.
    text = parse(answer(runPacks(0x80, 0, 0, {})));
    EXPECT_TRUE(text.isEmpty());
    text = parse(answer({makePack(0x80, 0, 0, std::string("Album\0Tail w", 12)),
                         makePack(0x80, 0, 1, "ithout a NUL")}));
    EXPECT_EQ(field(text, 0, kTitle), "Album");
    EXPECT_TRUE(text.text[1][kTitle].isEmpty());

    // A run whose first pack names track 127 gives nothing.
    text = parse(answer({makePack(0x80, 0x7F, 0, "Far")}));
    EXPECT_TRUE(text.isEmpty());
    text = parse(answer({makePack(0x80, 99, 0, std::string("Last\0Past", 9))}));
    EXPECT_EQ(field(text, 99, kTitle), "Last");
}

}  // namespace
}  // namespace zemtra
