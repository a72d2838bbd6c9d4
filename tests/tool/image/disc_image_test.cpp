#include "image/disc_image.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "disc/toc_tracks.h"
#include "disc/track_timing.h"
#include "stream/file_stream.h"

namespace zemtra {
namespace {

// ImageFolder is a fresh folder of sheets and files for one test.
class ImageFolder {
  public:
    ImageFolder() {
        path_ = (std::filesystem::temp_directory_path() /
                 ("zemtra-image-" + std::to_string(reinterpret_cast<uintptr_t>(this))))
                    .string() +
                "/";
        std::filesystem::create_directories(path_);
    }
    ~ImageFolder() { std::filesystem::remove_all(path_); }

    std::string put(const std::string& name, const std::string& bytes) const {
        kwCore::FileStream file;
        EXPECT_TRUE(file.open((path_ + name).c_str(), true, false, 0));
        file.write(bytes.data(), static_cast<int64_t>(bytes.size()));
        return path_ + name;
    }

    // wav writes a WAVE file of the given bytes of samples, each sector's
    // bytes its 1-based number (mod 256), so reads show where they came from.
    void wav(const std::string& name, int64_t bytes, uint8_t fill = 0) const {
        std::string data(static_cast<size_t>(bytes), '\0');
        for (size_t i = 0; i < data.size(); ++i) {
            data[i] = static_cast<char>(fill != 0 ? fill : (i / kSectorBytes + 1) & 0xFF);
        }
        auto le32 = [](uint32_t v) {
            return std::string{static_cast<char>(v), static_cast<char>(v >> 8),
                               static_cast<char>(v >> 16), static_cast<char>(v >> 24)};
        };
        const std::string fmt("\x01\x00\x02\x00\x44\xAC\x00\x00\x10\xB1\x02\x00\x04\x00\x10\x00",
                              16);
        put(name, "RIFF" + le32(static_cast<uint32_t>(36 + data.size())) + "WAVEfmt " + le32(16) +
                      fmt + "data" + le32(static_cast<uint32_t>(data.size())) + data);
    }

    const std::string& path() const { return path_; }

