// report_probe prints the report of a disc built in memory, so that the
// report's bytes can be compared on every platform without a drive.
//   report_probe <disc> <switches...>
// disc: "enhanced" (ten audio tracks and a data track), "example" (the
// three-track worked example, its third track data), "dataonly" (two data
// tracks) or "late" (four audio tracks, the first after the usual 150
// frames).
#include <cstring>

#include "disc_id.h"
#include "report.h"
#include "toc_builder.h"

int main(int argc, char** argv) {
    using zemtra::test::makeToc;
    if (argc < 2) {
        return 2;
    }
    zemtra::DiscInfo info;
    if (std::strcmp(argv[1], "enhanced") == 0) {
        // Starts at sectors 150, 12767, ... 247455, the data track at 281735.
        info.toc = makeToc({{0, 2, 0},
                            {2, 50, 17},
                            {8, 59, 62},
                            {14, 3, 0},
                            {20, 45, 35},
                            {26, 14, 65},
                            {33, 44, 65},
                            {40, 57, 65},
                            {47, 50, 10},
                            {54, 59, 30},
                            {62, 36, 35},
                            {66, 40, 0}});
        info.toc.TrackData[10].Control = 4;
    } else if (std::strcmp(argv[1], "example") == 0) {
        info.toc = zemtra::test::workedExampleToc();
        info.toc.TrackData[2].Control = 4;  // as in worked_example.disc
    } else if (std::strcmp(argv[1], "dataonly") == 0) {
        info.toc = makeToc({{0, 2, 0}, {5, 0, 0}, {9, 0, 0}});
        info.toc.TrackData[0].Control = 4;
        info.toc.TrackData[1].Control = 6;
    } else if (std::strcmp(argv[1], "late") == 0) {
        // Starts at frames 183, 107633, 179103, 284840, the lead-out at 356440.
        info.toc = makeToc({{0, 2, 33}, {23, 55, 8}, {39, 48, 3}, {63, 17, 65}, {79, 12, 40}});
    } else {
        return 2;
    }
    info.discId = zemtra::computeDiscId(info.toc);
    info.valid = true;

    zemtra::ReportOptions options;
    for (int i = 2; i < argc; ++i) {
        if (!options.take(argv[i])) {
            return 2;
        }
    }
    options.applyDefaultColumns();
    zemtra::printReport(options, info);
    return 0;
}
