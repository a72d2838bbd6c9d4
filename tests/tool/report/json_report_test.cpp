// The JSON report: its layout and escaping (control bytes, quotes,
// non-ASCII, bytes that are no UTF-8), keys left out when the disc gives no
// value, values that are those of the text report's functions, gaps only
// as asked (null when unknown), and what a read of the audio found, each
// track's part placed by its number.
#include "report/json_report.h"

#include <gtest/gtest.h>

#include <cstring>
#include <nlohmann/json.hpp>
#include <string>

#include "ids/ctdb_id.h"
#include "ids/disc_id.h"
#include "tool/toc_builder.h"

namespace zemtra {
namespace {

using nlohmann::json;

DiscInfo infoOf(const DiscToc& toc) {
    DiscInfo info;
    info.toc = toc;
    info.discId = computeDiscId(toc);
    info.valid = true;
    return info;
}

// exampleInfo is the worked example, its third track data.
DiscInfo exampleInfo() {
    DiscToc toc = test::workedExampleToc();
    toc.TrackData[2].Control = 4;
    return infoOf(toc);
}

// setText gives field f of track t the same text in both forms (the
// printable one is not what the document shows).
void setText(DiscData& data, int t, int f, const char* own) {
    data.cdText.own[t][f] = own;
    data.cdText.text[t][f] = "printable";
}

TEST(JsonReportTest, TextIsTheDiscsOwnEscapedAndEveryByteOtherwiseRaw) {
    DiscData data;
    const std::string title = "a\x01\x1b[2J\x7f\t\n\"q\"\\ Caf\xc3\xa9 \xef\xbf\xbd";
    setText(data, 0, 0, title.c_str());
    const std::string out = jsonReport("/dev/sr0", exampleInfo(), data);

    EXPECT_NE(out.find(R"("title": "a\u0001\u001b[2J\u007f\t\n\"q\"\\ Caf)"
                       "\xc3\xa9 \xef\xbf\xbd\""),
              std::string::npos)
        << out;
    for (char c : out) {
        const auto byte = static_cast<unsigned char>(c);
        ASSERT_TRUE(byte == '\n' || (byte >= 0x20 && byte != 0x7F)) << int(byte);
    }
    EXPECT_EQ(json::parse(out)["cdText"]["album"]["title"], title);
}

TEST(JsonReportTest, LaidOutWithTwoSpacesAndEndingInOneLf) {
    const std::string out = jsonReport("D:", exampleInfo(), DiscData{});
    EXPECT_EQ(out.rfind("{\n  \"device\": \"D:\",\n  \"firstTrack\": 1,\n", 0), 0u) << out;
    ASSERT_GE(out.size(), 6u);
    EXPECT_EQ(out.substr(out.size() - 6), "  ]\n}\n");
    EXPECT_EQ(out.find('\r'), std::string::npos);
    EXPECT_EQ(nlohmann::ordered_json::parse(out).dump(2) + "\n", out);  // the library's layout
}

TEST(JsonReportTest, ValuesOfTheExample) {
    DiscData data;
    std::memcpy(data.catalogNumber, "0724384260927", 14);
    std::memcpy(data.isrc[0], "USRC17607839", 13);
    const json doc = json::parse(jsonReport("/dev/sr0", exampleInfo(), data));
    EXPECT_EQ(doc["trackCount"], 3);
    EXPECT_EQ(doc["lastTrack"], 3);
    EXPECT_EQ(doc["sectors"], 54050);
    EXPECT_EQ(doc["length"], json::parse(R"({"frames":53900,"seconds":718,"msf":"011:58:50"})"));
    EXPECT_EQ(doc["freedb"], "1902ce03");
    EXPECT_EQ(doc["cddbQuery"], "1902ce03 3 150 19012 40135 720");
    const json& mb = doc["musicbrainz"];
    EXPECT_EQ(mb["id"], "SQiFYOy5pb1fSd1CnF3kgi8kQcc-");
    EXPECT_EQ(mb["toc"], "1 2 28735 150 19012");
    EXPECT_EQ(mb["offset-count"], 2);
    EXPECT_EQ(mb["offsets"], json::parse("[150, 19012]"));
    EXPECT_EQ(mb["sectors"], 28735);
    EXPECT_EQ(
        mb["lookupUrl"],
        "https://musicbrainz.org/ws/2/discid/SQiFYOy5pb1fSd1CnF3kgi8kQcc-?toc=1+2+28735+150+19012");
    EXPECT_EQ(doc["accurateRip"], json::parse(R"({"id":"002-00011c3a-00030b01-1902ce03",
                "url":"http://www.accuraterip.com/accuraterip/a/3/c/dBAR-002-00011c3a-00030b01-1902ce03.bin",
                "audioTracks":2,"id1":"00011c3a","id2":"00030b01"})"));
    EXPECT_EQ(doc["mcn"], "0724384260927");
    const json& tracks = doc["tracks"];
    ASSERT_EQ(tracks.size(), 3u);
    EXPECT_EQ(tracks[0]["isrc"], "USRC17607839");
    EXPECT_FALSE(tracks[1].contains("isrc"));
    EXPECT_EQ(tracks[2], json::parse(R"({"number":3,"offset":40135,
        "start":{"frames":40135,"msf":"008:55:10"},"length":{"frames":13915,"msf":"003:05:40"},
        "end":{"frames":54050,"msf":"012:00:50"},"control":4,"audio":false,"preEmphasis":false,
        "copyPermitted":false,"fourChannel":false})"));
}

TEST(JsonReportTest, ControlBitsEachToItsOwnFlag) {
    DiscToc toc = test::tocAt({150, 1000, 2000, 3000, 4000, 5000});
    const int controls[] = {1, 2, 4, 8, 0};
    for (int k = 0; k < 5; ++k) {
        toc.TrackData[k].Control = static_cast<uint8_t>(controls[k] & 0xF);
    }
    const json tracks = json::parse(jsonReport("D:", infoOf(toc), DiscData{}))["tracks"];
    const char* const flags[] = {"preEmphasis", "copyPermitted", "audio", "fourChannel"};
    for (int k = 0; k < 5; ++k) {
        EXPECT_EQ(tracks[k]["control"], controls[k]);
        for (int bit = 0; bit < 4; ++bit) {
            const bool set = (controls[k] & (1 << bit)) != 0;
            // audio is bit 4 clear
            EXPECT_EQ(tracks[k][flags[bit]], bit == 2 ? !set : set) << k << flags[bit];
        }
    }
}

TEST(JsonReportTest, AbsentValuesAreAbsentKeys) {
    // Data tracks only: no database ids; nothing read: no mcn, ISRC, CD-TEXT.
    DiscToc toc = test::tocAt({150, 22500, 40500});
    toc.TrackData[0].Control = 4;
    toc.TrackData[1].Control = 6;
    DiscData data;
    setText(data, 3, 0, "text of a track the TOC lacks");
    json doc = json::parse(jsonReport("D:", infoOf(toc), data));
    for (const char* key : {"musicbrainz", "accurateRip", "ctdb", "mcn", "cdText"}) {
        EXPECT_FALSE(doc.contains(key)) << key;
    }
    for (const json& track : doc["tracks"]) {
        EXPECT_FALSE(track.contains("isrc"));
    }

    // A TOC that cannot be right: arithmetic only.
    doc = json::parse(
        jsonReport("D:", infoOf(test::makeToc({{4, 13, 37}, {0, 2, 0}, {12, 0, 50}})), DiscData{}));
    EXPECT_FALSE(doc.contains("musicbrainz") || doc.contains("accurateRip"));
    EXPECT_EQ(doc["tracks"][0]["length"]["msf"], "-04:-11:-37");

    // Album text only, then track text only.
    data = DiscData{};
    setText(data, 0, 5, "m");
    doc = json::parse(jsonReport("D:", exampleInfo(), data));
    EXPECT_EQ(doc["cdText"], json::parse(R"({"album":{"message":"m"}})"));
    data = DiscData{};
    setText(data, 2, 1, "p");
    doc = json::parse(jsonReport("D:", exampleInfo(), data));
    EXPECT_EQ(doc["cdText"], json::parse(R"({"tracks":{"2":{"performer":"p"}}})"));
}

TEST(JsonReportTest, TracksNumberedFromAboveOne) {
    const DiscToc toc = test::makeToc({{0, 2, 0}, {4, 13, 37}, {8, 55, 10}, {12, 0, 50}}, 3);
    DiscData data;
    setText(data, 2, 0, "before the first track");
    setText(data, 3, 0, "three");
    setText(data, 5, 3, "five");
    setText(data, 6, 0, "after the last track");
    const json doc = json::parse(jsonReport("D:", infoOf(toc), data));
    EXPECT_EQ(doc["firstTrack"], 3);
    EXPECT_EQ(doc["trackCount"], 3);
    EXPECT_EQ(doc["tracks"][0]["number"], 3);
    EXPECT_EQ(doc["musicbrainz"]["offset-count"], 3);
    EXPECT_EQ(doc["cdText"],
              json::parse(R"({"tracks":{"3":{"title":"three"},"5":{"composer":"five"}}})"));
}

TEST(JsonReportTest, GapsOnlyAsAskedNullWhenUnknown) {
    DiscData data;
    TrackGaps* gaps = data.gaps.track;
    gaps[0].pregap = 0;
    gaps[0].indexesKnown = true;  // no further index: no key
    gaps[1].pregap = 150;
    gaps[1].indexesKnown = true;
    gaps[1].indexStarts = {20000, kUnknownFrames, 25000};
    // Track 3 (data): never searched, both unknown.
    JsonParts parts;
    json tracks = json::parse(jsonReport("D:", exampleInfo(), data, parts))["tracks"];
    for (const json& track : tracks) {
        EXPECT_FALSE(track.contains("pregap") || track.contains("indexes")) << track;
    }
    parts.pregaps = parts.indexes = true;
    tracks = json::parse(jsonReport("D:", exampleInfo(), data, parts))["tracks"];
    EXPECT_EQ(tracks[0]["pregap"], json::parse(R"({"frames":0,"msf":"000:00:00"})"));
    EXPECT_FALSE(tracks[0].contains("indexes"));
    EXPECT_EQ(tracks[1]["pregap"], json::parse(R"({"frames":150,"msf":"000:02:00"})"));
    EXPECT_EQ(tracks[1]["indexes"], json::parse(R"([{"number":2,"frames":20000,"msf":"004:26:50"},
        {"number":3,"frames":null,"msf":null},{"number":4,"frames":25000,"msf":"005:33:25"}])"));
    ASSERT_TRUE(tracks[2].contains("pregap") && tracks[2].contains("indexes"));
    EXPECT_TRUE(tracks[2]["pregap"].is_null() && tracks[2]["indexes"].is_null());
    parts.pregaps = false;
    tracks = json::parse(jsonReport("D:", exampleInfo(), data, parts))["tracks"];
    EXPECT_FALSE(tracks[1].contains("pregap"));
    EXPECT_TRUE(tracks[1].contains("indexes"));
}

// readOf returns a read of audio tracks with the given numbers, track t's
// checksums t + 1 times 0x1000000 (v1), plus 1 (v2), 2 (frame 450) and 3
// (CRC32).
VerifyResult readOf(std::initializer_list<int> numbers) {
    VerifyResult read;
    uint32_t base = 0;
    for (int number : numbers) {
        TrackResult track;
        track.track.number = number;
        base += 0x1000000;
        track.values = {base, base + 1, base + 2, base + 3};
        read.tracks.push_back(track);
    }
    return read;
}

TEST(JsonReportTest, ChecksumsAndVerdictsOnTheirTracks) {
    // Tracks 3 to 6, the third data: the audio tracks read are 3, 4 and 6.
    DiscInfo info = infoOf(test::tocAt({150, 1000, 2000, 15000, 16000}, {2}, 3));
    Verification verification;
    verification.read = readOf({3, 4, 6});
    verification.read.tracks[0].values.crc32 = 0xabc;
    verification.read.tracks[1].readable = false;
    verification.read.tracks[1].failedSector = 1234;
    verification.read.filled = 667;
    JsonParts parts;
    parts.verification = &verification;
    json doc = json::parse(jsonReport("D:", info, DiscData{}, parts));
    const json& tracks = doc["tracks"];
    EXPECT_EQ(tracks[0]["checksums"],
              json::parse(R"({"ar1":"01000000","ar2":"01000001","ar450":"01000002",
                              "crc32":"00000abc"})"));
    EXPECT_EQ(tracks[1]["unreadable"], 1234);
    EXPECT_FALSE(tracks[1].contains("checksums"));
    EXPECT_FALSE(tracks[2].contains("checksums") || tracks[2].contains("unreadable"));
    EXPECT_EQ(tracks[3]["checksums"]["crc32"], "03000003");
    EXPECT_EQ(doc["offsetFill"], 667);
    for (const char* key : {"accurateRipSummary", "readOffset"}) {
        EXPECT_FALSE(doc.contains(key)) << key;
    }
    for (const json& track : tracks) {
        EXPECT_FALSE(track.contains("accurateRip"));
    }

    // Judged (four audio tracks, 3 to 6): accurate by v2, unreadable (no
    // verdict), another pressing's, not in the record.
    info = infoOf(test::tocAt({150, 1000, 2000, 3000, 4000}, {}, 3));
    verification.read = readOf({3, 4, 5, 6});
    verification.read.tracks[1].readable = false;
    verification.judged = true;
    verification.verdicts = {{TrackVerdictKind::accurate, 7, true},
                             {},
                             {TrackVerdictKind::notAccurate, 4, false},
                             {TrackVerdictKind::notInRecord, 0, false}};
    verification.accurate = 1;
    verification.searched = true;
    doc = json::parse(jsonReport("D:", info, DiscData{}, parts));
    EXPECT_EQ(doc["tracks"][0]["accurateRip"],
              json::parse(R"({"accurate":true,"confidence":7,"version":2})"));
    EXPECT_FALSE(doc["tracks"][1].contains("accurateRip"));
    EXPECT_EQ(doc["tracks"][2]["accurateRip"], json::parse(R"({"accurate":false,"confidence":4})"));
    EXPECT_EQ(doc["tracks"][3]["accurateRip"], json::parse(R"({"accurate":false,"confidence":0})"));
    EXPECT_EQ(doc["accurateRipSummary"], json::parse(R"({"accurate":1,"tracks":4})"));
    EXPECT_FALSE(doc.contains("offsetFill"));
    ASSERT_TRUE(doc.contains("readOffset"));
    EXPECT_TRUE(doc["readOffset"].is_null());

    // An accurate track by v1; the offsets found in their order.
    verification.verdicts[0].v2 = false;
    verification.read.offsets = {{-7939, 3, 5000000000}, {6, 1, 0}};
    doc = json::parse(jsonReport("D:", info, DiscData{}, parts));
    EXPECT_EQ(doc["tracks"][0]["accurateRip"]["version"], 1);
    EXPECT_EQ(doc["readOffset"], json::parse(R"([
        {"offset":-7939,"matches":3,"tracks":4,"confidence":5000000000},
        {"offset":6,"matches":1,"tracks":4,"confidence":0}])"));
    // The disc's parts follow the tracks.
    const std::string out = jsonReport("D:", info, DiscData{}, parts);
    EXPECT_LT(out.find("\"tracks\": ["), out.find("\"accurateRipSummary\""));
}

TEST(JsonReportTest, CuetoolsIdWhereTheTextLineHasIt) {
    json doc = json::parse(jsonReport("D:", exampleInfo(), DiscData{}));
    kwCore::SharedString id;
    ASSERT_TRUE(findCtdbId(exampleInfo().toc, id));
    EXPECT_EQ(doc["ctdb"]["tocId"], id.cStr());
    EXPECT_EQ(doc["ctdb"].size(), 1u);
    DiscToc dataOnly = test::tocAt({150, 22500, 40500}, {0, 1});
    EXPECT_FALSE(json::parse(jsonReport("D:", infoOf(dataOnly), DiscData{})).contains("ctdb"));
    doc = json::parse(
        jsonReport("D:", infoOf(test::makeToc({{4, 13, 37}, {0, 2, 0}, {12, 0, 50}})), DiscData{}));
    EXPECT_FALSE(doc.contains("ctdb"));
}

TEST(JsonReportTest, BytesThatAreNoUtf8BecomeReplacementCharacters) {
    const std::string out = jsonReport("/dev/\xff\xc3", exampleInfo(), DiscData{});
    EXPECT_EQ(json::parse(out)["device"], "/dev/\xef\xbf\xbd\xef\xbf\xbd");
    EXPECT_EQ(jsonError("Unknown parameter -\xe9"),
              "{\n  \"error\": \"Unknown parameter -\xef\xbf\xbd\"\n}\n");
    EXPECT_EQ(jsonError("No drive specified"), "{\n  \"error\": \"No drive specified\"\n}\n");
}

}  // namespace
}  // namespace zemtra
