#include "report/report_options.h"

#include <cstring>

namespace zemtra {

namespace {

// kLargestOffset is the largest read offset, in samples either way.
constexpr int kLargestOffset = 5000;

// parseOffset reads text as an offset: an optional sign, then decimal
// digits, within kLargestOffset.
bool parseOffset(const char* text, int& offset) {
    const bool negative = *text == '-';
    if (*text == '-' || *text == '+') {
        ++text;
    }
    if (*text == '\0') {
        return false;
    }
    int value = 0;
    for (; *text != '\0'; ++text) {
        if (*text < '0' || *text > '9') {
            return false;
        }
        value = value * 10 + (*text - '0');
        if (value > kLargestOffset) {
            return false;
        }
    }
    offset = negative ? -value : value;
    return true;
}

}  // namespace

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
        {"-ctdbid", &ctdbId},
        {"-arcrc", &arCrc},
        {"-findoffset", &findOffset},
        {"-json", &json},
    };
    for (const auto& entry : switches) {
        if (argument.equals(entry.text)) {
            *entry.flag = true;
            return true;
        }
    }
    // The switches that carry a value after "=".
    const char* text = argument.cStr();
    constexpr char kOffset[] = "-offset=";
    constexpr char kArDb[] = "-ardb=";
    if (std::strncmp(text, kOffset, sizeof kOffset - 1) == 0) {
        if (!parseOffset(text + sizeof kOffset - 1, offset)) {
            return false;
        }
        offsetGiven = true;
        return true;
    }
    if (std::strncmp(text, kArDb, sizeof kArDb - 1) == 0 && text[sizeof kArDb - 1] != '\0') {
        arDb = kwCore::SharedString(text + sizeof kArDb - 1);
        return true;
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
    // The table's reading switches need -toc, except in the JSON document.
    const bool table = toc || json;
    request.isrcs = (table && tocIsrc) || sheet;
    request.cdText = cdText || sheet;
    request.gaps = (table && (tocPregap || tocIndex)) || sheet;
    return request;
}

}  // namespace zemtra
