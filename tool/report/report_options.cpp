#include "report/report_options.h"

namespace zemtra {

bool ReportOptions::take(const kwCore::SharedString& argument) {
    if (argument.isEmpty()) {
        return true;
    }
    if (argument.charAt(0) != '-') {
        drive = argument;
        return true;
    }
    // The switches in the order they are compared; "-msf" sets a flag that
    // is always on already.
    const struct {
        const char* text;
        bool* flag;
    } switches[] = {
        {"-toc", &toc},
        {"-tocstart", &tocStart},
        {"-toclength", &tocLength},
        {"-tocend", &tocEnd},
        {"-tocctrl", &tocCtrl},
        {"-tocidx", &tocIdx},
        {"-cdid", &cdid},
        {"-mbid", &mbid},
        {"-mbtoc", &mbtoc},
        {"-length", &length},
        {"-tracks", &tracks},
        {"-msf", &timeFormat.msf},
        {"-secs", &timeFormat.secs},
        {"-frames", &timeFormat.frames},
        {"-mburl", &mbUrl},
        {"-mbws", &mbWs},
        {"-arid", &arid},
        {"-arurl", &arUrl},
        {"-cddb", &cddb},
        {"-mcn", &mcn},
        {"-tocisrc", &tocIsrc},
        {"-cdtext", &cdText},
        {"-tocpregap", &tocPregap},
        {"-tocindex", &tocIndex},
        {"-cue", &cue},
        {"-cuetracks", &cueTracks},
    };
    for (const auto& entry : switches) {
        if (argument.equals(entry.text)) {
            *entry.flag = true;
            return true;
        }
    }
    return false;
}

void ReportOptions::normaliseDrive() {
    if (drive.getLength() < 2) {
        drive.append(":");
    }
}

void ReportOptions::applyDefaultColumns() {
    if (toc && !tocStart && !tocLength && !tocEnd) {
        tocStart = true;
        tocLength = true;
    }
}

DiscDataRequest ReportOptions::dataRequest() const noexcept {
    DiscDataRequest request;
    const bool sheet = cue || cueTracks;
    request.catalogNumber = mcn || sheet;
    request.isrcs = (toc && tocIsrc) || sheet;
    request.cdText = cdText || sheet;
    request.gaps = (toc && (tocPregap || tocIndex)) || sheet;
    return request;
}

}  // namespace zemtra
