#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "ids/accuraterip_id.h"

namespace zemtra {

// AccurateRipEntry is one track's entry in a chunk of an AccurateRip record.
struct AccurateRipEntry {
    uint32_t confidence = 0;  // how many rips agreed
    uint32_t checksum = 0;    // their v1 or v2 checksum
    uint32_t frame450 = 0;    // their frame-450 checksum
};

// AccurateRipChunk is one pressing's chunk: a 13-byte header (track count,
// id1, id2, freedb id; 1 + 4 + 4 + 4 bytes, little-endian), then 9 bytes a
// track (confidence, checksum, frame-450 checksum; 1 + 4 + 4).
struct AccurateRipChunk {
    AccurateRipId id;
    std::vector<AccurateRipEntry> tracks;
};

// kChunkHeaderSize and kChunkEntrySize are the sizes of a chunk's parts.
inline constexpr size_t kChunkHeaderSize = 13;
inline constexpr size_t kChunkEntrySize = 9;

// parseAccurateRipRecord splits the size bytes at bytes into chunks.
// Returns false, chunks empty, unless the bytes are one or more whole
// chunks exactly.
bool parseAccurateRipRecord(const uint8_t* bytes, size_t size,
                            std::vector<AccurateRipChunk>& chunks);

// isRecordOfDisc tells whether every chunk's header carries the disc's id:
// its audio track count, id1, id2 and freedb id.
bool isRecordOfDisc(const std::vector<AccurateRipChunk>& chunks, const AccurateRipId& id) noexcept;

}  // namespace zemtra
