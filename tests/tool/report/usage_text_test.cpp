#include "report/usage_text.h"

#include <gtest/gtest.h>

#include <regex>
#include <set>
#include <string>

#include "report/report_options.h"
#include "report/report_switches.h"
#include "report/version.h"

namespace zemtra {
namespace {

TEST(UsageTextTest, OneLineWithEverySwitchInTableOrder) {
    const std::string usage = usageText();
    ASSERT_TRUE(usage.starts_with("Zemtra <drive> ["));
    ASSERT_TRUE(usage.ends_with("]\r\n"));
    EXPECT_EQ(usage.find_first_of("\r\n"), usage.size() - 2);
    // The words after the drive are the table's switches, bracketed, in order.
    std::string rest = usage.substr(std::string("Zemtra <drive>").size());
    for (const ReportSwitch& entry : reportSwitches()) {
        const std::string word = " [" + std::string(entry.text) + "]";
        ASSERT_TRUE(rest.starts_with(word)) << word << " in " << rest;
        rest.erase(0, word.size());
    }
    EXPECT_EQ(rest, "\r\n");
}

TEST(UsageTextTest, EveryRowIsADistinctSwitchThatTakeAccepts) {
    std::set<std::string_view> texts;
    for (const ReportSwitch& entry : reportSwitches()) {
        EXPECT_TRUE(texts.insert(entry.text).second) << entry.text;
        ASSERT_TRUE(entry.text.starts_with("-")) << entry.text;
        EXPECT_FALSE(entry.text.starts_with("--")) << entry.text;
        EXPECT_EQ(infoRequest(entry.text), InfoRequest::none) << entry.text;
        // A switch with a value is typed with one its setter takes.
        const size_t equals = entry.text.find('=');
        const std::string typed = equals == std::string_view::npos
                                      ? std::string(entry.text)
                                      : std::string(entry.text.substr(0, equals + 1)) + "1";
        ReportOptions options;
        EXPECT_TRUE(options.take(kwCore::SharedString(typed.c_str()))) << entry.text;
        std::string_view value = "stale";
        EXPECT_EQ(findReportSwitch(typed, value), &entry) << entry.text;
        EXPECT_EQ(value, equals == std::string_view::npos ? "" : "1") << entry.text;
    }
    EXPECT_EQ(texts.size(), 32u);
}

TEST(UsageTextTest, HelpIsTheUsageThenOneAlignedLinePerSwitch) {
    const std::string help = helpText();
    const std::string usage = usageText();
    ASSERT_TRUE(help.starts_with(usage));
    const std::regex line("  (-\\S+)( +)([A-Z][^\r\n]*\\.)\r\n");
    size_t at = usage.size();
    size_t column = 0;
    for (const ReportSwitch& entry : reportSwitches()) {
        const size_t end = help.find("\r\n", at);
        ASSERT_NE(end, std::string::npos) << entry.text;
        const std::string got = help.substr(at, end + 2 - at);
        std::smatch parts;
        ASSERT_TRUE(std::regex_match(got, parts, line)) << got;
        EXPECT_EQ(parts[1].str(), entry.text);
        EXPECT_EQ(parts[3].str(), entry.summary);
        EXPECT_GE(parts[2].length(), 2);
        // Every summary starts in the same column, and a line fits 80 columns.
        const size_t start = static_cast<size_t>(parts.position(3));
        EXPECT_TRUE(column == 0 || start == column) << got;
        column = start;
        EXPECT_LE(got.size() - 2, 80u) << got;
        at = end + 2;
    }
    EXPECT_EQ(at, help.size());
}

TEST(UsageTextTest, HelpAndVersionWordsAreExactlyTheseSix) {
    for (const char* word : {"-h", "-help", "--help", "-?"}) {
        EXPECT_EQ(infoRequest(word), InfoRequest::help) << word;
    }
    for (const char* word : {"--version", "-version"}) {
        EXPECT_EQ(infoRequest(word), InfoRequest::version) << word;
    }
    for (const char* word :
         {"",      "-",      "--",         "h",       "help",    "-H",    "--h",
          "-HELP", "--Help", "---help",    "-help ",  "-hh",     "-??",   "-?x",
          "-v",    "-V",     "--versions", "-versio", "version", "--toc", "-toc"}) {
        EXPECT_EQ(infoRequest(word), InfoRequest::none) << word;
    }
    // They are no report switches: take leaves them to the caller.
    ReportOptions options;
    EXPECT_FALSE(options.take(kwCore::SharedString("-h")));
    EXPECT_FALSE(options.take(kwCore::SharedString("--version")));
}

TEST(UsageTextTest, VersionIsTheProjectVersion) {
    EXPECT_TRUE(std::regex_match(kZemtraVersion, std::regex("[0-9]+\\.[0-9]+(\\.[0-9]+)*")))
        << kZemtraVersion;
    EXPECT_EQ(versionText(), std::string("zemtra ") + kZemtraVersion + "\r\n");
}

// A switch that takes a value matches by its text up to the "=", and hands
// its setter what follows.
TEST(UsageTextTest, SwitchWithAValueMatchesByItsTextUpToTheEquals) {
    const auto any = [](ReportOptions&, std::string_view) { return true; };
    const ReportSwitch table[] = {{"-off", any, "Flag."}, {"-offset=N", any, "Value."}};
    std::string_view value;
    EXPECT_EQ(findReportSwitch("-offset=-12", value, table), &table[1]);
    EXPECT_EQ(value, "-12");
    EXPECT_EQ(findReportSwitch("-offset=", value, table), &table[1]);
    EXPECT_EQ(value, "");
    EXPECT_EQ(findReportSwitch("-offset=a=b", value, table), &table[1]);
    EXPECT_EQ(value, "a=b");
    for (const char* miss : {"-offset", "-offsetx=1", "-offset-1", "-OFFSET=1", "-of", "-off=1"}) {
        EXPECT_EQ(findReportSwitch(miss, value, table), nullptr) << miss;
    }
    EXPECT_EQ(findReportSwitch("-off", value, table), &table[0]);
}

}  // namespace
}  // namespace zemtra
