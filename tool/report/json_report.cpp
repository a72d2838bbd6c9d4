#include "report/json_report.h"

#include <nlohmann/json.hpp>

#include "disc/toc_tracks.h"
#include "disc/track_timing.h"
#include "ids/accuraterip_id.h"
#include "ids/cddb_query.h"
#include "ids/ctdb_id.h"
#include "ids/musicbrainz_id.h"
#include "ids/musicbrainz_url.h"
#include "platform/console.h"
#include "report/time_format.h"
#include "text/string_format.h"

namespace zemtra {

namespace {

// Json keeps keys in the order they are set, which is the document's order.
using Json = nlohmann::ordered_json;

// text is the bytes of value.
std::string text(const kwCore::SharedString& value) {
    return std::string(value.cStr(), static_cast<size_t>(value.getLength()));
}

// hex8 is value in eight lower-case hex digits.
std::string hex8(uint32_t value) {
    return text(kwCore::format("%08lx", static_cast<unsigned long>(value)));
}

// timeValue is a frame count with its minutes:seconds:frames form.
Json timeValue(int32_t frames) {
    return Json{{"frames", frames}, {"msf", text(formatTime(frames, TimeFormat{}))}};
}

// trackObject holds the table row of the TOC's track k: its number, times
// and control bits, and its ISRC when the disc gave one.
Json trackObject(const DiscToc& toc, const DiscData& data, int k) {
    const TocEntry& entry = toc.TrackData[k];
    Json track;
    track["number"] = entry.TrackNumber;
    track["offset"] = trackStart(toc, k);
    track["start"] = timeValue(trackStart(toc, k));
    track["length"] = timeValue(trackLength(toc, k));
    track["end"] = timeValue(trackEnd(toc, k));
    track["control"] = entry.Control;
    track["audio"] = !isDataTrack(entry);
    track["preEmphasis"] = (entry.Control & 1) != 0;
    track["copyPermitted"] = (entry.Control & 2) != 0;
    track["fourChannel"] = (entry.Control & 8) != 0;
    if (data.isrc[k][0] != '\0') {
        track["isrc"] = data.isrc[k];
    }
    return track;
}

// addGaps adds to track the pregap and further indexes of gaps that parts
// asks for: null when unknown, as the table's "?"; an index whose start was
// not settled among others that were has null frames and msf.
void addGaps(Json& track, const TrackGaps& gaps, const JsonParts& parts) {
    if (parts.pregaps) {
        track["pregap"] = gaps.pregap == kUnknownFrames ? Json() : timeValue(gaps.pregap);
    }
    if (!parts.indexes) {
        return;
    }
    if (!gaps.indexesKnown) {
        track["indexes"] = nullptr;
        return;
    }
    if (gaps.indexStarts.empty()) {
        return;
    }
    Json indexes = Json::array();
    for (size_t i = 0; i < gaps.indexStarts.size(); ++i) {
        const int32_t start = gaps.indexStarts[i];
        Json index = Json::object();
        index["number"] = static_cast<int>(i) + 2;
        if (start == kUnknownFrames) {
            index["frames"] = nullptr;
            index["msf"] = nullptr;
        } else {
            index.update(timeValue(start));
        }
        indexes.push_back(std::move(index));
    }
    track["indexes"] = std::move(indexes);
}

// addTrackVerification adds to track what the read found of audio track t:
// its checksums, or the sector that made it unreadable, and, when judged,
// its verdict (not accurate with confidence 0: not in the record).
void addTrackVerification(Json& track, const Verification& verification, size_t t) {
    const TrackResult& result = verification.read.tracks[t];
    if (!result.readable) {
        track["unreadable"] = result.failedSector;
        return;
    }
    const TrackChecksumValues& v = result.values;
    track["checksums"] = Json{{"ar1", hex8(v.v1)},
                              {"ar2", hex8(v.v2)},
                              {"ar450", hex8(v.frame450)},
                              {"crc32", hex8(v.crc32)}};
    if (!verification.judged) {
        return;
    }
    const TrackVerdict& verdict = verification.verdicts[t];
    const bool accurate = verdict.kind == TrackVerdictKind::accurate;
    Json judged{{"accurate", accurate}, {"confidence", verdict.confidence}};
    if (accurate) {
        judged["version"] = verdict.v2 ? 2 : 1;
    }
    track["accurateRip"] = std::move(judged);
}

// addDiscVerification adds to document what the read found of the whole
// disc: the zero-filled samples when there are any, the count of accurate
// tracks when judged, and the read offsets after the search (null when
// none was found).
void addDiscVerification(Json& document, const Verification& verification) {
    const VerifyResult& read = verification.read;
    const int total = static_cast<int>(read.tracks.size());
    if (read.filled != 0) {
        document["offsetFill"] = read.filled;
    }
    if (verification.judged) {
        document["accurateRipSummary"] =
            Json{{"accurate", verification.accurate}, {"tracks", total}};
    }
    if (!verification.searched) {
        return;
    }
    if (read.offsets.empty()) {
        document["readOffset"] = nullptr;
        return;
    }
    Json offsets = Json::array();
    for (const OffsetMatch& match : read.offsets) {
        offsets.push_back(Json{{"offset", match.offset},
                               {"matches", match.tracks},
                               {"tracks", total},
                               {"confidence", match.confidence}});
    }
    document["readOffset"] = std::move(offsets);
}

// musicBrainzObject holds the MusicBrainz lines' values and the disc as
// the MusicBrainz web service's disc object gives it.
Json musicBrainzObject(const MusicBrainzDisc& disc) {
    Json offsets = Json::array();
    for (int track = disc.firstTrack; track <= disc.lastTrack; ++track) {
        offsets.push_back(disc.offsets[track]);
    }
    return Json{{"id", text(musicBrainzId(disc))},
                {"toc", text(musicBrainzLookupToc(disc))},
                {"submissionUrl", text(musicBrainzSubmissionUrl(disc))},
                {"lookupUrl", text(musicBrainzWebServiceUrl(disc))},
                {"offset-count", disc.lastTrack - disc.firstTrack + 1},
                {"offsets", offsets},
                {"sectors", disc.leadOut}};
}

// accurateRipObject holds the AccurateRip lines' values and the id's parts.
Json accurateRipObject(const AccurateRipId& id) {
    return Json{{"id", text(accurateRipId(id))},
                {"url", text(accurateRipUrl(id))},
                {"audioTracks", id.audioTracks},
                {"id1", hex8(id.id1)},
                {"id2", hex8(id.id2)}};
}

// cdTextFields holds the fields of one track (0 the album) that the disc
// has, by their names; null when it has none.
Json cdTextFields(const CdText& cdText, int track) {
    Json fields;
    for (int field = 0; field < kCdTextFieldCount; ++field) {
        if (!cdText.own[track][field].isEmpty()) {
            fields[kCdTextFieldNames[field]] = text(cdText.own[track][field]);
        }
    }
    return fields;
}

// cdTextObject holds the album's CD-TEXT and that of the TOC's tracks,
// keyed by track number; null when none of them has any.
Json cdTextObject(const DiscToc& toc, const CdText& cdText) {
    Json result;
    Json album = cdTextFields(cdText, 0);
    if (!album.is_null()) {
        result["album"] = std::move(album);
    }
    Json tracks;
    const int count = tocTrackCount(toc);
    for (int k = 0; k < count && toc.FirstTrack + k <= CdText::kMaxTrack; ++k) {
        const int track = toc.FirstTrack + k;
        Json fields = cdTextFields(cdText, track);
        if (!fields.is_null()) {
            tracks[std::to_string(track)] = std::move(fields);
        }
    }
    if (!tracks.is_null()) {
        result["tracks"] = std::move(tracks);
    }
    return result;
}

// serialise writes the document indented by two spaces, invalid UTF-8
// replaced, and escapes DEL, which JSON lets stand raw: no control byte of
// the disc's text reaches the output unescaped. A raw 0x7F can only stand
// inside a string, and is never part of a longer UTF-8 sequence.
std::string serialise(const Json& document) {
    const std::string dumped = document.dump(2, ' ', false, Json::error_handler_t::replace);
    std::string result;
    result.reserve(dumped.size() + 1);
    for (char c : dumped) {
        if (c == '\x7f') {
            result += "\\u007f";
        } else {
            result += c;
        }
    }
    result += '\n';
    return result;
}

}  // namespace

std::string jsonReport(const kwCore::SharedString& device, const DiscInfo& info,
                       const DiscData& data, const JsonParts& parts) {
    const DiscToc& toc = info.toc;
    const int count = tocTrackCount(toc);
    const int32_t length = discLength(toc);
    Json document;
    document["device"] = text(device);
    document["firstTrack"] = toc.FirstTrack;
    document["lastTrack"] = toc.LastTrack;
    document["trackCount"] = count;
    document["sectors"] = frameAddress(tocLeadOut(toc));
    document["length"] = Json{{"frames", length},
                              {"seconds", length / kFramesPerSecond},
                              {"msf", text(formatTime(length, TimeFormat{}))}};
    document["freedb"] = hex8(info.discId);
    document["cddbQuery"] = text(cddbQuery(toc, info.discId));
    MusicBrainzDisc disc;
    if (findMusicBrainzDisc(toc, disc)) {
        document["musicbrainz"] = musicBrainzObject(disc);
    }
    AccurateRipId id;
    if (findAccurateRipId(toc, info.discId, id)) {
        document["accurateRip"] = accurateRipObject(id);
    }
    kwCore::SharedString ctdbId;
    if (findCtdbId(toc, ctdbId)) {
        document["ctdb"] = Json{{"tocId", text(ctdbId)}};
    }
    if (data.catalogNumber[0] != '\0') {
        document["mcn"] = data.catalogNumber;
    }
    Json cdText = cdTextObject(toc, data.cdText);
    if (!cdText.is_null()) {
        document["cdText"] = std::move(cdText);
    }
    Json tracks = Json::array();
    for (int k = 0; k < count; ++k) {
        tracks.push_back(trackObject(toc, data, k));
        addGaps(tracks.back(), data.gaps.track[k], parts);
    }
    if (parts.verification != nullptr) {
        // The read's tracks are the audio tracks, numbered from the TOC's first.
        const std::vector<TrackResult>& read = parts.verification->read.tracks;
        for (size_t t = 0; t < read.size(); ++t) {
            const int k = read[t].track.number - toc.FirstTrack;
            if (k >= 0 && k < count) {
                addTrackVerification(tracks[static_cast<size_t>(k)], *parts.verification, t);
            }
        }
    }
    document["tracks"] = std::move(tracks);
    if (parts.verification != nullptr) {
        addDiscVerification(document, *parts.verification);
    }
    return serialise(document);
}

std::string jsonError(const kwCore::SharedString& message) {
    return serialise(Json{{"error", text(message)}});
}

void printJson(const std::string& document) {
    kwCore::platform::writeStandardOutputRaw(document.data(), document.size());
}

}  // namespace zemtra
