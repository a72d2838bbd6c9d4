#pragma once

#include "disc/disc_toc.h"
#include "text/shared_string.h"

namespace zemtra {

// findCtdbId returns in id the CUETools database's TOC id of the disc:
// over its audio tracks, each start from the second on and then the audio
// session's end (the MusicBrainz lead-out: on an enhanced CD its data
// track's start less 11,400), each less the first audio track's start, in
// eight upper-case hex digits, padded with "00000000" to 100 values; the
// SHA-1 of that text in the disc ids' base64 (appendIdBase64). Returns
// false, leaving id alone, when the TOC has no such id
// (findMusicBrainzDisc fails).
bool findCtdbId(const DiscToc& toc, kwCore::SharedString& id);

}  // namespace zemtra
