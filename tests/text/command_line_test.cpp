#include "text/command_line.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kwCore {
namespace {

using Elements = std::vector<std::string>;

Elements elements(const CommandLine& line) {
    Elements result;
    for (int32_t i = 0; i < line.count(); ++i) {
        result.emplace_back(line[i].cStr(), line[i].getLength());
    }
    return result;
}

Elements parsed(const char* text) {
    CommandLine line;
    line.parse(SharedString(text));
    return elements(line);
}

TEST(CommandLine, SplitsAndUnquotesWholeCommandTexts) {
    EXPECT_EQ(parsed("tool D: -toc"), (Elements{"tool", "D:", "-toc"}));
    EXPECT_EQ(parsed("\"C:\\Program Files\\x\\tool.exe\"  D:"),
              (Elements{"C:\\Program Files\\x\\tool.exe", "D:"}));
    EXPECT_EQ(parsed("tool\tD:"), (Elements{"tool", "D:"}));
    EXPECT_EQ(parsed("  tool   D:  "), (Elements{"tool", "D:"}));
    EXPECT_EQ(parsed("tool a\"b c\"d"), (Elements{"tool", "a\"b c\"d"}));
    EXPECT_EQ(parsed("tool \"D: -toc"), (Elements{"tool", "\"D: -toc"}));
    EXPECT_EQ(parsed("tool \"a'b\" 'c\"d'"), (Elements{"tool", "a'b", "c\"d"}));
    EXPECT_EQ(parsed("tool 'it\\'s' D:"), (Elements{"tool", "'it\\'s' D:"}));
    EXPECT_TRUE(parsed("").empty());
}

TEST(CommandLine, DecodesEscapesOnlyInsideSingleQuotes) {
    EXPECT_EQ(parsed("tool 'a\\tb'"), (Elements{"tool", "a\tb"}));
    EXPECT_EQ(parsed("tool a\\tb"), (Elements{"tool", "a\\tb"}));
    EXPECT_EQ(parsed("tool \"a\\tb\""), (Elements{"tool", "a\\tb"}));
    EXPECT_EQ(parsed("tool 'x\\_y\\x41\\u00e9\\q\\\\'"), (Elements{"tool", "x yA\xC3\xA9q\\"}));
    EXPECT_EQ(parsed("tool 'ab\\'"), (Elements{"tool", "ab"}));
}

TEST(CommandLine, EnclosingQuotesAloneLeaveEmptyElements) {
    CommandLine line;
    line.parse(SharedString("tool '' \"\" '"));
    EXPECT_EQ(elements(line), (Elements{"tool", "", "", ""}));
    EXPECT_TRUE(line[1].isNull());   // unescape of nothing
    EXPECT_FALSE(line[2].isNull());  // an empty substring
    EXPECT_TRUE(line[3].isNull());   // one quote: nothing between
}

TEST(CommandLine, TextSharesTheParsedString) {
    const SharedString text("tool D:");
    CommandLine line;
    line.parse(text);
    EXPECT_EQ(line.text.cStr(), text.cStr());
    line.parse(SharedString("other"));  // a second parse replaces everything
    EXPECT_EQ(elements(line), (Elements{"other"}));
    EXPECT_STREQ(line.text.cStr(), "other");
}

TEST(CommandLine, ArgumentVectorElementsOnlyLoseTheirQuotes) {
    const char* const arguments[] = {"/bin/tool", "a b", "'x\\_y'", "\"D:\"", "", "-toc"};
    CommandLine line;
    line.parseArguments(6, arguments);
    EXPECT_EQ(elements(line), (Elements{"/bin/tool", "a b", "x y", "D:", "", "-toc"}));
    EXPECT_STREQ(line.text.cStr(), "/bin/tool a b 'x\\_y' \"D:\"  -toc");

    line.parseArguments(0, nullptr);
    EXPECT_EQ(line.count(), 0);
    EXPECT_TRUE(line.text.isNull());
}

// The program's own file: the directory keeps its separator, and directory
// and name together are the full path.
TEST(CommandLine, DescribesTheRunningProgram) {
    const CommandLine line;
    ASSERT_GE(line.count(), 1);
    EXPECT_FALSE(line.text.isEmpty());
    const std::string name = line.moduleName.cStr();
    EXPECT_EQ(name.rfind("text_tests", 0), 0u) << name;
    const std::string directory = line.moduleDirectory.cStr();
    ASSERT_FALSE(directory.empty());
    EXPECT_TRUE(directory.back() == '/' || directory.back() == '\\') << directory;
    const std::string path = line.modulePath.cStr();
    EXPECT_EQ(path.size() >= name.size() ? path.substr(path.size() - name.size()) : path, name);
    // Element 0 names the program too.
    EXPECT_NE(std::string(line[0].cStr()).find("text_tests"), std::string::npos);
}

}  // namespace
}  // namespace kwCore
