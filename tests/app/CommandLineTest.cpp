#include "app/CommandLine.h"

#include <gtest/gtest.h>

#include "tests/support/ParamNames.h"

#include "platform/core/Text.h"

namespace {

using app::CommandMode;

TEST(NextToken, QuotesSpacesAndEmptyTokens) {
    std::u16string_view text = u"  /B  \"my file.bkp\" \"\" last\t\"open";
    std::size_t at = 0;
    std::u16string token;
    std::vector<std::u16string> tokens;
    while (app::NextToken(text, at, token))
        tokens.push_back(token);
    EXPECT_EQ(tokens, (std::vector<std::u16string>{u"/B", u"my file.bkp", u"", u"last", u"open"}));
    at = 0;
    EXPECT_FALSE(app::NextToken(u"   ", at, token));
}

struct LineCase {
    const char16_t* text;
    CommandMode mode;
    const char16_t* file;
    bool noDialogs, silent, noProgress, system;
};

class ParseTable : public ::testing::TestWithParam<LineCase> {};

TEST_P(ParseTable, GivesModeFileAndSwitches) {
    const LineCase& c = GetParam();
    app::CommandLine line = app::ParseCommandLine(c.text);
    EXPECT_EQ(line.mode, c.mode) << ce::WideToUtf8(c.text);
    EXPECT_EQ(std::u16string(line.fileName), std::u16string(c.file)) << ce::WideToUtf8(c.text);
    EXPECT_EQ(line.noDialogs, c.noDialogs);
    EXPECT_EQ(line.silent, c.silent);
    EXPECT_EQ(line.noProgress, c.noProgress);
    EXPECT_EQ(line.systemDatabases, c.system);
}

constexpr auto kNone = CommandMode::None;
constexpr auto kBackup = CommandMode::Backup;
constexpr auto kScript = CommandMode::RunScript;
constexpr auto kRestore = CommandMode::Restore;

INSTANTIATE_TEST_SUITE_P(
    Cases, ParseTable,
    ::testing::Values(
        LineCase{u"/B \\backup\\all.bkp", kBackup, u"\\backup\\all.bkp", false, false, false,
                 false},
        LineCase{u"/B \\backup\\all.bkp /D /I /P", kBackup, u"\\backup\\all.bkp", true, true, true,
                 false},
        LineCase{u"/b file /S", kBackup, u"file", false, false, false, true},
        LineCase{u"-r \"with space.bkp\"", kRestore, u"with space.bkp", false, false, false, false},
        LineCase{u"/A one.abk", kScript, u"one.abk", false, false, false, false},
        LineCase{u"/A one.abk /A two.abk", kNone, u"", false, false, false, false},
        LineCase{u"/B one /R two", kRestore, u"two", false, false, false, false},
        LineCase{u"/B one /A two", kNone, u"", false, false, false, false},
        LineCase{u"/B", kNone, u"", false, false, false, false},
        LineCase{u"/B /D", kNone, u"", false, false, false, false},
        LineCase{u"/R /home/me/all.bkp /D", kRestore, u"/home/me/all.bkp", true, false, false,
                 false},
        LineCase{u"/B /all.bkp", kNone, u"", false, false, false, false},
        LineCase{u"/D /I /B", kNone, u"", false, false, false, false},
        LineCase{u"/X", kNone, u"", false, false, false, false},
        LineCase{u"-", kNone, u"", false, false, false, false},
        LineCase{u"/", kNone, u"", false, false, false, false},
        LineCase{u"hello", kNone, u"", false, false, false, false},
        LineCase{u"hello /i", kNone, u"", false, true, false, false},
        LineCase{u"", kNone, u"", false, false, false, false},
        LineCase{u"/Backup x.bkp words ignored", kBackup, u"x.bkp", false, false, false, false}),
    testing_support::RowName());

TEST(ParseCommandLine, APathTooLongForTheDeviceIsRefusedNotCut) {
    std::u16string line = u"/B " + std::u16string(259, u'a');
    EXPECT_EQ(app::ParseCommandLine(line).mode, CommandMode::Backup);
    line = u"/B " + std::u16string(260, u'a');
    EXPECT_EQ(app::ParseCommandLine(line).mode, CommandMode::None);
}

TEST(JoinArguments, QuotesArgumentsWithBlanks) {
    char a0[] = "tessaly", a1[] = "/B", a2[] = "/tmp/my file.bkp", a3[] = "";
    char* argv[] = {a0, a1, a2, a3};
    EXPECT_EQ(app::JoinArguments(4, argv), u"/B \"/tmp/my file.bkp\" \"\"");
}

}  // namespace
