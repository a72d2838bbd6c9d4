#pragma once

#include <span>
#include <string_view>

#include "report/report_options.h"

namespace zemtra {

// ReportSwitch is one row of the switch table: a switch as it is typed,
// what it sets in the options, and its one-line summary for the help.
struct ReportSwitch {
    // text is the switch, "-toc". A switch that takes a value ends in "="
    // and the value's name, "-offset=N": it matches every argument that
    // begins with its text up to and including the "=".
    std::string_view text;
    // set applies the switch to options, given the value after the "=" (empty
    // for a switch without one). Returns false for a value it does not take.
    bool (*set)(ReportOptions& options, std::string_view value);
    // summary says in one line what the switch prints or changes.
    std::string_view summary;
};

// reportSwitches returns the switch table, in the order the usage text and
// the help list the switches.
std::span<const ReportSwitch> reportSwitches() noexcept;

// findReportSwitch returns the row of table (by default the switch table)
// that argument names, with value set to what follows the "=" of a switch
// that takes one; nullptr when argument names none.
const ReportSwitch* findReportSwitch(
    std::string_view argument, std::string_view& value,
    std::span<const ReportSwitch> table = reportSwitches()) noexcept;

}  // namespace zemtra
