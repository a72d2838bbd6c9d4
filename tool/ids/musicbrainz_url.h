#pragma once

#include "ids/musicbrainz_id.h"
#include "text/shared_string.h"

namespace zemtra {

// musicBrainzSubmissionUrl returns the page that attaches the disc to a
// release on MusicBrainz: its id, its last track number and its lookup TOC
// with '+' between the numbers.
kwCore::SharedString musicBrainzSubmissionUrl(const MusicBrainzDisc& disc);

// musicBrainzWebServiceUrl returns the web-service lookup of the disc by its
// id, with the lookup TOC ('+' between the numbers) for a fuzzy match.
kwCore::SharedString musicBrainzWebServiceUrl(const MusicBrainzDisc& disc);

}  // namespace zemtra
