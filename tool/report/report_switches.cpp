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
