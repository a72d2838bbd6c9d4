#include "platform/cd_text_request.h"

namespace kwCore::platform {

namespace {

constexpr size_t kCdTextHeaderSize = 4;
constexpr size_t kLargestTransfer = 65535;

}  // namespace

size_t readCdText(CdDevice device, void* buffer, size_t size) {
    auto* bytes = static_cast<unsigned char*>(buffer);
    if (bytes == nullptr || size < kCdTextHeaderSize ||
        requestCdText(device, bytes, kCdTextHeaderSize) != kCdTextHeaderSize) {
        return 0;
    }
    // The header counts the bytes after its length field.
    size_t length = ((static_cast<size_t>(bytes[0]) << 8) | bytes[1]) + 2;
    if (length > kLargestTransfer) {
        length = kLargestTransfer;
    }
    if (length > size) {
        length = size;
    }
    return requestCdText(device, bytes, length);
}

}  // namespace kwCore::platform
