// What devicectl makes of its command line: malformed arguments to every
// command end in a message and a failing status, never in an uncaught
// exception; values are parsed strictly, and what dump shows, add takes back.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/tools/DevicectlFixture.h"

namespace devicectl_test {
namespace {

using Args = std::vector<std::string>;

std::string Shown(const Args& args) {
    std::string text;
    for (const std::string& a : args) {
        if (!text.empty())
            text += ' ';
        text += '\'';
        text += a;
        text += '\'';
    }
    return text;
}

TEST_F(Devicectl, MalformedArgumentsToEveryCommandFailWithAMessage) {
    ASSERT_EQ(Run({"create", "T"}).exitCode, 0);
    std::string directory = device_.path().string();
    const std::vector<Args> cases = {
        {"info", "extra"},
        {"list", "extra"},
        {"create"},
        {"create", ""},
        {"create", "--type"},
        {"create", "X", "--type", "x"},
        {"create", "X", "--type", "-1"},
        {"create", "X", "--type", "99999999999"},
        {"create", "X", "--sort"},
        {"create", "X", "--sort", "0x00010041"},
        {"create", "X", "--sort", "3:sideways"},
        {"create", "X", "--sort", ":"},
        {"create", "X", "Y"},
        {"create", "T"},
        {"delete"},
        {"delete", "Missing"},
        {"delete", "T", "U"},
        {"dump"},
        {"dump", "Missing"},
        {"dump", "T", "U"},
        {"add"},
        {"add", "T"},
        {"add", "T", "1"},
        {"add", "T", ":INT=1"},
        {"add", "T", "x:INT=1"},
        {"add", "T", "70000:INT=1"},
        {"add", "T", "1:"},
        {"add", "T", "1:INT"},
        {"add", "T", "1:INT="},
        {"add", "T", "1:WORD=1"},
        {"add", "T", "1:INT=0x"},
        {"add", "T", "1:UINT=0x-1"},
        {"add", "T", "1:ULONG=99999999999999999999999"},
        {"add", "T", "1:BOOLEAN=yes"},
        {"add", "T", "1:BINARY=z"},
        {"add", "T", "1:BINARY=0g"},
        {"add", "T", "1:DATE=2026-13-01"},
        {"add", "T", "1:DATE=2026-02-30T00:00:00Z"},
        {"add", "T", "1:DATE=-5"},
        {"add", "T", "1:FLOAT="},
        {"add", "Missing", "1:INT=1"},
        {"set"},
        {"set", "T"},
        {"set", "T", "x", "1:INT=1"},
        {"set", "T", "0", "1:INT=1"},
        {"set", "T", "1"},
        {"set", "T", "-1", "1:INT=1"},
        {"del-record"},
        {"del-record", "T"},
        {"del-record", "T", "x"},
        {"del-record", "T", "99999999999"},
        {"reg"},
        {"reg", "list"},
        {"reg", "frob", "HKCU\\X"},
        {"reg", "list", "HKXX\\X"},
        {"reg", "list", "HKCU\\Missing"},
        {"reg", "get", "HKCU\\Missing", "v"},
        {"reg", "set", "HKCU\\X", "v"},
        {"reg", "set", "HKCU\\X", "v", "qword", "1"},
        {"reg", "set", "HKCU\\X", "v", "dword", "-1"},
        {"reg", "set", "HKCU\\X", "v", "dword", "1x"},
        {"reg", "set", "HKCU\\X", "v", "binary", "zz"},
        {"reg", "delete", "HKCU\\Missing", "v"},
        {"reg", "delete", "HKCU\\X", "v", "w"},
        {"hold"},
        {"hold", "T"},
        {"hold", "T", "x"},
        {"hold", "T", "-1"},
        {"hold", "T", "99999999999999999999"},
        {"hold", "Missing", "0"},
        {"seed-demo", "extra"},
        {"lzw"},
        {"lzw", "x"},
        {"lzw", "c", "d"},
        {"archive"},
        {"archive", "list"},
        {"archive", "frob", "f"},
        {"archive", "list", "/nonexistent/f.bkp"},
        {"archive", "verify", directory},
        {"script", "show"},
        {"script", "show", directory},
        {"rbk", "list"},
        {"rbk", "list", "/nonexistent/f.rbk"},
        {"frobnicate"},
        {"--device"},
        {"--device", directory},
        {""},
    };
    for (const Args& args : cases) {
        ProcessResult r = Run(args);
        EXPECT_TRUE(r.exitCode == 1 || r.exitCode == 2)
            << Shown(args) << " exited with " << r.exitCode << ": " << r.err;
        EXPECT_EQ(r.err.rfind("devicectl: ", 0) == 0 || r.err.rfind("usage: ", 0) == 0, true)
            << Shown(args) << ": " << r.err;
        EXPECT_EQ(r.err.find("terminate"), std::string::npos) << Shown(args);
    }
    // None of them changed the device.
    EXPECT_EQ(Run({"list", "--json"}).out.find("\"name\":\"X\""), std::string::npos);
    EXPECT_NE(Run({"dump", "T"}).out.find("0 records"), std::string::npos);
}

TEST_F(Devicectl, BinaryValuesAreStrictHexForTheRegistryAsForRecords) {
    for (const char* bad : {"zz", "0x", "0z", " 1", "+1", "-1", "1"}) {
        ProcessResult r = Run({"reg", "set", "HKCU\\Software\\Hex", "Value", "binary", bad});
        EXPECT_EQ(r.exitCode, 1) << "\"" << bad << "\"";
        EXPECT_NE(r.err.find("bad type or value"), std::string::npos) << r.err;
        EXPECT_NE(Run({"reg", "get", "HKCU\\Software\\Hex", "Value"}).exitCode, 0)
            << "\"" << bad << "\" was stored";
    }
    ASSERT_EQ(Run({"reg", "set", "HKCU\\Software\\Hex", "Value", "binary", "00fF"}).exitCode, 0);
    EXPECT_EQ(Run({"reg", "get", "HKCU\\Software\\Hex", "Value"}).out, "binary:00ff\n");
}

TEST_F(Devicectl, EveryCommandRefusesUnknownOptionsWithItsUsage) {
    struct Case {
        Args args;
        const char* usage;
    };
    const Case cases[] = {
        {{"list", "--bogus"}, "usage: devicectl list [--json]"},
        {{"info", "--json"}, "usage: devicectl info"},
        {{"dump", "T", "--all"}, "usage: devicectl dump NAME [--json]"},
        {{"create", "T", "--kind", "3"}, "usage: devicectl create NAME [--type N]"},
        {{"add", "T", "--force", "1:INT=1"}, "usage: devicectl add NAME ID:TYPE=VALUE..."},
        {{"set", "T", "1", "--x"}, "usage: devicectl set NAME RECORD"},
        {{"delete", "T", "--yes"}, "usage: devicectl delete NAME"},
        {{"del-record", "T", "1", "--y"}, "usage: devicectl del-record NAME RECORD"},
        {{"reg", "list", "HKCU", "--all"}, "usage: devicectl reg "},
        {{"hold", "T", "1", "--wait"}, "usage: devicectl hold NAME SECONDS"},
        {{"seed-demo", "--big"}, "usage: devicectl seed-demo"},
        {{"lzw", "d", "--fast"}, "usage: devicectl lzw c|d"},
        {{"archive", "list", "f", "--x"}, "usage: devicectl archive list FILE | archive verify"},
        {{"script", "show", "f", "--x"}, "usage: devicectl script show FILE"},
        {{"rbk", "list", "f", "--x"}, "usage: devicectl rbk list FILE"},
        {{"create", "T", "--type"}, "usage: devicectl create"},
    };
    for (const Case& c : cases) {
        ProcessResult r = Run(c.args);
        EXPECT_EQ(r.exitCode, 2) << Shown(c.args);
        EXPECT_EQ(r.err.rfind("devicectl: ", 0), 0u) << r.err;
        EXPECT_NE(r.err.find(c.usage), std::string::npos) << Shown(c.args) << ": " << r.err;
    }
}

TEST_F(Devicectl, ListJsonGivesOneObjectPerDatabase) {
    EXPECT_EQ(Run({"list", "--json"}).out, "[]\n");
    ASSERT_EQ(Run({"create", "Alpha", "--type", "7", "--sort", "0x0001001F:nocase"}).exitCode, 0);
    ASSERT_EQ(Run({"create", "Beta \"b\""}).exitCode, 0);
    ASSERT_EQ(Run({"add", "Alpha", "1:TEXT=one"}).exitCode, 0);
    ProcessResult json = Run({"list", "--json"});
    ASSERT_EQ(json.exitCode, 0) << json.err;
    EXPECT_EQ(json.out.rfind("[\n{\"oid\":", 0), 0u) << json.out;
    EXPECT_NE(json.out.find("\"name\":\"Alpha\",\"type\":7,\"records\":1,\"bytes\":"),
              std::string::npos)
        << json.out;
    EXPECT_NE(json.out.find("\"sort_orders\":[{\"propid\":65567,\"flags\":2}],\"damaged\":false}"),
              std::string::npos)
        << json.out;
    EXPECT_NE(json.out.find("\"name\":\"Beta \\\"b\\\"\",\"type\":0,\"records\":0"),
              std::string::npos);
    EXPECT_EQ(Count(json.out, "{\"oid\":"), 2u);
    EXPECT_EQ(json.out.substr(json.out.size() - 4), "}\n]\n");
}

TEST_F(Devicectl, DatesAndFloatsAreRefusedUnlessTheyAreWholeAndInRange) {
    ASSERT_EQ(Run({"create", "Values"}).exitCode, 0);
    for (const char* bad :
         {"1:DATE=70000-01-01T00:00:00Z", "1:DATE=2026-12-08 06:18:51",
          "1:DATE=2026-12-08T06:18:51Z and more", "1:DATE=2026-12-08T06:18", "1:DATE=1600-12-31",
          "1:FLOAT=1e999", "1:FLOAT=-1e400", "1:FLOAT=nan(1)", "1:FLOAT=infinity", "1:FLOAT= 1",
          "1:FLOAT=1.5x", "1:INT= 1", "1:INT=+1", "1:LONG=1 "}) {
        ProcessResult r = Run({"add", "Values", bad});
        EXPECT_EQ(r.exitCode, 1) << bad;
        EXPECT_NE(r.err.find("is not"), std::string::npos) << bad << ": " << r.err;
    }
    EXPECT_NE(Run({"dump", "Values"}).out.find("0 records"), std::string::npos);
    ProcessResult date = Run({"add", "Values", "1:DATE=2026-12-08T06:18:51", "2:DATE=2026-12-08"});
    EXPECT_EQ(date.exitCode, 0) << date.err;
}

TEST_F(Devicectl, FloatsThatAreNotNumbersAreShownAsAddTakesThemBack) {
    ASSERT_EQ(Run({"create", "Odd"}).exitCode, 0);
    ProcessResult added =
        Run({"add", "Odd", "1:FLOAT=nan", "2:FLOAT=inf", "3:FLOAT=-inf", "4:FLOAT=-0.5"});
    ASSERT_EQ(added.exitCode, 0) << added.err;
    ProcessResult json = Run({"dump", "Odd", "--json"});
    for (const char* shown : {"{\"id\":1,\"type\":\"FLOAT\",\"value\":\"nan\"}",
                              "{\"id\":2,\"type\":\"FLOAT\",\"value\":\"inf\"}",
                              "{\"id\":3,\"type\":\"FLOAT\",\"value\":\"-inf\"}",
                              "{\"id\":4,\"type\":\"FLOAT\",\"value\":-0.5}"}) {
        EXPECT_NE(json.out.find(shown), std::string::npos) << json.out;
    }
    ProcessResult text = Run({"dump", "Odd"});
    EXPECT_NE(text.out.find("FLOAT   nan\n"), std::string::npos) << text.out;
    EXPECT_NE(text.out.find("FLOAT   -inf\n"), std::string::npos);
    // What dump showed goes back in as the same values.
    ASSERT_EQ(Run({"add", "Odd", "1:FLOAT=nan", "2:FLOAT=inf", "3:FLOAT=-inf"}).exitCode, 0);
    EXPECT_EQ(Count(Run({"dump", "Odd", "--json"}).out, "\"value\":\"nan\""), 2u);
}

TEST_F(Devicectl, ANameThatDoesNotFitIsRefusedInsteadOfCut) {
    std::string emoji;
    for (int i = 0; i < 16; ++i)
        emoji += "\xF0\x9F\x98\x80";  // U+1F600, two UTF-16 units
    ProcessResult refused = Run({"create", emoji});
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_NE(
        refused.err.find("does not fit: it takes 32 UTF-16 units, a database name at most 31"),
        std::string::npos)
        << refused.err;
    EXPECT_EQ(Run({"list", "--json"}).out, "[]\n");
    std::string fits = emoji.substr(0, 15 * 4) + "x";  // 31 units
    ASSERT_EQ(Run({"create", fits}).exitCode, 0);
    EXPECT_NE(Run({"list", "--json"}).out.find("\"name\":\"" + fits + "\""), std::string::npos);
}

}  // namespace
}  // namespace devicectl_test
