#include "report/report.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "ids/disc_id.h"
#include "tool/toc_builder.h"

namespace zemtra {
namespace {

std::string driveAfter(std::initializer_list<const char*> arguments) {
    ReportOptions options;
    for (const char* argument : arguments) {
        EXPECT_TRUE(options.take(kwCore::SharedString(argument))) << argument;
    }
    options.normaliseDrive();
    return options.drive.cStr();
}

TEST(ReportOptionsTest, DriveForms) {
    EXPECT_EQ(driveAfter({"D"}), "D:");
    EXPECT_EQ(driveAfter({"d"}), "d:");
    EXPECT_EQ(driveAfter({"D:"}), "D:");
    EXPECT_EQ(driveAfter({"D:\\"}), "D:\\");
    EXPECT_EQ(driveAfter({"/dev/sr0"}), "/dev/sr0");
    EXPECT_EQ(driveAfter({"/dev/sr0:"}), "/dev/sr0:");
    EXPECT_EQ(driveAfter({"/toc"}), "/toc");                     // no hyphen: a drive, not a switch
    EXPECT_EQ(driveAfter({"/dev/sr0", "-toc", "E", ""}), "E:");  // the last drive wins
    EXPECT_EQ(driveAfter({"E", ""}), "E:");                      // an empty argument is skipped

    // An empty but non-null element, as a pair of double quotes leaves.
    ReportOptions options;
    ASSERT_TRUE(options.take(kwCore::SharedString("E")));
    const kwCore::SharedString emptyBlock = kwCore::SharedString("\"\"").mid(1, 0);
    ASSERT_FALSE(emptyBlock.isNull());
    ASSERT_TRUE(options.take(emptyBlock));
    EXPECT_STREQ(options.drive.cStr(), "E");
}

// flags lists every switch flag of options, in switch-table order.
std::vector<bool> flags(const ReportOptions& o) {
    return {o.toc,
            o.tocStart,
            o.tocLength,
            o.tocEnd,
            o.tocCtrl,
            o.tocIdx,
            o.cdid,
            o.mbid,
            o.mbtoc,
            o.length,
            o.tracks,
            o.timeFormat.msf,
            o.timeFormat.secs,
            o.timeFormat.frames,
            o.mbUrl,
            o.mbWs,
            o.arid,
            o.arUrl,
            o.cddb,
            o.mcn,
            o.tocIsrc,
            o.cdText,
            o.tocPregap,
            o.tocIndex,
            o.cue,
            o.cueTracks,
            o.json};
}

TEST(ReportOptionsTest, EachSwitchSetsItsOwnFlagOnly) {
    const char* const switches[] = {
        "-toc",    "-tocstart",  "-toclength", "-tocend", "-tocctrl",   "-tocidx", "-cdid",
        "-mbid",   "-mbtoc",     "-length",    "-tracks", "-msf",       "-secs",   "-frames",
        "-mburl",  "-mbws",      "-arid",      "-arurl",  "-cddb",      "-mcn",    "-tocisrc",
        "-cdtext", "-tocpregap", "-tocindex",  "-cue",    "-cuetracks", "-json"};
    const std::vector<bool> initial = flags(ReportOptions{});
    std::vector<bool> onlyMsf(std::size(switches), false);
    onlyMsf[11] = true;
    EXPECT_EQ(initial, onlyMsf);
    for (size_t i = 0; i < std::size(switches); ++i) {
        ReportOptions options;
        ASSERT_TRUE(options.take(kwCore::SharedString(switches[i])));
        std::vector<bool> wanted = initial;
        wanted[i] = true;
        EXPECT_EQ(flags(options), wanted) << switches[i];
        EXPECT_TRUE(options.drive.isNull()) << switches[i];
    }
}

TEST(ReportOptionsTest, NearMissesAreUnknownAndChangeNothing) {
    for (const char* argument : {"-TOC", "-to", "-tocs", "--toc", "-", "-toc\xE9", "-cdid ",
                                 "-mbur", "-ar", "-aridx", "-CDDB", "-JSON", "-jso"}) {
        ReportOptions options;
        EXPECT_FALSE(options.take(kwCore::SharedString(argument))) << argument;
        EXPECT_EQ(flags(options), flags(ReportOptions{})) << argument;
        EXPECT_TRUE(options.drive.isNull()) << argument;
    }
}

TEST(ReportOptionsTest, DiscDataIsAskedForOnlyByItsSwitches) {
    ReportOptions options;
    EXPECT_FALSE(options.dataRequest().any());
    options.tocIsrc = true;  // a column without the table reads nothing
    EXPECT_FALSE(options.dataRequest().any());
    options.toc = true;
    EXPECT_TRUE(options.dataRequest().isrcs);
    EXPECT_FALSE(options.dataRequest().catalogNumber || options.dataRequest().cdText);
    ReportOptions codes;
    codes.mcn = codes.cdText = true;
    EXPECT_TRUE(codes.dataRequest().catalogNumber && codes.dataRequest().cdText);
    EXPECT_FALSE(codes.dataRequest().isrcs);
    // The document has each track's ISRC without the table.
    ReportOptions document;
    document.json = document.tocIsrc = true;
    EXPECT_TRUE(document.dataRequest().isrcs);
    document.tocIsrc = false;
    EXPECT_FALSE(document.dataRequest().any());

    // The ISRC column does not count for the default columns.
    options.applyDefaultColumns();
    EXPECT_TRUE(options.tocStart && options.tocLength);

    // The gap columns read gaps with the table only, and count for no
    // default; a cue sheet reads everything it holds.
    ReportOptions gaps;
    gaps.tocPregap = gaps.tocIndex = true;
    EXPECT_FALSE(gaps.dataRequest().any());
    for (bool* column : {&gaps.tocPregap, &gaps.tocIndex}) {
        ReportOptions one;
        one.toc = true;
        *(column == &gaps.tocPregap ? &one.tocPregap : &one.tocIndex) = true;
        const DiscDataRequest request = one.dataRequest();
        EXPECT_TRUE(request.gaps);
        EXPECT_FALSE(request.catalogNumber || request.isrcs || request.cdText);
        one.applyDefaultColumns();
        EXPECT_TRUE(one.tocStart && one.tocLength);
    }
    for (const char* sheet : {"-cue", "-cuetracks"}) {
        ReportOptions one;
        ASSERT_TRUE(one.take(kwCore::SharedString(sheet)));
        const DiscDataRequest request = one.dataRequest();
        EXPECT_TRUE(request.gaps && request.catalogNumber && request.isrcs && request.cdText)
            << sheet;
        // Beside -json a sheet is a text switch: it reads nothing.
        ASSERT_TRUE(one.take("-json"));
        EXPECT_FALSE(one.dataRequest().any()) << sheet;
    }
}

TEST(ReportOptionsTest, TableWithoutTimeColumnsGetsStartAndLength) {
    ReportOptions options;
    options.toc = options.tocCtrl = options.tocIdx = true;
    options.applyDefaultColumns();
    EXPECT_TRUE(options.tocStart && options.tocLength);
    EXPECT_FALSE(options.tocEnd);

    ReportOptions endOnly;
    endOnly.toc = endOnly.tocEnd = true;
    endOnly.applyDefaultColumns();
    EXPECT_FALSE(endOnly.tocStart || endOnly.tocLength);

    ReportOptions noTable;
    noTable.tocCtrl = true;
    noTable.applyDefaultColumns();
    EXPECT_FALSE(noTable.tocStart || noTable.tocLength);
}

// msf is the minutes:seconds:frames text of a non-negative frame count.
std::string msf(int frames) {
    char text[32];
    std::snprintf(text, sizeof text, "%03d:%02d:%02d", frames / 4500, frames / 75 % 60,
                  frames % 75);
    return text;
}

// line is one printed line with its carriage returns dropped: the bytes of
// line ends are the console's concern, and a captured stream may be read
// back in text mode.
std::string line(const std::string& text) {
    return text + "\n";
}

std::string withoutCarriageReturns(std::string text) {
    std::erase(text, '\r');
    return text;
}

TEST(ReportTest, NinetyNineTracksOfDistinctLengths) {
    DiscInfo info;
    std::memset(static_cast<void*>(&info), 0, sizeof info);
    info.valid = true;
    info.toc.FirstTrack = 1;
    info.toc.LastTrack = 99;
    std::vector<int> starts;
    int frame = 150;
    for (int k = 0; k <= 99; ++k) {
        TocEntry& entry = info.toc.TrackData[k];
        entry.TrackNumber = static_cast<uint8_t>(k < 99 ? k + 1 : 0xAA);
        entry.Control = static_cast<uint8_t>(k % 16);
        entry.Address[1] = static_cast<uint8_t>(frame / 4500);
        entry.Address[2] = static_cast<uint8_t>(frame / 75 % 60);
        entry.Address[3] = static_cast<uint8_t>(frame % 75);
        starts.push_back(frame);
        frame += 4500 + 77 * k;  // every track a different length
    }
    info.discId = computeDiscId(info.toc);

    ReportOptions options;
    options.toc = options.tocStart = options.tocLength = options.tocEnd = true;
    options.tocCtrl = options.tocIdx = options.tracks = options.length = true;
    std::string wanted = line("Length: " + msf(starts[99] - 150)) + line("Tracks: 99");
    for (int k = 0; k < 99; ++k) {
        char row[128];
        std::snprintf(row, sizeof row, "%3d: %15s %15s %15s %04x %4d", k + 1,
                      msf(starts[k]).c_str(), msf(starts[k + 1] - starts[k]).c_str(),
                      msf(starts[k + 1]).c_str(), k % 16, k + 1);
        wanted += line(row);
    }
    testing::internal::CaptureStdout();
    printReport(options, info);
    const std::string printed = withoutCarriageReturns(testing::internal::GetCapturedStdout());
    EXPECT_EQ(printed, wanted);
}

// printed returns what printReport prints for info with the given switches.
std::string printed(const DiscInfo& info, std::initializer_list<const char*> switches) {
    ReportOptions options;
    for (const char* argument : switches) {
        EXPECT_TRUE(options.take(kwCore::SharedString(argument))) << argument;
    }
    testing::internal::CaptureStdout();
    printReport(options, info);
    return withoutCarriageReturns(testing::internal::GetCapturedStdout());
}

TEST(ReportTest, IdentifierLinesComeInTheirFixedPlace) {
    DiscInfo info;
    std::memset(static_cast<void*>(&info), 0, sizeof info);
    info.valid = true;
    info.toc = test::tocAt({150, 19012, 40135, 54050}, {2});
    info.discId = computeDiscId(info.toc);
    const std::string toc = "1+2+28735+150+19012";
    const std::string mbid = "SQiFYOy5pb1fSd1CnF3kgi8kQcc-";
    const std::string arid = "002-00011c3a-00030b01-1902ce03";
    // Switches in reverse order: the lines still come in the report's order.
    EXPECT_EQ(
        printed(info, {"-tracks", "-length", "-cddb", "-arurl", "-arid", "-mbws", "-mburl",
                       "-mbtoc", "-mbid", "-cdid"}),
        line("CDID: 1902ce03") + line("MBID: " + mbid) + line("MBTOC: 1 2 28735 150 19012") +
            line("MBURL: https://musicbrainz.org/cdtoc/attach?id=" + mbid +
                 "&tracks=2&toc=" + toc) +
            line("MBWS: https://musicbrainz.org/ws/2/discid/" + mbid + "?toc=" + toc) +
            line("ARID: " + arid) +
            line("ARURL: http://www.accuraterip.com/accuraterip/a/3/c/dBAR-" + arid + ".bin") +
            line("CDDB: 1902ce03 3 150 19012 40135 720") + line("Length: 011:58:50") +
            line("Tracks: 3"));
    EXPECT_EQ(printed(info, {"-arurl"}),
              line("ARURL: http://www.accuraterip.com/accuraterip/a/3/c/dBAR-" + arid + ".bin"));
    EXPECT_EQ(printed(info, {"-mbws"}),
              line("MBWS: https://musicbrainz.org/ws/2/discid/" + mbid + "?toc=" + toc));

    // Data tracks only: no audio to identify, but the CDDB query stands.
    info.toc = test::tocAt({150, 22500, 40500}, {0, 1});
    info.discId = computeDiscId(info.toc);
    EXPECT_EQ(printed(info, {"-mbid", "-mburl", "-mbws", "-arid", "-arurl", "-cddb"}),
              line("CDDB: 05021a02 2 150 22500 540"));
}

TEST(ReportTest, GapColumnsStandInTheirPlaces) {
    DiscInfo info;
    std::memset(static_cast<void*>(&info), 0, sizeof info);
    info.valid = true;
    info.toc = test::tocAt({150, 19012, 40135, 54050});
    DiscData data;
    data.gaps.track[0].pregap = 0;
    data.gaps.track[0].indexesKnown = true;
    data.gaps.track[1].pregap = 152;
    data.gaps.track[1].indexesKnown = true;
    data.gaps.track[1].indexStarts = {20000, kUnknownFrames, 30000};
    std::strcpy(data.isrc[1], "USRC17607839");
    ReportOptions options;
    for (const char* argument :
         {"-tocindex", "-tocisrc", "-tocctrl", "-tocpregap", "-toc", "-tocstart", "-secs"}) {
        ASSERT_TRUE(options.take(kwCore::SharedString(argument)));
    }
    testing::internal::CaptureStdout();
    printReport(options, info, data);
    EXPECT_EQ(withoutCarriageReturns(testing::internal::GetCapturedStdout()),
              line("  1: 000:02:00      2 000:00:00      0 0000            - -") +
                  line("  2: 004:13:37    253 000:02:02      2 0000 USRC17607839 "
                       "2@004:26:50 3@? 4@006:40:00") +
                  line("  3: 008:55:10    535               ? 0000            - ?"));
}

}  // namespace
}  // namespace zemtra
