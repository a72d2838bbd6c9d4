// The Q sub-channel answers: the valid bit, the value's form and the bytes
// the device delivered, read from buffers of their exact size.
#include "disc/sub_channel.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

namespace zemtra {
namespace {

// answer is a 24-byte answer with the valid bit and value from byte 9.
std::unique_ptr<uint8_t[]> answer(const std::string& value, bool valid, size_t size = 24) {
    uint8_t full[24] = {0, 0x15, 0, 20, 2};
    full[8] = valid ? 0x80 : 0x7F;
    std::memcpy(full + 9, value.data(), std::min<size_t>(value.size(), 15));
    auto exact = std::make_unique<uint8_t[]>(size);
    std::memcpy(exact.get(), full, size);
    return exact;
}

std::string catalogNumber(const std::string& value, bool valid = true, size_t size = 24) {
    char digits[kCatalogNumberLength + 1];
    std::memset(digits, 'Q', sizeof digits);
    const bool counted = parseCatalogNumber(answer(value, valid, size).get(), size, digits);
    EXPECT_EQ(counted, digits[0] != '\0');
    return digits;
}

std::string isrc(const std::string& value, bool valid = true, size_t size = 24) {
    char code[kIsrcLength + 1];
    std::memset(code, 'Q', sizeof code);
    const bool counted = parseTrackIsrc(answer(value, valid, size).get(), size, code);
    EXPECT_EQ(counted, code[0] != '\0');
    return code;
}

TEST(SubChannelTest, CatalogNumber) {
    EXPECT_EQ(catalogNumber("0724384260927"), "0724384260927");
    EXPECT_EQ(catalogNumber("0000000000001"), "0000000000001");
    EXPECT_EQ(catalogNumber("0724384260927", true, 22), "0724384260927");
    EXPECT_EQ(catalogNumber("0724384260927", true, 21), "");  // the last digit did not arrive
    EXPECT_EQ(catalogNumber("0724384260927", false), "");
    EXPECT_EQ(catalogNumber("0000000000000"), "");
    EXPECT_EQ(catalogNumber("072438426092A"), "");
    EXPECT_EQ(catalogNumber(std::string("072438\0"
                                        "160927",
                                        13)),
              "");
    EXPECT_EQ(catalogNumber("", true, 0), "");
    char digits[kCatalogNumberLength + 1];
    EXPECT_FALSE(parseCatalogNumber(nullptr, 24, digits));
}

TEST(SubChannelTest, TrackIsrc) {
    EXPECT_EQ(isrc("USRC17607839"), "USRC17607839");
    EXPECT_EQ(isrc("GB0A19900001"), "GB0A19900001");
    EXPECT_EQ(isrc("USRC17607839", true, 21), "USRC17607839");
    EXPECT_EQ(isrc("USRC17607839", true, 20), "");
    EXPECT_EQ(isrc("USRC17607839", false), "");
    EXPECT_EQ(isrc("usRC17607839"), "");  // lower case
    EXPECT_EQ(isrc("U1RC17607839"), "");  // a digit among the country letters
    EXPECT_EQ(isrc("USr017607839"), "");  // lower case in the registrant
    EXPECT_EQ(isrc("USRC1760783A"), "");  // a letter among the seven digits
    EXPECT_EQ(isrc("USRC-7607839"), "");
    EXPECT_EQ(isrc(std::string(12, '\0')), "");
}

// Each character of an ISRC replaced in turn by letters, digits and the
// bytes just outside both: the country takes letters only, the registrant
// letters and digits, the year and the designation digits only.
TEST(SubChannelTest, TrackIsrcEveryPositionKeepsItsForm) {
    const std::string good = "USRC17607839";
    for (size_t i = 0; i < good.size(); ++i) {
        for (const char c : {'A', 'Z', '0', '9', '@', '[', '/', ':', 'a', ' ', '\x80', '\xC1'}) {
            std::string value = good;
            value[i] = c;
            const bool letter = c >= 'A' && c <= 'Z';
            const bool digit = c >= '0' && c <= '9';
            const bool fits = i < 2 ? letter : i < 5 ? letter || digit : digit;
            EXPECT_EQ(isrc(value), fits ? value : "") << "position " << i << ": " << value;
        }
    }
}

TEST(SubChannelTest, CatalogNumberEveryPositionTakesDigitsOnly) {
    const std::string good = "0724384260927";
    for (size_t i = 0; i < good.size(); ++i) {
        for (const char c : {'0', '9', '/', ':', 'A', ' ', '\xB0'}) {
            std::string value = good;
            value[i] = c;
            const bool fits = c >= '0' && c <= '9';
            EXPECT_EQ(catalogNumber(value), fits ? value : "") << "position " << i << ": " << value;
        }
    }
}

}  // namespace
}  // namespace zemtra
