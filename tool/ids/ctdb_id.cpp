#include "ids/ctdb_id.h"

#include "disc/toc_tracks.h"
#include "disc/track_timing.h"
#include "ids/id_base64.h"
#include "ids/musicbrainz_id.h"
#include "stream/sha1_stream.h"
#include "text/string_format.h"

namespace zemtra {

namespace {

// kValues is the number of values the id's text always holds.
constexpr int kValues = 100;

}  // namespace

bool findCtdbId(const DiscToc& toc, kwCore::SharedString& id) {
    MusicBrainzDisc disc;
    if (!findMusicBrainzDisc(toc, disc)) {
        return false;
    }
    kwCore::SharedString text;
    int values = 0;
    bool haveFirst = false;
    int32_t firstStart = 0;
    for (int track = disc.firstTrack; track <= disc.lastTrack; ++track) {
        if (isDataTrack(toc.TrackData[track - toc.FirstTrack])) {
            continue;
        }
        const int32_t start = disc.offsets[track];
        if (!haveFirst) {
            haveFirst = true;
            firstStart = start;
            continue;
        }
        text.append(kwCore::format("%08X", static_cast<uint32_t>(start - firstStart)));
        ++values;
    }
    text.append(kwCore::format("%08X", static_cast<uint32_t>(disc.leadOut - firstStart)));
    for (++values; values < kValues; ++values) {
        text.append("00000000");
    }
    kwCore::Sha1Stream sha1;
    sha1.write(text.cStr(), text.getLength());
    const kwCore::Sha1Stream::Digest digest = sha1.digest();
    kwCore::SharedString result;
    appendIdBase64(result, digest.data(), static_cast<int>(digest.size()));
    id = result;
    return true;
}

}  // namespace zemtra
