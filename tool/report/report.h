#pragma once

#include "disc/disc_info.h"
#include "report/report_options.h"
#include "text/string_array.h"

namespace zemtra {

// printReport prints the report lines that options ask for about the disc
// in info and what it carries in data, in a fixed order: identifier,
// MusicBrainz id, lookup TOC and addresses, AccurateRip id and address,
// CDDB query, catalog number, length, track count, CD-TEXT, table.
void printReport(const ReportOptions& options, const DiscInfo& info,
                 const DiscData& data = DiscData{});

// runReport runs the tool on a split command line (element 0 the program,
// then the arguments): it gathers the switches and the drive, reads the
// drive once and prints the report. Without arguments it prints the usage
// text; the first argument that asks for the help or the version (before
// any unknown switch) prints that instead, and nothing is read. Every
// message goes to standard output. Returns the exit status: 0 after the
// usage text, the help, the version or a report, 1 after an error message.
int runReport(const kwCore::StringArray& arguments);

}  // namespace zemtra
