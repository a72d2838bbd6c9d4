#include "image/wav_header.h"

#include <cstring>

namespace zemtra {

namespace {

constexpr uint16_t kFormatPcm = 1;
constexpr uint16_t kFormatExtensible = 0xFFFE;
// kPcmSubFormat is the GUID of PCM in an extensible format's sub-format
// field, as the file stores it.
constexpr uint8_t kPcmSubFormat[16] = {0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x10, 0x00,
                                       0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};

uint16_t le16(const uint8_t* p) noexcept {
    return static_cast<uint16_t>(p[0] | p[1] << 8);
}

uint32_t le32(const uint8_t* p) noexcept {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
           static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

bool readAt(kwCore::Stream& stream, int64_t at, void* into, int64_t length) {
    return stream.seek(at) == at && stream.read(into, length) == length;
}

// checkFormat checks a "fmt " chunk of length bytes (at most 40 read).
bool checkFormat(const uint8_t* fmt, uint32_t length, std::string& reason) {
    if (length < 16) {
        reason = "its format chunk is too short";
        return false;
    }
    const uint16_t tag = le16(fmt);
    if (tag == kFormatExtensible) {
        if (length < 40 || std::memcmp(fmt + 24, kPcmSubFormat, sizeof kPcmSubFormat) != 0) {
            reason = "it holds an extensible format that is not PCM";
            return false;
        }
    } else if (tag != kFormatPcm) {
        reason = "it holds format " + std::to_string(tag) + ", not PCM";
        return false;
    }
    const uint16_t channels = le16(fmt + 2);
    const uint32_t rate = le32(fmt + 4);
    const uint16_t bits = le16(fmt + 14);
    if (channels != 2 || rate != 44100 || bits != 16 || le16(fmt + 12) != 4) {
        reason = "it holds " + std::to_string(bits) + "-bit PCM, " + std::to_string(channels) +
                 " channels at " + std::to_string(rate) + " Hz, not 16-bit stereo at 44100 Hz";
        return false;
    }
    return true;
}

}  // namespace

bool readWavHeader(kwCore::Stream& stream, int64_t size, WavLayout& layout, std::string& reason) {
    layout = WavLayout{};
    uint8_t header[12];
    if (size < 12 || !readAt(stream, 0, header, sizeof header) ||
        std::memcmp(header, "RIFF", 4) != 0 || std::memcmp(header + 8, "WAVE", 4) != 0) {
        reason = "not a RIFF/WAVE file";
        return false;
    }
    bool haveFormat = false;
    bool haveData = false;
    // Chunks are walked to the file's end, not to the RIFF size, which
    // some writers leave wrong.
    for (int64_t at = 12; at + 8 <= size && !(haveFormat && haveData);) {
        uint8_t chunk[8];
        if (!readAt(stream, at, chunk, sizeof chunk)) {
            reason = "it cannot be read";
            return false;
        }
        const uint32_t length = le32(chunk + 4);
        const int64_t body = at + 8;
        if (std::memcmp(chunk, "fmt ", 4) == 0 && !haveFormat) {
            uint8_t fmt[40] = {};
            const uint32_t take = length < sizeof fmt ? length : sizeof fmt;
            if (body + take > size || !readAt(stream, body, fmt, take)) {
                reason = "its format chunk is cut short";
                return false;
            }
            if (!checkFormat(fmt, length, reason)) {
                return false;
            }
            haveFormat = true;
        } else if (std::memcmp(chunk, "data", 4) == 0 && !haveData) {
            if (body + length > size) {
                reason = "its data chunk says " + std::to_string(length) +
                         " bytes but the file ends after " + std::to_string(size - body);
                return false;
            }
            if (length % 4 != 0) {
                reason = "its data chunk is not whole stereo samples";
                return false;
            }
            layout.dataOffset = body;
            layout.dataLength = length;
            haveData = true;
        }
        at = body + length + (length & 1);
    }
    if (!haveFormat || !haveData) {
        reason = haveFormat ? "it has no data chunk" : "it has no format chunk";
        return false;
    }
    return true;
}

}  // namespace zemtra
