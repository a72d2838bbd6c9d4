#include "disc/sub_channel_crc.h"

namespace zemtra {

uint16_t subChannelCrc(const uint8_t* bytes, size_t size) noexcept {
    uint16_t crc = 0;
    for (size_t i = 0; i < size; ++i) {
        crc ^= static_cast<uint16_t>(bytes[i] << 8);
        for (int bit = 0; bit < 8; ++bit) {
            crc = static_cast<uint16_t>((crc & 0x8000) != 0 ? (crc << 1) ^ 0x1021 : crc << 1);
        }
    }
    return static_cast<uint16_t>(~crc);
}

}  // namespace zemtra
