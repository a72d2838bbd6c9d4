// The AccurateRip record parser on any file: no read outside it (the input
// is the whole buffer), and a record accepted only when its chunks account
// for every byte, each entry as its bytes say.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "fuzz_check.h"
#include "verify/accuraterip_record.h"
#include "verify/track_verdict.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<zemtra::AccurateRipChunk> chunks;
    const bool parsed = zemtra::parseAccurateRipRecord(data, size, chunks);
    FUZZ_CHECK(parsed == !chunks.empty());
    if (!parsed) {
        return 0;
    }
    size_t at = 0;
    for (const zemtra::AccurateRipChunk& chunk : chunks) {
        FUZZ_CHECK(chunk.tracks.size() == data[at]);
        FUZZ_CHECK(static_cast<size_t>(chunk.id.audioTracks) == chunk.tracks.size());
        at += zemtra::kChunkHeaderSize;
        for (const zemtra::AccurateRipEntry& entry : chunk.tracks) {
            FUZZ_CHECK(entry.confidence == data[at]);
            at += zemtra::kChunkEntrySize;
        }
    }
    FUZZ_CHECK(at == size);
    // Judging any track index against any chunks reads only their entries.
    zemtra::TrackChecksumValues values;
    values.v1 = chunks[0].id.id1;
    for (size_t index = 0; index < 256; ++index) {
        const zemtra::TrackVerdict verdict = zemtra::judgeTrack(chunks, index, values);
        FUZZ_CHECK(verdict.kind != zemtra::TrackVerdictKind::accurate || index < 255);
    }
    return 0;
}
