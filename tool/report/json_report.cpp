#include "report/json_report.h"

#include <nlohmann/json.hpp>

#include "disc/toc_tracks.h"
#include "disc/track_timing.h"
#include "ids/accuraterip_id.h"
#include "ids/cddb_query.h"
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
                       const DiscData& data) {
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
    }
    document["tracks"] = std::move(tracks);
    return serialise(document);
}

std::string jsonError(const kwCore::SharedString& message) {
    return serialise(Json{{"error", text(message)}});
}

void printJson(const std::string& document) {
    kwCore::platform::writeStandardOutputRaw(document.data(), document.size());
}

}  // namespace zemtra
