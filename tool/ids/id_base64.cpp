#include "ids/id_base64.h"

namespace zemtra {

void appendIdBase64(kwCore::SharedString& text, const uint8_t* bytes, int count) {
    static constexpr char kDigits[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789._";
    for (int i = 0; i < count; i += 3) {
        const int left = count - i;
        const uint32_t group = static_cast<uint32_t>(bytes[i]) << 16 |
                               (left > 1 ? static_cast<uint32_t>(bytes[i + 1]) << 8 : 0) |
                               (left > 2 ? bytes[i + 2] : 0);
        text.appendChar(kDigits[group >> 18]);
        text.appendChar(kDigits[group >> 12 & 63]);
        text.appendChar(left > 1 ? kDigits[group >> 6 & 63] : '-');
        text.appendChar(left > 2 ? kDigits[group & 63] : '-');
    }
}

}  // namespace zemtra
