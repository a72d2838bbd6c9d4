#include "report/run_report.h"

#include <string>
#include <vector>

#include "ids/accuraterip_id.h"
#include "ids/disc_id.h"
#include "image/disc_image.h"
#include "image/image_sector_read.h"
#include "platform/console.h"
#include "report/cue_sheet.h"
#include "report/json_report.h"
#include "report/report.h"
#include "report/usage_text.h"
#include "report/version.h"
#include "text/console_output.h"
#include "verify/audio_tracks.h"
#include "verify/read_progress.h"
#include "verify/verification_report.h"

namespace zemtra {

namespace {

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
    check.verification =
        judgeVerification(verifyDisc(layout, request, read), request.record, options.findOffset);
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
