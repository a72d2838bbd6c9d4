#include "ids/musicbrainz_url.h"

#include "text/string_format.h"

namespace zemtra {

kwCore::SharedString musicBrainzSubmissionUrl(const MusicBrainzDisc& disc) {
    return kwCore::format("https://musicbrainz.org/cdtoc/attach?id=%s&tracks=%d&toc=%s",
                          musicBrainzId(disc).cStr(), disc.lastTrack,
                          musicBrainzLookupToc(disc, '+').cStr());
}

kwCore::SharedString musicBrainzWebServiceUrl(const MusicBrainzDisc& disc) {
    return kwCore::format("https://musicbrainz.org/ws/2/discid/%s?toc=%s",
                          musicBrainzId(disc).cStr(), musicBrainzLookupToc(disc, '+').cStr());
}

}  // namespace zemtra
