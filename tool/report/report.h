#pragma once

#include "disc/disc_info.h"
#include "report/report_options.h"

namespace zemtra {

// printReport prints the report lines that options ask for about the disc
// in info and what it carries in data, in a fixed order: identifier,
// MusicBrainz id, lookup TOC and addresses, AccurateRip id and address,
// CDDB query, catalog number, length, track count, CD-TEXT, table.
void printReport(const ReportOptions& options, const DiscInfo& info,
                 const DiscData& data = DiscData{});

}  // namespace zemtra
