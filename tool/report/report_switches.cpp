#include "report/report_switches.h"

namespace zemtra {

namespace {

// setFlag turns on the option Flag.
template <bool ReportOptions::*Flag>
bool setFlag(ReportOptions& options, std::string_view) {
    options.*Flag = true;
    return true;
}

// setTimeFlag turns on the time form Flag.
template <bool TimeFormat::*Flag>
bool setTimeFlag(ReportOptions& options, std::string_view) {
    options.timeFormat.*Flag = true;
    return true;
}

// kLargestOffset is the largest read offset, in samples either way.
constexpr int kLargestOffset = 5000;

// setOffset takes the read offset: an optional sign, then decimal digits,
// within kLargestOffset.
bool setOffset(ReportOptions& options, std::string_view value) {
    const bool negative = value.starts_with('-');
    if (negative || value.starts_with('+')) {
        value.remove_prefix(1);
    }
    if (value.empty()) {
        return false;
    }
    int offset = 0;
    for (const char c : value) {
        if (c < '0' || c > '9') {
            return false;
        }
        offset = offset * 10 + (c - '0');
        if (offset > kLargestOffset) {
            return false;
        }
    }
    options.offset = negative ? -offset : offset;
    options.offsetGiven = true;
    return true;
}

// setArDb takes the AccurateRip record's file name, which may not be empty.
bool setArDb(ReportOptions& options, std::string_view value) {
    if (value.empty()) {
        return false;
    }
    // The value runs to the end of the argument's text.
    options.arDb = kwCore::SharedString(value.data());
    return true;
}

// kSwitches is the switch table. The summaries are the first sentences of
// the switches' descriptions in the manual, which the tests compare.
constexpr ReportSwitch kSwitches[] = {
    {"-toc", setFlag<&ReportOptions::toc>, "Print the per-track table."},
    {"-tocstart", setFlag<&ReportOptions::tocStart>, "Table column: the track's start."},
    {"-toclength", setFlag<&ReportOptions::tocLength>, "Table column: the track's length."},
    {"-tocend", setFlag<&ReportOptions::tocEnd>, "Table column: the track's end."},
    {"-tocidx", setFlag<&ReportOptions::tocIdx>,
     "Table column: the track number as the TOC gives it."},
    {"-tocctrl", setFlag<&ReportOptions::tocCtrl>,
     "Table column: the track's control nibble (4 marks a data track)."},
    {"-cdid", setFlag<&ReportOptions::cdid>, "Print the disc identifier line."},
    {"-mbid", setFlag<&ReportOptions::mbid>, "Print the MusicBrainz disc id line."},
    {"-mbtoc", setFlag<&ReportOptions::mbtoc>, "Print the MusicBrainz lookup TOC line."},
    {"-mburl", setFlag<&ReportOptions::mbUrl>, "Print the MusicBrainz submission address line."},
    {"-mbws", setFlag<&ReportOptions::mbWs>,
     "Print the MusicBrainz web-service lookup address line."},
    {"-arid", setFlag<&ReportOptions::arid>, "Print the AccurateRip disc id line."},
    {"-arurl", setFlag<&ReportOptions::arUrl>,
     "Print the address line of the disc's AccurateRip record."},
    {"-cddb", setFlag<&ReportOptions::cddb>, "Print the CDDB query line."},
    {"-tracks", setFlag<&ReportOptions::tracks>, "Print the track count line."},
    {"-length", setFlag<&ReportOptions::length>, "Print the disc's playing length line."},
    {"-msf", setTimeFlag<&TimeFormat::msf>, "Times as minutes:seconds:frames."},
    {"-secs", setTimeFlag<&TimeFormat::secs>, "Add whole seconds to every time."},
    {"-frames", setTimeFlag<&TimeFormat::frames>, "Add the frame count to every time."},
    {"-mcn", setFlag<&ReportOptions::mcn>, "Print the disc's media catalog number line."},
    {"-tocisrc", setFlag<&ReportOptions::tocIsrc>, "Table column: the track's ISRC."},
    {"-cdtext", setFlag<&ReportOptions::cdText>, "Print the disc's CD-TEXT lines."},
    {"-tocpregap", setFlag<&ReportOptions::tocPregap>,
     "Table column: the track's pregap (INDEX 00)."},
    {"-tocindex", setFlag<&ReportOptions::tocIndex>,
     "Table column, last: the track's index starts beyond INDEX 01."},
    {"-cue", setFlag<&ReportOptions::cue>,
     "Print only the disc's cue sheet, for a single-file image."},
    {"-cuetracks", setFlag<&ReportOptions::cueTracks>,
     "Print only the cue sheet of one file per track, gaps appended."},
    {"-ctdbid", setFlag<&ReportOptions::ctdbId>, "Print the CUETools database TOC id line."},
    {"-arcrc", setFlag<&ReportOptions::arCrc>,
     "Read the disc's audio and print each audio track's checksums."},
    {"-offset=N", setOffset, "The drive's read offset in samples, -5000 to 5000 (default 0)."},
    {"-ardb=FILE", setArDb, "Check the checksums against the AccurateRip record in FILE."},
    {"-findoffset", setFlag<&ReportOptions::findOffset>,
     "Find the drive's read offset from the same read."},
    {"-json", setFlag<&ReportOptions::json>,
     "Print the whole report as one JSON document instead of the lines."},
};

}  // namespace

std::span<const ReportSwitch> reportSwitches() noexcept {
    return kSwitches;
}

const ReportSwitch* findReportSwitch(std::string_view argument, std::string_view& value,
                                     std::span<const ReportSwitch> table) noexcept {
    for (const ReportSwitch& entry : table) {
        const size_t equals = entry.text.find('=');
        if (equals == std::string_view::npos) {
            if (argument == entry.text) {
                value = {};
                return &entry;
            }
        } else if (argument.starts_with(entry.text.substr(0, equals + 1))) {
            value = argument.substr(equals + 1);
            return &entry;
        }
    }
    return nullptr;
}

}  // namespace zemtra
