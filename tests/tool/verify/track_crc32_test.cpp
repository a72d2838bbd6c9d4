#include "verify/track_crc32.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <random>
#include <vector>

#include "processor_features.h"

namespace zemtra {
namespace {

#if defined(__x86_64__)
// The folding is taken exactly where the processor has carry-less
// multiplication: elsewhere it would stop on an illegal instruction. Run
// under emulated processor models too (label qemu).
TEST(TrackCrc32, FoldingIsAvailableExactlyWhereTheProcessorHasPclmul) {
    const kwCore::testutil::ProcessorFeatures f = kwCore::testutil::ProcessorFeatures::read();
    EXPECT_EQ(detail::trackCrc32FoldedAvailable(), f.pclmul) << f.describe();
}
#endif

// zlibOf is zlib's CRC; no bytes leave it as it is (zlib, given a null
// pointer, starts again instead).
uint32_t zlibOf(uint32_t crc, const uint8_t* data, size_t size) {
    return size == 0 ? crc : static_cast<uint32_t>(crc32(crc, data, static_cast<uInt>(size)));
}

// The folded CRC is zlib's for every length about the 16- and 64-byte
// steps, at every alignment, continued from any CRC, and reads nothing
// outside its bytes (checked by the sanitizers: the bytes are a vector's
// exactly).
TEST(TrackCrc32, IsZlibsForEveryLengthAlignmentAndStart) {
    std::mt19937 random(25);
    std::vector<uint8_t> all(4096 + 64);
    for (uint8_t& b : all) {
        b = static_cast<uint8_t>(random());
    }
    const size_t lengths[] = {0,   1,   15,  16,  17,  63,  64,  65,   79,   80,  127,
                              128, 129, 191, 192, 255, 256, 257, 1000, 4095, 4096};
    for (const size_t length : lengths) {
        for (size_t align = 0; align < 16; ++align) {
            const std::vector<uint8_t> bytes(
                all.begin() + static_cast<std::ptrdiff_t>(align),
                all.begin() + static_cast<std::ptrdiff_t>(align + length));
            for (const uint32_t start : {0u, 0xFFFFFFFFu, 0x12345678u}) {
                EXPECT_EQ(trackCrc32(start, bytes.data(), bytes.size()),
                          zlibOf(start, bytes.data(), bytes.size()))
                    << length << " " << align << " " << start;
                if (detail::trackCrc32FoldedAvailable() && length >= 64) {
                    EXPECT_EQ(detail::trackCrc32Folded(start, bytes.data(), bytes.size()),
                              zlibOf(start, bytes.data(), bytes.size()))
                        << length << " " << align << " " << start;
                }
            }
        }
    }
}

TEST(TrackCrc32, PiecesContinueOneAnother) {
    std::vector<uint8_t> bytes(100000);
    std::mt19937 random(7);
    for (uint8_t& b : bytes) {
        b = static_cast<uint8_t>(random());
    }
    uint32_t crc = 0;
    for (size_t at = 0; at < bytes.size();) {
        const size_t piece = std::min<size_t>(random() % 5000, bytes.size() - at);
        crc = trackCrc32(crc, bytes.data() + at, piece);
        at += piece;
    }
    EXPECT_EQ(crc, zlibOf(0, bytes.data(), bytes.size()));
    EXPECT_EQ(trackCrc32(0, reinterpret_cast<const uint8_t*>("123456789"), 9), 0xCBF43926u);
}

}  // namespace
}  // namespace zemtra
