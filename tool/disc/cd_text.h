#pragma once

#include <cstddef>
#include <cstdint>

#include "text/shared_string.h"

namespace zemtra {

// kCdTextPackSize is the size of one CD-TEXT pack: type, track number,
// sequence number, block and flags, 12 bytes of text and a 2-byte CRC.
inline constexpr size_t kCdTextPackSize = 18;

// kCdTextFieldCount is the number of text fields read: the pack types 0x80
// to 0x85, in this order.
inline constexpr int kCdTextFieldCount = 6;

// kCdTextFieldNames names the fields in report lines ("Album title: ...").
inline constexpr const char* kCdTextFieldNames[kCdTextFieldCount] = {
    "title", "performer", "songwriter", "composer", "arranger", "message"};

// cdTextPackCrc returns the CRC of a pack's first 16 bytes as its last two
// bytes carry it (big-endian): polynomial 0x1021, started from 0, the
// result inverted.
uint16_t cdTextPackCrc(const uint8_t* pack) noexcept;

// CdText is the single-byte text of a disc's CD-TEXT block 0, as UTF-8. A
// control byte (below 0x20, and 0x7F) stays as it is, for the reader of the
// text to show or drop; a byte above 0x7F in a block declared ASCII becomes
// "?". No text holds a NUL. An empty text is one the disc does not have.
struct CdText {
    // kMaxTrack is the highest track number kept.
    static constexpr int kMaxTrack = 99;

    // text[t][f] is field f of the album (t 0) or of the track numbered t.
    kwCore::SharedString text[kMaxTrack + 1][kCdTextFieldCount];

    // isEmpty tells whether no field of any track holds text.
    bool isEmpty() const noexcept;
};

// parseCdText reads the CD-TEXT answer of size bytes (the 4-byte header,
// its big-endian count of the bytes after its count field, then packs) into
// text, which it clears first. Only whole packs inside both size and the
// header's count are read. Packs whose CRC is wrong are passed over, unless
// no pack has a right one. For each text type, block 0's packs in sequence
// order form one run of NUL-terminated strings: the first string belongs to
// the track of the type's first pack, each next one to the next track; a
// single TAB repeats the previous track's text. Extension packs, other pack
// types and other blocks are passed over; a block 0 whose size information
// declares a character code other than ISO-8859-1 (0x00) or ASCII (0x01),
// or which holds a double-byte pack, gives no text.
void parseCdText(const uint8_t* answer, size_t size, CdText& text);

}  // namespace zemtra
