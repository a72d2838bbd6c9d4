// MD5 digests against OpenSSL's for random inputs of many lengths, each
// written to the stream in random pieces.
#include <gtest/gtest.h>
#include <openssl/md5.h>

#include <random>
#include <vector>

#include "stream/md5_stream.h"

namespace kwCore {
namespace {

std::array<uint8_t, 16> peerDigest(const std::vector<unsigned char>& data) {
    std::array<uint8_t, 16> digest;
    // The one-call form is deprecated in OpenSSL 3 but remains its plain MD5.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    MD5(data.data(), data.size(), digest.data());
#pragma GCC diagnostic pop
    return digest;
}

TEST(Md5Peer, DigestsEqualOpenSslsFromNothingToOneMebibyte) {
    std::mt19937 random(1321);
    std::vector<size_t> lengths;
    for (size_t length = 0; length <= 300; ++length) {
        lengths.push_back(length);
    }
    for (size_t length : {4095, 4096, 4097, 65536, 1 << 20}) {
        lengths.push_back(length);
    }
    for (int i = 0; i < 40; ++i) {
        lengths.push_back(random() % (1 << 20));
    }
    for (size_t length : lengths) {
        std::vector<unsigned char> data(length);
        for (auto& byte : data) {
            byte = static_cast<unsigned char>(random());
        }
        Md5Stream stream;
        for (size_t at = 0; at < length;) {
            const size_t piece = std::min<size_t>(length - at, random() % (length / 4 + 2));
            stream.write(data.data() + at, static_cast<int64_t>(piece));
            at += piece;
        }
        ASSERT_EQ(stream.digest(), peerDigest(data)) << length;
    }
}

}  // namespace
}  // namespace kwCore
