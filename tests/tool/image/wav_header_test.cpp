#include "image/wav_header.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "stream/memory_stream.h"

namespace zemtra {
namespace {

std::string le32(uint32_t v) {
    return std::string{static_cast<char>(v), static_cast<char>(v >> 8), static_cast<char>(v >> 16),
                       static_cast<char>(v >> 24)};
}

std::string le16(uint16_t v) {
    return std::string{static_cast<char>(v), static_cast<char>(v >> 8)};
}

std::string chunk(const char* id, const std::string& body) {
    return id + le32(static_cast<uint32_t>(body.size())) + body +
           std::string(body.size() % 2, '\0');
}

std::string format(uint16_t tag = 1, uint16_t channels = 2, uint32_t rate = 44100,
                   uint16_t bits = 16) {
    std::string body = le16(tag) + le16(channels) + le32(rate) + le32(rate * channels * bits / 8) +
                       le16(static_cast<uint16_t>(channels * bits / 8)) + le16(bits);
    if (tag == 0xFFFE) {
        body += le16(22) + le16(bits) + le32(3) +
                std::string("\x01\x00\x00\x00\x00\x00\x10\x00\x80\x00\x00\xAA\x00\x38\x9B\x71", 16);
    }
    return chunk("fmt ", body);
}

std::string riff(const std::string& chunks) {
    return "RIFF" + le32(static_cast<uint32_t>(chunks.size() + 4)) + "WAVE" + chunks;
}

bool read(const std::string& file, WavLayout& layout, std::string& reason) {
    // The file sits between guard bytes that must never be read as its own.
    const std::string guarded = "GUARD" + file + "GUARD";
    kwCore::MemoryStream stream;
    stream.open(guarded.data() + 5, static_cast<int32_t>(file.size()));
    return readWavHeader(stream, static_cast<int64_t>(file.size()), layout, reason);
}

TEST(WavHeader, PlainExtensibleAndAnyChunkOrder) {
    const std::string data = chunk("data", std::string(2352, '\1'));
    const std::string odd = chunk("LIST", "abc");  // padded to 4 bytes
    for (const std::string& file :
         {riff(format() + data), riff(format(0xFFFE) + data), riff(data + format()),
          riff(odd + format() + odd + data), riff(data + odd + format(0xFFFE))}) {
        WavLayout layout;
        std::string reason;
        ASSERT_TRUE(read(file, layout, reason)) << reason;
        EXPECT_EQ(layout.dataLength, 2352);
        EXPECT_EQ(file.substr(static_cast<size_t>(layout.dataOffset - 8), 4), "data");
    }
}

TEST(WavHeader, RefusesWhatIsNotCdAudio) {
    const std::string data = chunk("data", std::string(16, '\0'));
    std::string extensibleFloat = format(0xFFFE);
    extensibleFloat[8 + 24] = 3;
    const struct {
        std::string file;
        const char* reason;
    } cases[] = {
        {"", "not a RIFF/WAVE"},
        {"RIFF" + le32(4) + "AVI ", "not a RIFF/WAVE"},
        {riff(format(3) + data), "format 3, not PCM"},
        {riff(extensibleFloat + data), "extensible format that is not PCM"},
        {riff(format(1, 1) + data), "1 channels"},
        {riff(format(1, 2, 48000) + data), "48000 Hz"},
        {riff(format(1, 2, 44100, 24) + data), "24-bit"},
        {riff(data), "no format chunk"},
        {riff(format()), "no data chunk"},
        {riff(format() + "data" + le32(100) + std::string(50, '\0')), "file ends after 50"},
        {riff(format() + chunk("data", std::string(6, '\0'))), "not whole stereo samples"},
        {riff(format().substr(0, 20)), "cut short"},
        {riff("fmt " + le32(8) + std::string(8, '\0') + data), "too short"},
        {riff("data" + le32(0xFFFFFFF0u)), "file ends after 0"},
    };
    for (const auto& c : cases) {
        WavLayout layout;
        std::string reason;
        EXPECT_FALSE(read(c.file, layout, reason)) << c.reason;
        EXPECT_NE(reason.find(c.reason), std::string::npos) << reason << " / " << c.reason;
    }
}

TEST(WavHeader, ChunkSizesNearTheLimitDoNotWrap) {
    // A chunk claiming 4 GiB before the data must not wrap the walk back.
    const std::string file = riff(format() + "JUNK" + le32(0xFFFFFFFFu) + chunk("data", "abcd"));
    WavLayout layout;
    std::string reason;
    EXPECT_FALSE(read(file, layout, reason));
    EXPECT_NE(reason.find("no data chunk"), std::string::npos) << reason;
}

}  // namespace
}  // namespace zemtra
