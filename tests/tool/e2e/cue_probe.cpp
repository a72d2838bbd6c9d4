// The image probe: what zemtra makes of a cue sheet and its files, for the
// end-to-end tests to compare with peers.
//   cue_probe sheet <cue>   the sheet as parsed, in the lines cue_peer prints
//   cue_probe crc <cue>     each track's sectors (INDEX 01 to the next
//                           track's) read through the image, as
//                           "track <n> sectors <count> crc32 <hex>"
// Exit status 1 with "Error: <message>." when the image is refused.
#include <zlib.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "image/disc_image.h"

namespace {

const char* const kModes[] = {"AUDIO", "MODE1/2352", "MODE2/2352"};

void printTexts(int track, const std::string (&text)[zemtra::kCdTextFieldCount]) {
    for (int field = 0; field < zemtra::kCdTextFieldCount; ++field) {
        if (!text[field].empty()) {
            std::printf("text %d %s %s\n", track, zemtra::kCdTextFieldNames[field],
                        text[field].c_str());
        }
    }
}

int printSheet(const char* path) {
    std::FILE* file = std::fopen(path, "rb");
    std::vector<uint8_t> bytes;
    for (int c; file != nullptr && (c = std::fgetc(file)) != EOF;) {
        bytes.push_back(static_cast<uint8_t>(c));
    }
    if (file != nullptr) {
        std::fclose(file);
    }
    zemtra::CueSheet sheet;
    zemtra::CueError error;
    if (!zemtra::parseCueSheet(bytes.data(), bytes.size(), sheet, error)) {
        std::printf("Error: %s:%d: %s.\n", path, error.line, error.reason.c_str());
        return 1;
    }
    printTexts(0, sheet.text);
    for (const zemtra::CueTrack& track : sheet.tracks) {
        const int k = track.number;
        std::printf("track %d file %s mode %s flags %d pregap %d postgap %d isrc %s\n", k,
                    sheet.files[track.find(1)->file].name.c_str(),
                    kModes[static_cast<int>(track.mode)], track.flags, track.pregap, track.postgap,
                    track.isrc.empty() ? "-" : track.isrc.c_str());
        for (const zemtra::CueIndex& index : track.indexes) {
            std::printf("index %d %d %d\n", k, index.number, index.frames);
        }
        printTexts(k, track.text);
    }
    return 0;
}

int printTrackCrcs(const char* path) {
    zemtra::DiscImage image;
    std::string message;
    if (!image.open(path, message)) {
        std::printf("Error: %s.\n", message.c_str());
        return 1;
    }
    constexpr int32_t kChunk = 27;
    std::vector<uint8_t> buffer(kChunk * zemtra::kSectorBytes);
    for (size_t k = 0; k < image.tracks().size(); ++k) {
        const int32_t end = image.trackEnd(k);
        uLong crc = crc32(0, nullptr, 0);
        for (int32_t lba = image.tracks()[k].start; lba < end; lba += kChunk) {
            const int32_t count = std::min(kChunk, end - lba);
            if (!image.readSectors(lba, count, buffer.data(), message)) {
                std::printf("Error: %s.\n", message.c_str());
                return 1;
            }
            crc = crc32(crc, buffer.data(), static_cast<uInt>(count * zemtra::kSectorBytes));
        }
        std::printf("track %d sectors %d crc32 %08lx\n", image.tracks()[k].number,
                    end - image.tracks()[k].start, crc);
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "sheet") == 0) {
        return printSheet(argv[2]);
    }
    if (argc == 3 && std::strcmp(argv[1], "crc") == 0) {
        return printTrackCrcs(argv[2]);
    }
    std::fprintf(stderr, "usage: cue_probe sheet|crc <cue>\n");
    return 2;
}
