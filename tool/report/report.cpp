#include "report/report.h"

#include "disc/toc_tracks.h"
#include "disc/track_timing.h"
#include "ids/accuraterip_id.h"
#include "ids/cddb_query.h"
#include "ids/ctdb_id.h"
#include "ids/disc_id.h"
#include "ids/musicbrainz_id.h"
#include "ids/musicbrainz_url.h"
#include "image/disc_image.h"
#include "image/image_sector_read.h"
#include "platform/console.h"
#include "report/cue_sheet.h"
#include "report/json_report.h"
#include "report/usage_text.h"
#include "report/version.h"
#include "text/console_output.h"
#include "verify/audio_tracks.h"
#include "verify/read_progress.h"
#include "verify/verification_report.h"

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

// printError prints the error message: as the line "Error: " message end,
// or with -json as the error document, which has no end. Returns the exit
// status 1.
int printError(const ReportOptions& options, const kwCore::SharedString& message, const char* end) {
    if (options.json) {
        printJson(jsonError(message));
    } else {
        kwCore::printFormatted("Error: %s%s\r\n", message.cStr(), end);
    }
    return 1;
}

// AudioCheck is the part of a run that reads the disc's audio: the record
// it is checked against, and what the read found and the record says of it.
struct AudioCheck {
    std::vector<AccurateRipChunk> record;
    bool recordOfDisc = true;
    bool read = false;
    Verification verification;
};

// checkAudio reads the audio of the disc with toc through read as options
// ask, after reading the record and making sure that it is the disc's own.
void checkAudio(const ReportOptions& options, const DiscToc& toc, const SectorRead& read,
                AudioCheck& check) {
    AccurateRipId id;
    if (!options.arDb.isEmpty() &&
        (!loadAccurateRipRecord(options.arDb, check.record) ||
         !findAccurateRipId(toc, computeDiscId(toc), id) || !isRecordOfDisc(check.record, id))) {
        check.recordOfDisc = false;
        return;
    }
    AudioLayout layout;
    findAudioLayout(toc, layout);
    ReadProgress progress;
    VerifyRequest request;
    request.offset = options.offset;
    request.record = options.arDb.isEmpty() ? nullptr : &check.record;
    request.search = options.findOffset;
    request.progress = [&progress](int track, double fraction, int64_t samples) {
        progress.update(track, fraction, samples);
    };
    check.verification = judgeVerification(verifyDisc(layout, request, read), request.record,
                                           options.findOffset);
    check.read = true;
}

// readImage takes the disc from the cue sheet that options name: its TOC
// and what the disc carries come from the sheet and the lengths of its
// files; its audio, when asked for, from the files as a drive with read
// offset 0 would deliver it. Returns false after printing the error when
// the image cannot be opened.
bool readImage(const ReportOptions& options, DiscInfo& info, DiscData& data, AudioCheck& check) {
    DiscImage image;
    std::string message;
    if (!image.open(options.drive.cStr(), message)) {
        printError(options, kwCore::SharedString(message.c_str()), ".");
        return false;
    }
    image.describe(info, data, options.dataRequest());
    if (options.readsAudio()) {
        std::string failure;
        checkAudio(options, info.toc, imageSectorRead(image, failure), check);
        if (!failure.empty()) {
            const std::string note = "Note: " + failure + ".\n";
            kwCore::platform::writeStandardError(note.data(), note.size());
        }
    }
    return true;
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

int runReport(const kwCore::StringArray& arguments) {
    if (arguments.count() < 2) {
        kwCore::printFormatted("%s", usageText().c_str());
        return 0;
    }
    // Every argument is taken before an unknown one is reported, so that
    // -json anywhere chooses the error's form.
    ReportOptions options;
    int32_t unknown = 0;
    for (int32_t i = 1; i < arguments.count(); ++i) {
        // The first help or version word wins, unless an unknown switch
        // stands before it.
        switch (unknown == 0 ? infoRequest(arguments[i].cStr()) : InfoRequest::none) {
            case InfoRequest::help:
                kwCore::printFormatted("%s", helpText().c_str());
                return 0;
            case InfoRequest::version:
                kwCore::printFormatted("%s", versionText().c_str());
                return 0;
            case InfoRequest::none:
                break;
        }
        if (!options.take(arguments[i]) && unknown == 0) {
            unknown = i;
        }
    }
    if (unknown != 0) {
        kwCore::SharedString message("Unknown parameter ");
        message.append(arguments[unknown]);
        return printError(options, message, "");
    }
    if (options.drive.isEmpty()) {
        return printError(options, "No drive specified", ".");
    }
    options.normaliseDrive();
    if (options.findOffset && options.arDb.isEmpty()) {
        return printError(options, "-findoffset needs -ardb=FILE", ".");
    }

    DiscInfo info;
    DiscData data;
    // The record is read, and checked against the disc, once the TOC is
    // known and before any audio is read.
    AudioCheck check;
    OpenDeviceTask task;
    if (options.readsAudio()) {
        task = [&](kwCore::platform::CdDevice device, const DiscToc& toc) {
            checkAudio(options, toc, cdSectorRead(device), check);
        };
    }
    if (isImageArgument(options.drive)) {
        if (options.offsetGiven) {
            return printError(options,
                              "-offset= is for a drive: an image's samples are checked as they are",
                              ".");
        }
        if (!readImage(options, info, data, check)) {
            return 1;
        }
    } else {
        info.read(options.drive, options.dataRequest(), data, task);
    }
    if (!info.valid) {
        return printError(options, "Can't read disk TOC", ".");
    }
    if (!check.recordOfDisc) {
        kwCore::SharedString message(options.arDb);
        message.append(" is not the AccurateRip record of this disc");
        return printError(options, message, ".");
    }
    if (options.json) {
        JsonParts parts;
        parts.pregaps = options.tocPregap;
        parts.indexes = options.tocIndex;
        parts.verification = check.read ? &check.verification : nullptr;
        printJson(jsonReport(options.drive, info, data, parts));
        return check.read ? check.verification.exitStatus() : 0;
    }
    if (options.cue || options.cueTracks) {
        const CueLayout layout =
            options.cueTracks ? CueLayout::filePerTrack : CueLayout::singleFile;
        const std::string comment = std::string("zemtra ") + kZemtraVersion;
        kwCore::printFormatted("%s", cueSheet(info, data, layout, comment.c_str()).cStr());
        return 0;
    }
    options.applyDefaultColumns();
    printReport(options, info, data);
    if (!check.read) {
        return 0;
    }
    printVerification(check.verification);
    return check.verification.exitStatus();
}

}  // namespace zemtra
