#include "ids/musicbrainz_id.h"

#include "disc/toc_tracks.h"
#include "disc/track_timing.h"
#include "ids/id_base64.h"
#include "stream/sha1_stream.h"
#include "text/string_format.h"

namespace zemtra {

bool findMusicBrainzDisc(const DiscToc& toc, MusicBrainzDisc& disc) noexcept {
    if (!isTocConsistent(toc)) {
        return false;
    }
    const int first = toc.FirstTrack;
    // Entries 0 to count - 1 are the tracks, entry count the lead-out.
    const int count = tocTrackCount(toc);
    int audioCount = count;
    while (audioCount > 0 && isDataTrack(toc.TrackData[audioCount - 1])) {
        --audioCount;
    }
    if (audioCount == 0) {
        return false;
    }
    int32_t leadOut = frameAddress(toc.TrackData[audioCount]);
    if (audioCount < count) {
        leadOut -= kDataTrackGap;
    }
    // A data track too close behind the audio would put the lead-out before
    // the last audio track: such a TOC describes no disc.
    if (leadOut < frameAddress(toc.TrackData[audioCount - 1])) {
        return false;
    }
    disc = MusicBrainzDisc();
    disc.firstTrack = first;
    disc.lastTrack = first + audioCount - 1;
    disc.leadOut = leadOut;
    for (int k = 0; k < audioCount; ++k) {
        disc.offsets[first + k] = frameAddress(toc.TrackData[k]);
    }
    return true;
}

kwCore::SharedString musicBrainzId(const MusicBrainzDisc& disc) {
    kwCore::SharedString text =
        kwCore::format("%02X%02X%08X", static_cast<unsigned>(disc.firstTrack),
                       static_cast<unsigned>(disc.lastTrack), static_cast<uint32_t>(disc.leadOut));
    for (int track = 1; track <= DiscToc::kMaxTracks; ++track) {
        text.append(kwCore::format("%08X", static_cast<uint32_t>(disc.offsets[track])));
    }
    kwCore::Sha1Stream sha1;
    sha1.write(text.cStr(), text.getLength());
    const kwCore::Sha1Stream::Digest digest = sha1.digest();

    kwCore::SharedString id;
    appendIdBase64(id, digest.data(), static_cast<int>(digest.size()));
    return id;
}

kwCore::SharedString musicBrainzLookupToc(const MusicBrainzDisc& disc, char separator) {
    kwCore::SharedString text =
        kwCore::format("%d%c%d%c%d", disc.firstTrack, separator, disc.lastTrack, separator,
                       static_cast<int>(disc.leadOut));
    for (int track = disc.firstTrack; track <= disc.lastTrack; ++track) {
        text.append(kwCore::format("%c%d", separator, static_cast<int>(disc.offsets[track])));
    }
    return text;
}

}  // namespace zemtra
