#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "disc/cd_text.h"

namespace zemtra {

// kCueMaxLineLength is the longest line a cue sheet may hold, in bytes.
inline constexpr size_t kCueMaxLineLength = 64 * 1024;

// CueTrackMode is what a TRACK line says the track holds.
enum class CueTrackMode { Audio, Mode1Raw, Mode2Raw };

// CueIndex is one INDEX line: its number and where it points, in frames
// from the start of the file the sheet named last before it.
struct CueIndex {
    int number = 0;
    int file = 0;  // position in CueSheet::files
    int32_t frames = 0;
    int line = 0;
};

// CueTrack is one TRACK with what the lines under it say.
struct CueTrack {
    int number = 0;
    CueTrackMode mode = CueTrackMode::Audio;
    int line = 0;                         // the TRACK line
    uint8_t flags = 0;                    // FLAGS as control bits: PRE 1, DCP 2, 4CH 8
    int32_t pregap = -1;                  // PREGAP in frames, -1 when none
    int32_t postgap = -1;                 // POSTGAP in frames, -1 when none
    std::string isrc;                     // ISRC as written, empty when none
    std::string text[kCdTextFieldCount];  // TITLE, PERFORMER, ... as UTF-8
    std::vector<CueIndex> indexes;        // in the sheet's order, numbers rising

    // find returns the index numbered number, or null.
    const CueIndex* find(int number) const noexcept;
};

// CueFile is one FILE line.
struct CueFile {
    std::string name;  // as written: relative to the sheet's folder unless absolute
    std::string type;  // the type word as written (WAVE, BINARY, FLAC, ...)
    int line = 0;
};

// CueSheet is what a cue sheet says of the disc.
struct CueSheet {
    std::string catalog;                  // CATALOG as written, empty when none
    std::string text[kCdTextFieldCount];  // the album's TITLE, PERFORMER, ...
    std::vector<CueFile> files;
    std::vector<CueTrack> tracks;  // numbered one up from the first
};

// CueError is where and why a sheet was refused.
struct CueError {
    int line = 0;        // 1-based; 0 for the sheet as a whole
    std::string reason;  // without the final full stop
};

// parseCueTime reads "mm:ss:ff" (minutes of any one to four digits,
// seconds below 60, frames below 75, one or two digits each) into frames.
bool parseCueTime(const std::string& text, int32_t& frames) noexcept;

// parseCueSheet reads the size bytes of a cue sheet (UTF-8 with or without
// a byte order mark, or ISO-8859-1; lines ending in LF or CR LF) into sheet.
// Commands are matched in any case; a value is a quoted string (taken as
// written between the quotes, a backslash keeping the next character in) or
// bare (a word; for texts the rest of the line). REM lines and unknown
// commands are passed over. Returns false with error set for what no disc
// can be read from: a line over kCueMaxLineLength bytes, a NUL byte, TRACK
// before FILE, a track number out of 1 to 99 or not one above the previous,
// more than 99 tracks, an unknown track mode, INDEX or a track's command
// before TRACK, an index number out of 0 to 99 or not above the previous,
// an index before the previous one in the same file, a time that does not
// parse, a track without INDEX 01, a sheet without tracks.
bool parseCueSheet(const uint8_t* data, size_t size, CueSheet& sheet, CueError& error);

}  // namespace zemtra
