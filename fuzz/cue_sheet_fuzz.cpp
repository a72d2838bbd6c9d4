// The cue sheet parser on any bytes: it either refuses them at a line the
// input has, with a reason, or gives tracks numbered one up, each with an
// INDEX 01 whose file the sheet names, indexes rising within their file.
#include <cstddef>
#include <cstdint>

#include "fuzz_check.h"
#include "image/cue_sheet.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    zemtra::CueSheet sheet;
    zemtra::CueError error;
    if (!zemtra::parseCueSheet(data, size, sheet, error)) {
        size_t lines = 1;
        for (size_t i = 0; i < size; ++i) {
            lines += data[i] == '\n';
        }
        FUZZ_CHECK(error.line >= 1 && static_cast<size_t>(error.line) <= lines);
        FUZZ_CHECK(!error.reason.empty());
        return 0;
    }
    FUZZ_CHECK(!sheet.tracks.empty() && sheet.tracks.size() <= 99);
    for (size_t t = 0; t < sheet.tracks.size(); ++t) {
        const zemtra::CueTrack& track = sheet.tracks[t];
        FUZZ_CHECK(track.number >= 1 && track.number <= 99);
        FUZZ_CHECK(t == 0 || track.number == sheet.tracks[t - 1].number + 1);
        FUZZ_CHECK(track.find(1) != nullptr);
        for (size_t i = 0; i < track.indexes.size(); ++i) {
            const zemtra::CueIndex& index = track.indexes[i];
            FUZZ_CHECK(index.file >= 0 && static_cast<size_t>(index.file) < sheet.files.size());
            FUZZ_CHECK(index.frames >= 0);
            FUZZ_CHECK(i == 0 || (index.number == track.indexes[i - 1].number + 1 &&
                                  (index.file != track.indexes[i - 1].file ||
                                   index.frames > track.indexes[i - 1].frames)));
        }
    }
    return 0;
}