  private:
    std::string path_;
};

TEST(DiscImage, GapsDataTracksAndFilesMakeTheToc) {
    ImageFolder folder;
    folder.wav("1.wav", 1000 * kSectorBytes);
    folder.wav("2.wav", 301 * kSectorBytes);
    folder.put("d.bin", std::string(200 * kSectorBytes, '\x5A'));
    const std::string cue = folder.put(
        "disc.cue",
        "CATALOG 0724384260927\nTITLE Album\nFILE 1.wav WAVE\n TRACK 01 AUDIO\n  ISRC "
        "USRC17607839\n"
        "  TITLE One\n  INDEX 00 00:00:00\n  INDEX 01 00:01:00\n TRACK 02 AUDIO\n  FLAGS DCP PRE\n"
        "  INDEX 00 00:05:00\n  INDEX 01 00:06:00\n  INDEX 02 00:07:00\n  POSTGAP 00:00:10\n"
        "FILE 2.wav WAVE\n TRACK 03 AUDIO\n  ISRC bad\n  PREGAP 00:00:20\n  INDEX 01 00:00:00\n"
        "FILE d.bin BINARY\n TRACK 04 MODE1/2352\n  PREGAP 00:02:00\n  INDEX 01 00:00:00\n");
    DiscImage image;
    std::string message;
    ASSERT_TRUE(image.open(cue, message)) << message;
    const auto& t = image.tracks();
    ASSERT_EQ(t.size(), 4u);
    EXPECT_EQ(t[0].pregapStart, 0);  // hidden audio before track 1
    EXPECT_EQ(t[0].start, 75);
    EXPECT_EQ(t[1].pregapStart, 375);
    EXPECT_EQ(t[1].start, 450);
    EXPECT_EQ(t[1].indexes, std::vector<int32_t>{525});
    EXPECT_EQ(t[1].control, 3);
    // POSTGAP 10 after file 1, then PREGAP 20 of silence before file 2.
    EXPECT_EQ(t[2].pregapStart, 1010);
    EXPECT_EQ(t[2].start, 1030);
    EXPECT_EQ(t[3].pregapStart, 1030 + 301);
    EXPECT_EQ(t[3].start, 1030 + 301 + 150);
    EXPECT_EQ(t[3].control, 4);
    EXPECT_EQ(image.leadOut(), 1030 + 301 + 150 + 200);

    DiscInfo info;
    DiscData data;
    image.describe(info, data);
    ASSERT_TRUE(info.valid);
    EXPECT_EQ(tocTrackCount(info.toc), 4);
    EXPECT_EQ(trackStart(info.toc, 0), 75 + 150);
    EXPECT_EQ(trackStart(info.toc, 3), 1481 + 150);
    EXPECT_EQ(discLength(info.toc), 1681 - 75);
    EXPECT_EQ(info.toc.TrackData[4].TrackNumber, 0xAA);
    EXPECT_EQ(info.toc.TrackData[3].Control, 4);
    EXPECT_EQ(info.toc.TrackData[1].Adr, 1);
    EXPECT_EQ(info.toc.Length[1], 2 + 8 * 5);
    EXPECT_STREQ(data.catalogNumber, "0724384260927");
    EXPECT_STREQ(data.isrc[0], "USRC17607839");
    EXPECT_STREQ(data.isrc[2], "");  // not of the ISRC form
    EXPECT_STREQ(data.cdText.text[0][0].cStr(), "Album");
    EXPECT_STREQ(data.cdText.text[1][0].cStr(), "One");
    EXPECT_STREQ(data.cdText.own[1][0].cStr(), "One");
    // Gaps as a search of the disc would settle them: track 1's from
    // sector 0, INDEX 00 and PREGAP alike, further indexes as frame
    // addresses; the data track's PREGAP too.
    EXPECT_TRUE(data.gaps.searched);
    EXPECT_EQ(data.gaps.reads, 0);
    const int32_t pregaps[] = {75, 75, 20, 150};
    for (int k = 0; k < 4; ++k) {
        EXPECT_EQ(data.gaps.track[k].pregap, pregaps[k]) << k;
        EXPECT_TRUE(data.gaps.track[k].indexesKnown) << k;
    }
    EXPECT_EQ(data.gaps.track[1].indexStarts, std::vector<int32_t>{525 + 150});
    EXPECT_TRUE(data.gaps.track[2].indexStarts.empty());
    EXPECT_EQ(data.gaps.track[4].pregap, kUnknownFrames);  // past the tracks

    // Only what is asked for, as from a drive.
    DiscDataRequest request;
    request.isrcs = true;
    image.describe(info, data, request);
    EXPECT_STREQ(data.catalogNumber, "");
    EXPECT_STREQ(data.isrc[0], "USRC17607839");
    EXPECT_TRUE(data.cdText.isEmpty());
    EXPECT_FALSE(data.gaps.searched);
    EXPECT_EQ(data.gaps.track[0].pregap, kUnknownFrames);
}

TEST(DiscImage, TextsKeepTheirBytesInTheDiscsOwnForm) {
    ImageFolder folder;
    folder.wav("1.wav", 10 * kSectorBytes);
    const std::string cue =
        folder.put("t.cue",
                   "PERFORMER \"A\tB\"\nFILE 1.wav WAVE\nTRACK 07 AUDIO\nTITLE \"x\x7fy\"\n"
                   "INDEX 01 00:00:00\n");
    DiscImage image;
    std::string message;
    ASSERT_TRUE(image.open(cue, message)) << message;
    DiscInfo info;
    DiscData data;
    image.describe(info, data);
    EXPECT_STREQ(data.cdText.text[0][1].cStr(), "A?B");
    EXPECT_STREQ(data.cdText.own[0][1].cStr(), "A\tB");
    EXPECT_STREQ(data.cdText.text[7][0].cStr(), "x?y");
    EXPECT_STREQ(data.cdText.own[7][0].cStr(), "x\x7fy");
    EXPECT_TRUE(data.cdText.text[1][0].isEmpty());
    EXPECT_EQ(data.gaps.track[0].pregap, 0);
    EXPECT_TRUE(data.gaps.track[0].indexStarts.empty());
}

TEST(DiscImage, TheFirstTracksPregapRunsFromSectorZero) {
    ImageFolder folder;
    folder.wav("1.wav", 100 * kSectorBytes);
    // Audio before INDEX 01 of track 1 without an INDEX 00: on a disc, its
    // pregap all the same.
    const std::string cue =
        folder.put("h.cue",
                   "FILE 1.wav WAVE\nTRACK 01 AUDIO\nINDEX 01 00:00:30\nTRACK 02 AUDIO\n"
                   "INDEX 01 00:01:00\n");
    DiscImage image;
    std::string message;
    ASSERT_TRUE(image.open(cue, message)) << message;
    DiscInfo info;
    DiscData data;
    image.describe(info, data);
    EXPECT_EQ(data.gaps.track[0].pregap, 30);
    EXPECT_EQ(data.gaps.track[1].pregap, 0);
}

TEST(DiscImage, SectorsComeFromFilesSilenceAndPadding) {
    ImageFolder folder;
    folder.wav("1.wav", 3 * kSectorBytes);
    folder.wav("2.wav", 2 * kSectorBytes + 8);
    const std::string cue =
        folder.put("d.cue",
                   "FILE 1.wav WAVE\nTRACK 01 AUDIO\nINDEX 01 00:00:00\nPOSTGAP 00:00:01\n"
                   "FILE 2.wav WAVE\nTRACK 02 AUDIO\nPREGAP 00:00:02\nINDEX 01 00:00:00\n");
    DiscImage image;
    std::string message;
    ASSERT_TRUE(image.open(cue, message)) << message;
    ASSERT_EQ(image.leadOut(), 3 + 1 + 2 + 3);
    // One byte a sector tells where it came from: 1 to 3 from file 1, 0
    // for silence, 1 to 3 again from file 2, its third cut after 8 bytes.
    std::vector<uint8_t> all(static_cast<size_t>(image.leadOut()) * kSectorBytes + 2, 0xEE);
    ASSERT_TRUE(image.readSectors(0, image.leadOut(), all.data() + 1, message)) << message;
    const int expected[] = {1, 2, 3, 0, 0, 0, 1, 2, 3};
    for (int s = 0; s < 9; ++s) {
        EXPECT_EQ(all[1 + static_cast<size_t>(s) * kSectorBytes], expected[s]) << s;
    }
    EXPECT_EQ(all[1 + 8 * kSectorBytes + 7], 3);
    EXPECT_EQ(all[1 + 8 * kSectorBytes + 8], 0);  // padding
    EXPECT_EQ(all[all.size() - 2], 0);
    EXPECT_EQ(all.front(), 0xEE);  // guard bytes untouched
    EXPECT_EQ(all.back(), 0xEE);
    // Out of order, and across the image's edges.
    std::vector<uint8_t> one(kSectorBytes);
    ASSERT_TRUE(image.readSectors(7, 1, one.data(), message));
    EXPECT_EQ(one[0], 2);
    ASSERT_TRUE(image.readSectors(1, 1, one.data(), message));
    EXPECT_EQ(one[0], 2);
    EXPECT_FALSE(image.readSectors(8, 2, one.data(), message));
    EXPECT_FALSE(image.readSectors(-1, 1, one.data(), message));
    EXPECT_EQ(image.trackEnd(0), 6);
    EXPECT_EQ(image.trackEnd(1), 9);
}

TEST(DiscImage, RefusalsNameTheFileOrTheLine) {
    ImageFolder folder;
    folder.wav("1.wav", 10 * kSectorBytes + 4);
    folder.put("junk.wav", std::string("RIFF\x04\x00\x00\x00WAVE", 12));
    const struct {
        const char* sheet;
        const char* message;
    } cases[] = {
        {"FILE 1.wav WAVE\nTRACK 01 AUDIO\nINDEX 01 00:00:00\nFILE 1.wav WAVE\nTRACK 02 AUDIO\n"
         "INDEX 01 00:00:00\n",
         "1.wav: its 23524 bytes of audio are not whole sectors"},
        {"FILE 1.wav WAVE\nTRACK 01 AUDIO\nINDEX 01 00:00:11\n",
         "x.cue:3: INDEX 1 of track 1 lies past"},
        {"FILE junk.wav WAVE\nTRACK 01 AUDIO\nINDEX 01 00:00:00\n",
         "junk.wav: it has no format chunk"},
        {"FILE 1.wav WAVE\nTRACK 01 AUDIO\nINDEX 01 00:00:00\nTRACK 02 AUDIO\nPREGAP 99:59:00\n"
         "INDEX 01 00:00:05\n",
         "x.cue: the image is longer"},
        {"FILE none.wav WAVE\nTRACK 01 AUDIO\nINDEX 01 00:00:00\n", "none.wav: it does not open"},
    };
    for (const auto& c : cases) {
        const std::string cue = folder.put("x.cue", c.sheet);
        DiscImage image;
        std::string message;
        EXPECT_FALSE(image.open(cue, message)) << c.sheet;
        EXPECT_NE(message.find(c.message), std::string::npos) << message;
    }
}

TEST(DiscImage, ImageArgumentsAreExistingCueFiles) {
    ImageFolder folder;
    const std::string upper = folder.put("A.CUE", "");
    EXPECT_TRUE(isImageArgument(kwCore::SharedString(upper.c_str())));
    EXPECT_FALSE(isImageArgument(kwCore::SharedString((folder.path() + "b.cue").c_str())));
    EXPECT_FALSE(isImageArgument(kwCore::SharedString(folder.put("c.wav", "").c_str())));
    EXPECT_FALSE(isImageArgument(kwCore::SharedString("cue")));
}

}  // namespace
}  // namespace zemtra
