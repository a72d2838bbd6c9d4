#include "report/report.h"

#include "disc/toc_tracks.h"
#include "disc/track_timing.h"
#include "ids/accuraterip_id.h"
#include "ids/cddb_query.h"
#include "ids/ctdb_id.h"
#include "ids/musicbrainz_id.h"
#include "ids/musicbrainz_url.h"
#include "text/console_output.h"

namespace zemtra {

namespace {

void printTimeColumn(int32_t frames, const TimeFormat& format) {
    kwCore::printFormatted(" %15s", formatTime(frames, format).cStr());
}

// printIndexColumn prints a track's index starts beyond INDEX 01 as
// " <n>@<mmm:ss:ff>" each (" <n>@?" for one not settled), " -" when it
// has none, " ?" when they are unknown.
void printIndexColumn(const TrackGaps& gaps) {
    if (!gaps.indexesKnown) {
        kwCore::printFormatted(" ?");
        return;
    }
    if (gaps.indexStarts.empty()) {
        kwCore::printFormatted(" -");
        return;
    }
    for (size_t i = 0; i < gaps.indexStarts.size(); ++i) {
        const int32_t start = gaps.indexStarts[i];
        kwCore::printFormatted(
            " %d@%s", static_cast<int>(i) + 2,
            start == kUnknownFrames ? "?" : formatTime(start, TimeFormat{}).cStr());
    }
}

void printTableRow(const ReportOptions& options, const DiscToc& toc, const DiscData& data, int k) {
    kwCore::printFormatted("%3d:", k + 1);
    if (options.tocStart) {
        printTimeColumn(trackStart(toc, k), options.timeFormat);
    }
    if (options.tocLength) {
        printTimeColumn(trackLength(toc, k), options.timeFormat);
    }
    if (options.tocEnd) {
        printTimeColumn(trackEnd(toc, k), options.timeFormat);
    }
    const TrackGaps& gaps = data.gaps.track[k];
    if (options.tocPregap) {
        if (gaps.pregap == kUnknownFrames) {
            kwCore::printFormatted(" %15s", "?");
        } else {
            printTimeColumn(gaps.pregap, options.timeFormat);
        }
    }
    const TocEntry& entry = toc.TrackData[k];
    if (options.tocCtrl) {
        kwCore::printFormatted(" %04x", static_cast<unsigned>(entry.Control));
    }
    if (options.tocIdx) {
        kwCore::printFormatted(" %4d", static_cast<int>(entry.TrackNumber));
    }
    if (options.tocIsrc) {
        kwCore::printFormatted(" %12s", data.isrc[k][0] != '\0' ? data.isrc[k] : "-");
    }
    if (options.tocIndex) {
        printIndexColumn(gaps);
    }
    kwCore::printFormatted("\r\n");
}

// printMusicBrainzLines prints the MusicBrainz lines that options ask for:
// id, lookup TOC, submission and web-service addresses. A disc without an
// audio track to identify has none of them.
void printMusicBrainzLines(const ReportOptions& options, const DiscToc& toc) {
    MusicBrainzDisc disc;
    if ((!options.mbid && !options.mbtoc && !options.mbUrl && !options.mbWs) ||
        !findMusicBrainzDisc(toc, disc)) {
        return;
    }
    if (options.mbid) {
        kwCore::printFormatted("MBID: %s\r\n", musicBrainzId(disc).cStr());
    }
    if (options.mbtoc) {
        kwCore::printFormatted("MBTOC: %s\r\n", musicBrainzLookupToc(disc).cStr());
    }
    if (options.mbUrl) {
        kwCore::printFormatted("MBURL: %s\r\n", musicBrainzSubmissionUrl(disc).cStr());
    }
    if (options.mbWs) {
        kwCore::printFormatted("MBWS: %s\r\n", musicBrainzWebServiceUrl(disc).cStr());
    }
}

// printAccurateRipAndCddbLines prints the AccurateRip id and address lines
// that options ask for (not for a disc without an audio track), the CUETools
// database id (not for a TOC without one) and the CDDB query line, which
// every disc has.
void printAccurateRipAndCddbLines(const ReportOptions& options, const DiscInfo& info) {
    AccurateRipId id;
    if ((options.arid || options.arUrl) && findAccurateRipId(info.toc, info.discId, id)) {
        if (options.arid) {
            kwCore::printFormatted("ARID: %s\r\n", accurateRipId(id).cStr());
        }
        if (options.arUrl) {
            kwCore::printFormatted("ARURL: %s\r\n", accurateRipUrl(id).cStr());
        }
    }
    kwCore::SharedString ctdbId;
    if (options.ctdbId && findCtdbId(info.toc, ctdbId)) {
        kwCore::printFormatted("CTDBID: %s\r\n", ctdbId.cStr());
    }
    if (options.cddb) {
        kwCore::printFormatted("CDDB: %s\r\n", cddbQuery(info.toc, info.discId).cStr());
    }
}

// printCatalogNumberLine prints the MCN line when it is asked for and the
// disc has a catalog number.
void printCatalogNumberLine(const ReportOptions& options, const DiscData& data) {
    if (options.mcn && data.catalogNumber[0] != '\0') {
        kwCore::printFormatted("MCN: %s\r\n", data.catalogNumber);
    }
}

// printCdTextLines prints, when asked for, each CD-TEXT field the disc has:
// the album's, then those of the TOC's tracks in track order.
void printCdTextLines(const ReportOptions& options, const DiscToc& toc, const DiscData& data) {
    if (!options.cdText) {
        return;
    }
    const CdText& text = data.cdText;
    for (int field = 0; field < kCdTextFieldCount; ++field) {
        if (!text.text[0][field].isEmpty()) {
            kwCore::printFormatted("Album %s: %s\r\n", kCdTextFieldNames[field],
                                   text.text[0][field].cStr());
        }
    }
    const int count = tocTrackCount(toc);
    for (int k = 0; k < count; ++k) {
        const int track = toc.FirstTrack + k;
        for (int field = 0; field < kCdTextFieldCount && track <= CdText::kMaxTrack; ++field) {
            if (!text.text[track][field].isEmpty()) {
                kwCore::printFormatted("Track %d %s: %s\r\n", track, kCdTextFieldNames[field],
                                       text.text[track][field].cStr());
            }
        }
    }
}

}  // namespace

void printReport(const ReportOptions& options, const DiscInfo& info, const DiscData& data) {
    const DiscToc& toc = info.toc;
    const int trackCount = tocTrackCount(toc);
    if (options.cdid) {
        kwCore::printFormatted("CDID: %08lx\r\n", static_cast<unsigned long>(info.discId));
    }
    printMusicBrainzLines(options, toc);
    printAccurateRipAndCddbLines(options, info);
    printCatalogNumberLine(options, data);
    if (options.length) {
        kwCore::printFormatted("Length: %s\r\n",
                               formatTime(discLength(toc), options.timeFormat).cStr());
    }
    if (options.tracks) {
        kwCore::printFormatted("Tracks: %d\r\n", trackCount);
    }
    printCdTextLines(options, toc, data);
    if (options.toc) {
        for (int k = 0; k < trackCount; ++k) {
            printTableRow(options, toc, data, k);
        }
    }
}

}  // namespace zemtra
