#include "report/report_options.h"

#include "report/report_switches.h"

namespace zemtra {

bool ReportOptions::take(const kwCore::SharedString& argument) {
    if (argument.isEmpty()) {
        return true;
    }
    if (argument.charAt(0) != '-') {
        drive = argument;
        return true;
    }
    std::string_view value;
    const ReportSwitch* entry = findReportSwitch(argument.cStr(), value);
    return entry != nullptr && entry->set(*this, value);
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
    // The cue sheets are text: beside -json they read nothing.
    const bool sheet = (cue || cueTracks) && !json;
    request.catalogNumber = mcn || sheet;
    // The table's reading switches need -toc, except in the JSON document.
    const bool table = toc || json;
    request.isrcs = (table && tocIsrc) || sheet;
    request.cdText = cdText || sheet;
    request.gaps = (table && (tocPregap || tocIndex)) || sheet;
    return request;
}

}  // namespace zemtra
