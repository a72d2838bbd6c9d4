#include "disc/cd_text.h"

#include <algorithm>
#include <vector>

#include "disc/sub_channel_crc.h"
#include "text/string_format.h"

namespace zemtra {

namespace {

constexpr size_t kHeaderSize = 4;
constexpr size_t kTextStart = 4;
constexpr size_t kTextLength = 12;
constexpr uint8_t kFirstTextType = 0x80;
constexpr uint8_t kSizeInfoType = 0x8F;
constexpr uint8_t kIsoLatin1 = 0x00;
constexpr uint8_t kAscii = 0x01;

int blockOf(const uint8_t* pack) {
    return (pack[3] >> 4) & 7;
}

bool isDoubleByte(const uint8_t* pack) {
    return (pack[3] & 0x80) != 0;
}

bool hasRightCrc(const uint8_t* pack) {
    return cdTextPackCrc(pack) == ((pack[16] << 8) | pack[17]);
}

// decoded returns the bytes as UTF-8; control bytes are kept as they are
// (the reader of the text decides how to show them). In an ASCII block a
// byte above 0x7F is no character and becomes "?".
kwCore::SharedString decoded(const uint8_t* bytes, size_t length, bool ascii) {
    kwCore::SharedString result;
    for (size_t i = 0; i < length; ++i) {
        const uint8_t c = bytes[i];
        if (ascii && c > 0x7F) {
            result.appendChar('?');
        } else if (c < 0x80) {
            result.appendChar(static_cast<char>(c));
        } else {
            result.append(kwCore::fromCodePoint(c));
        }
    }
    return result;
}

// assignRun splits one type's run of strings among the tracks from
// firstTrack on.
void assignRun(const std::vector<uint8_t>& run, int firstTrack, int field, bool ascii,
               CdText& text) {
    int track = firstTrack;
    size_t start = 0;
    for (size_t i = 0; i < run.size() && track <= CdText::kMaxTrack; ++i) {
        if (run[i] != 0) {
            continue;
        }
        const size_t length = i - start;
        if (length == 1 && run[start] == '\t') {
            if (track > firstTrack) {
                text.text[track][field] = text.text[track - 1][field];
            }
        } else if (length > 0) {
            text.text[track][field] = decoded(run.data() + start, length, ascii);
        }
        ++track;
        start = i + 1;
    }
}

}  // namespace

uint16_t cdTextPackCrc(const uint8_t* pack) noexcept {
    return subChannelCrc(pack, kCdTextPackSize - 2);
}

bool CdText::isEmpty() const noexcept {
    for (const auto& fields : text) {
        for (const auto& field : fields) {
            if (!field.isEmpty()) {
                return false;
            }
        }
    }
    return true;
}

void parseCdText(const uint8_t* answer, size_t size, CdText& text) {
    for (auto& fields : text.text) {
        for (auto& field : fields) {
            field = kwCore::SharedString();
        }
    }
    if (answer == nullptr || size < kHeaderSize) {
        return;
    }
    // The header counts the two reserved bytes and the packs.
    const size_t claimed = static_cast<size_t>((answer[0] << 8) | answer[1]);
    const size_t packBytes = std::min(size - kHeaderSize, claimed < 2 ? 0 : claimed - 2);
    const uint8_t* packs = answer + kHeaderSize;
    const size_t count = packBytes / kCdTextPackSize;

    // Block 0's packs that count: all of them when no pack has a right CRC.
    bool anyRightCrc = false;
    for (size_t p = 0; p < count && !anyRightCrc; ++p) {
        anyRightCrc = hasRightCrc(packs + p * kCdTextPackSize);
    }
    std::vector<const uint8_t*> block;
    for (size_t p = 0; p < count; ++p) {
        const uint8_t* pack = packs + p * kCdTextPackSize;
        if (blockOf(pack) == 0 && (!anyRightCrc || hasRightCrc(pack))) {
            block.push_back(pack);
        }
    }

    uint8_t characterCode = kIsoLatin1;
    bool sizeInfoSeen = false;
    for (const uint8_t* pack : block) {
        const bool textPack =
            pack[0] >= kFirstTextType && pack[0] < kFirstTextType + kCdTextFieldCount;
        if (textPack && isDoubleByte(pack)) {
            return;
        }
        if (pack[0] == kSizeInfoType && pack[1] == 0 && !sizeInfoSeen) {
            sizeInfoSeen = true;
            characterCode = pack[kTextStart];
        }
    }
    if (characterCode != kIsoLatin1 && characterCode != kAscii) {
        return;
    }

    std::stable_sort(block.begin(), block.end(),
                     [](const uint8_t* a, const uint8_t* b) { return a[2] < b[2]; });
    std::vector<uint8_t> run;
    for (int field = 0; field < kCdTextFieldCount; ++field) {
        run.clear();
        int firstTrack = -1;
        for (const uint8_t* pack : block) {
            if (pack[0] != kFirstTextType + field || (pack[1] & 0x80) != 0) {
                continue;
            }
            if (firstTrack < 0) {
                firstTrack = pack[1];
            }
            run.insert(run.end(), pack + kTextStart, pack + kTextStart + kTextLength);
        }
        if (firstTrack >= 0) {
            assignRun(run, firstTrack, field, characterCode == kAscii, text);
        }
    }
}

}  // namespace zemtra
