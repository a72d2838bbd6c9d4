#pragma once

#include "disc/disc_data.h"
#include "disc/disc_info.h"
#include "text/shared_string.h"

namespace zemtra {

// CueLayout is the image a cue sheet describes.
enum class CueLayout {
    singleFile,    // one file of the whole disc's audio from LBA 0 ("CDImage.wav")
    filePerTrack,  // one file per track, each pregap at the end of the file before
};

// cueSheet returns the cue sheet of the audio tracks of the disc in info,
// with what it carries in data (catalog number, CD-TEXT, ISRCs, gaps), for
// layout; program names the writer in its REM COMMENT line. Lines end in a
// bare LF, which the console writes as CR LF. Data tracks are left out; the
// audio tracks keep their numbers. Texts lose their control bytes and
// trailing backslashes, and a double quote in them becomes "'". A gap or
// index that is unknown is left out, and a "REM GAP UNKNOWN <track>" line
// stands before its track.
kwCore::SharedString cueSheet(const DiscInfo& info, const DiscData& data, CueLayout layout,
                              const char* program);

// cueText returns text as a cue sheet's quoted value holds it: control
// bytes dropped, each double quote as "'", trailing backslashes dropped (a
// cue reader takes \" for an escaped quote).
kwCore::SharedString cueText(const kwCore::SharedString& text);

}  // namespace zemtra
