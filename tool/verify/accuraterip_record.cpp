#include "verify/accuraterip_record.h"

#include <utility>

namespace zemtra {

namespace {

uint32_t littleEndian32(const uint8_t* bytes) {
    return static_cast<uint32_t>(bytes[0]) | static_cast<uint32_t>(bytes[1]) << 8 |
           static_cast<uint32_t>(bytes[2]) << 16 | static_cast<uint32_t>(bytes[3]) << 24;
}

}  // namespace

bool parseAccurateRipRecord(const uint8_t* bytes, size_t size,
                            std::vector<AccurateRipChunk>& chunks) {
    chunks.clear();
    size_t at = 0;
    while (at < size) {
        if (size - at < kChunkHeaderSize) {
            chunks.clear();
            return false;
        }
        const uint8_t* header = bytes + at;
        const size_t count = header[0];
        if ((size - at - kChunkHeaderSize) / kChunkEntrySize < count) {
            chunks.clear();
            return false;
        }
        AccurateRipChunk chunk;
        chunk.id.audioTracks = static_cast<int>(count);
        chunk.id.id1 = littleEndian32(header + 1);
        chunk.id.id2 = littleEndian32(header + 5);
        chunk.id.freedbId = littleEndian32(header + 9);
        at += kChunkHeaderSize;
        chunk.tracks.resize(count);
        for (AccurateRipEntry& entry : chunk.tracks) {
            entry.confidence = bytes[at];
            entry.checksum = littleEndian32(bytes + at + 1);
            entry.frame450 = littleEndian32(bytes + at + 5);
            at += kChunkEntrySize;
        }
        chunks.push_back(std::move(chunk));
    }
    return !chunks.empty();
}

bool isRecordOfDisc(const std::vector<AccurateRipChunk>& chunks, const AccurateRipId& id) noexcept {
    for (const AccurateRipChunk& chunk : chunks) {
        if (chunk.id.audioTracks != id.audioTracks || chunk.id.id1 != id.id1 ||
            chunk.id.id2 != id.id2 || chunk.id.freedbId != id.freedbId) {
            return false;
        }
    }
    return !chunks.empty();
}

}  // namespace zemtra
