// SHA-1 against OpenSSL's on random inputs written in random pieces.
#include <gtest/gtest.h>
#include <openssl/evp.h>

#include <random>
#include <vector>

#include "stream/sha1_stream.h"

namespace kwCore {
namespace {

Sha1Stream::Digest opensslSha1(const std::vector<uint8_t>& bytes) {
    Sha1Stream::Digest digest{};
    unsigned int size = 0;
    EXPECT_EQ(EVP_Digest(bytes.data(), bytes.size(), digest.data(), &size, EVP_sha1(), nullptr), 1);
    EXPECT_EQ(size, digest.size());
    return digest;
}

TEST(Sha1PeerTest, RandomInputsInRandomPiecesMatchOpenssl) {
    std::mt19937_64 random(20240613);
    for (int round = 0; round < 600; ++round) {
        // Mostly short inputs around the block edges, some up to 64 KiB.
        const size_t length = round < 400 ? random() % 300 : random() % 65536;
        std::vector<uint8_t> bytes(length);
        for (uint8_t& byte : bytes) {
            byte = static_cast<uint8_t>(random());
        }
        Sha1Stream stream;
        size_t done = 0;
        while (done < length) {
            const size_t piece = std::min<size_t>(length - done, random() % 200);
            ASSERT_EQ(stream.write(bytes.data() + done, static_cast<int64_t>(piece)),
                      static_cast<int64_t>(piece));
            done += piece;
        }
        ASSERT_EQ(stream.digest(), opensslSha1(bytes)) << "length " << length;
    }
}

}  // namespace
}  // namespace kwCore
