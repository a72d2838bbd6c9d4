#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "disc/disc_data.h"
#include "disc/disc_info.h"
#include "image/audio_file.h"
#include "image/cue_sheet.h"
#include "text/shared_string.h"

namespace zemtra {

// ImageTrack is one track of an image, its places as disc sectors (LBA,
// the track 1 start of a disc without hidden audio being 0).
struct ImageTrack {
    int number = 0;
    bool audio = true;
    uint8_t control = 0;           // the TOC's control nibble: FLAGS, 4 for data
    int32_t start = 0;             // INDEX 01
    int32_t pregapStart = 0;       // where its pregap (PREGAP, INDEX 00) begins; start when none
    std::vector<int32_t> indexes;  // INDEX 02 and up
};

// ImageSegment is a run of the disc's sectors taken from one place: a file
// from a byte offset on, or silence (file -1).
struct ImageSegment {
    int32_t lba = 0;
    int32_t sectors = 0;
    int file = -1;
    int64_t byteOffset = 0;
};

// DiscImage is a cue sheet and its files standing for a disc. It holds the
// files open, reads their samples on request and holds no more of them
// than one read needs.
class DiscImage {
  public:
    // open reads the sheet at cuePath and opens each of its files (a
    // relative name is relative to the sheet's folder), lays the disc out
    // and builds its tracks. Every file but the last must hold whole
    // sectors; the last is padded with silence to a whole sector, which is
    // said on standard error. Returns false with message set
    // ("<cue>:<line>: <reason>" or "<file>: <reason>", no full stop).
    bool open(const std::string& cuePath, std::string& message);

    const CueSheet& sheet() const noexcept { return sheet_; }
    const std::vector<ImageTrack>& tracks() const noexcept { return tracks_; }
    const std::vector<ImageSegment>& segments() const noexcept { return segments_; }
    // leadOut is the sector after the last track.
    int32_t leadOut() const noexcept { return leadOut_; }

    // trackEnd is the sector after track k's audio as checksums count it:
    // the next track's INDEX 01, the lead-out for the last.
    int32_t trackEnd(size_t k) const noexcept;

    // describe fills info (TOC, freedb id, valid) and, of what request
    // asks for, data as a drive read fills it: the catalog number and ISRCs
    // of the sheet that have a valid form, its texts as CD-TEXT, and every
    // track's gaps (its pregap, the first track's from sector 0, and its
    // INDEX 02 and up), all known without any reading.
    void describe(DiscInfo& info, DiscData& data,
                  const DiscDataRequest& request = {true, true, true, true}) const;

    // readSectors copies count sectors from lba on (within 0 to leadOut)
    // into destination (count * kSectorBytes bytes): file bytes, silence
    // for PREGAP, POSTGAP and a last file's padding. Reading on in disc
    // order is the fast path. Returns false with message
    // ("<file>: <reason>") when a file cannot deliver its part.
    bool readSectors(int32_t lba, int32_t count, uint8_t* destination, std::string& message);

  private:
    bool fail(int line, const std::string& reason, std::string& message) const;
    bool openFiles(std::string& message);
    bool layOut(std::string& message);
    // describeGaps fills gaps from the tracks' places.
    void describeGaps(DiscGaps& gaps) const;

    std::string cuePath_;
    CueSheet sheet_;
    std::vector<std::string> paths_;
    std::vector<std::unique_ptr<AudioFile>> files_;
    std::vector<int64_t> fileSectors_;  // per file, the last rounded up
    std::vector<ImageSegment> segments_;
    std::vector<ImageTrack> tracks_;
    int32_t leadOut_ = 0;
    size_t lastSegment_ = 0;  // where the last read ended, to read on from there
};

// isImageArgument tells whether argument names an existing file whose name
// ends in ".cue", in any case.
bool isImageArgument(const kwCore::SharedString& argument);

}  // namespace zemtra
