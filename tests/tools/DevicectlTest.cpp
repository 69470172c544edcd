// devicectl as its users run it: a real process on a real device directory.

#include <gtest/gtest.h>

#include <regex>

#include "tests/support/Process.h"
#include "tests/support/TempDevice.h"

namespace {

using testing_support::BuiltProgram;
using testing_support::ProcessResult;
using testing_support::RunProgram;

class Devicectl : public ::testing::Test {
protected:
    ProcessResult Run(std::vector<std::string> args, const std::string& input = {}) {
        return RunProgram(BuiltProgram("devicectl"), args, {device_.EnvAssignment()}, input);
    }
    static std::size_t Count(const std::string& text, const std::string& what) {
        std::size_t n = 0;
        for (std::size_t at = text.find(what); at != std::string::npos;
             at = text.find(what, at + 1))
            ++n;
        return n;
    }
    testing_support::TempDevice device_;
};

TEST_F(Devicectl, SeedDemoFillsADeviceThatListAndDumpShow) {
    ProcessResult seed = Run({"seed-demo"});
    ASSERT_EQ(seed.exitCode, 0) << seed.err;
    ProcessResult list = Run({"list"});
    ASSERT_EQ(list.exitCode, 0);
    for (const char* name : {"Contacts", "Inbox", "Empty", "\\System Index", "\\Ink Strokes"}) {
        EXPECT_NE(list.out.find(name), std::string::npos) << name;
    }
    ProcessResult json = Run({"dump", "Contacts", "--json"});
    ASSERT_EQ(json.exitCode, 0);
    EXPECT_EQ(
        json.out.rfind("{\"name\":\"Contacts\",\"type\":65537,\"sort_orders\":[{\"propid\":", 0),
        0u);
    EXPECT_EQ(Count(json.out, "{\"oid\":"), 120u);
    EXPECT_NE(json.out.find("\"type\":\"DATE\",\"value\":"), std::string::npos);
    // Seeding again adds nothing.
    ProcessResult again = Run({"seed-demo"});
    EXPECT_NE(again.out.find("0 databases created"), std::string::npos);
    ProcessResult reg = Run({"reg", "list", "HKLM\\Ident"});
    EXPECT_NE(reg.out.find("Name = sz:\"DemoDevice\""), std::string::npos);
}

TEST_F(Devicectl, RecordsAreAddedChangedAndDeleted) {
    ASSERT_EQ(Run({"create", "Log", "--type", "7", "--sort", "0x0001001F:nocase,desc"}).exitCode,
              0);
    ProcessResult added = Run({"add", "Log", "1:TEXT=first \"one\"", "2:INT=-5", "3:BINARY=00ff",
                               "4:DATE=2026-12-08T06:18:51Z", "5:FLOAT=2.5", "6:TEXT"});
    ASSERT_EQ(added.exitCode, 0) << added.err;
    std::string oid = added.out.substr(0, added.out.find('\n'));
    ASSERT_EQ(Run({"set", "Log", oid, "2:INT=9", "7:BOOLEAN=true"}).exitCode, 0);
    ProcessResult json = Run({"dump", "Log", "--json"});
    EXPECT_NE(json.out.find("\"sort_orders\":[{\"propid\":65567,\"flags\":3}]"), std::string::npos)
        << json.out;
    EXPECT_NE(json.out.find("{\"id\":1,\"type\":\"TEXT\",\"value\":\"first \\\"one\\\"\"}"),
              std::string::npos);
    EXPECT_NE(json.out.find("{\"id\":2,\"type\":\"INT\",\"value\":9}"), std::string::npos);
    EXPECT_NE(json.out.find("{\"id\":3,\"type\":\"BINARY\",\"value\":\"00ff\"}"),
              std::string::npos);
    EXPECT_NE(json.out.find("{\"id\":4,\"type\":\"DATE\",\"value\":134411843310000000}"),
              std::string::npos);
    EXPECT_NE(json.out.find("{\"id\":6,\"type\":\"TEXT\",\"value\":null}"), std::string::npos);
    EXPECT_NE(json.out.find("{\"id\":7,\"type\":\"BOOLEAN\",\"value\":1}"), std::string::npos);
    ASSERT_EQ(Run({"del-record", "Log", oid}).exitCode, 0);
    EXPECT_EQ(Count(Run({"dump", "Log", "--json"}).out, "\"oid\""), 0u);
    ASSERT_EQ(Run({"delete", "Log"}).exitCode, 0);
}

TEST_F(Devicectl, ErrorsGoToStandardErrorWithAFailingStatus) {
    struct Case {
        std::vector<std::string> args;
        const char* message;
    } cases[] = {
        {{"dump", "Nothing"}, "cannot open database \"Nothing\""},
        {{"add", "Nothing", "1:INT=70000"}, "is not a 16-bit signed integer"},
        {{"add", "Nothing", "1:WORD=1"}, "unknown property type"},
        {{"create", "x", "--sort", "banana"}, "is not a property identifier"},
        {{"reg", "get", "HKXX\\a"}, "unknown registry root"},
        {{"frobnicate"}, "unknown command"},
    };
    for (const Case& c : cases) {
        ProcessResult r = Run(c.args);
        EXPECT_NE(r.exitCode, 0) << c.args[0];
        EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
    }
    ASSERT_EQ(Run({"create", "Twice"}).exitCode, 0);
    ProcessResult duplicate = Run({"create", "TWICE"});
    EXPECT_EQ(duplicate.exitCode, 1);
    EXPECT_NE(duplicate.err.find("code 52"), std::string::npos);
}

TEST_F(Devicectl, HoldKeepsADatabaseInUseForOtherProcesses) {
    ASSERT_EQ(Run({"create", "Held"}).exitCode, 0);
    testing_support::BackgroundProcess holder(BuiltProgram("devicectl"), {"hold", "Held", "30"},
                                              {device_.EnvAssignment()});
    ASSERT_TRUE(holder.WaitForOutput("holding"));
    ProcessResult refused = Run({"delete", "Held"});
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_NE(refused.err.find("code 32"), std::string::npos) << refused.err;
    holder.Signal(9);
    holder.Wait();
    EXPECT_EQ(Run({"delete", "Held"}).exitCode, 0);
}

TEST_F(Devicectl, RegistryValuesRoundTrip) {
    ASSERT_EQ(Run({"reg", "set", "HKCU\\Software\\T", "Count", "dword", "42"}).exitCode, 0);
    ASSERT_EQ(Run({"reg", "set", "HKCU\\Software\\T", "List", "multi_sz", "a|b"}).exitCode, 0);
    EXPECT_EQ(Run({"reg", "get", "HKCU\\Software\\T", "Count"}).out, "dword:42\n");
    EXPECT_EQ(Run({"reg", "get", "HKCU\\Software\\T", "List"}).out, "multi_sz:\"a|b\"\n");
    ASSERT_EQ(Run({"reg", "delete", "HKCU\\Software\\T", "Count"}).exitCode, 0);
    EXPECT_NE(Run({"reg", "get", "HKCU\\Software\\T", "Count"}).exitCode, 0);
    ASSERT_EQ(Run({"reg", "delete", "HKCU\\Software\\T"}).exitCode, 0);
    EXPECT_NE(Run({"reg", "list", "HKCU\\Software\\T"}).exitCode, 0);
}

std::string Data(const char* name) {
    return std::string(TESSALY_TEST_DATA) + "/" + name;
}

TEST_F(Devicectl, LzwStreamsRoundTripAndBrokenOnesAreRefused) {
    std::string text;
    for (int i = 0; i < 2000; ++i)
        text += "record " + std::to_string(i % 37) + "; ";
    ProcessResult packed = Run({"lzw", "c"}, text);
    ASSERT_EQ(packed.exitCode, 0) << packed.err;
    EXPECT_LT(packed.out.size(), text.size() / 3);
    ProcessResult unpacked = Run({"lzw", "d"}, packed.out);
    ASSERT_EQ(unpacked.exitCode, 0) << unpacked.err;
    EXPECT_EQ(unpacked.out, text);
    ProcessResult broken = Run({"lzw", "d"}, std::string("\xff\xff\xff", 3));
    EXPECT_EQ(broken.exitCode, 1);
    EXPECT_NE(broken.err.find("not a stream"), std::string::npos);
}

TEST_F(Devicectl, ArchivesAreListedAndVerified) {
    for (const char* name : {"Sample.bkp", "SampleCompressed.bkp"}) {
        ProcessResult list = Run({"archive", "list", Data(name)});
        ASSERT_EQ(list.exitCode, 0) << list.err;
        EXPECT_NE(list.out.find("2 databases"), std::string::npos) << list.out;
        EXPECT_NE(list.out.find("\\Calendar                            0.99KB  2026-12-08 "
                                "06:18:51  0 records"),
                  std::string::npos)
            << list.out;
        ProcessResult verify = Run({"archive", "verify", Data(name)});
        EXPECT_EQ(verify.exitCode, 0) << verify.out;
        EXPECT_NE(verify.out.find("ok: 2 databases, 3 records"), std::string::npos);
    }
    EXPECT_NE(Run({"archive", "list", Data("Sample.bkp")}).out.find("password-protected"),
              std::string::npos);
    ProcessResult truncated = Run({"archive", "verify", Data("TruncatedRecord.bkp")});
    EXPECT_EQ(truncated.exitCode, 1);
    EXPECT_NE(truncated.out.find("offset 304: \"Contacts\" record 3: the record is shorter"),
              std::string::npos)
        << truncated.out;
}

TEST_F(Devicectl, ScriptsAndRegistryBackupsAreShown) {
    ProcessResult script = Run({"script", "show", Data("Sample.abk")});
    ASSERT_EQ(script.exitCode, 0) << script.err;
    EXPECT_EQ(script.out,
              "archive: \\My Documents\\all.bkp\ncompressed: yes\npassword: set\n"
              "databases: 2\n  Contacts\n  \\Calendar\n");
    ProcessResult rbk = Run({"rbk", "list", Data("Sample.rbk")});
    ASSERT_EQ(rbk.exitCode, 0) << rbk.err;
    EXPECT_NE(rbk.out.find("HKEY_CURRENT_USER\\Software\\Corvane\\Tessaly\n"
                           "  (default)                REG_SZ         6 bytes\n"),
              std::string::npos)
        << rbk.out;
    ProcessResult zero = Run({"rbk", "list", Data("ZeroValueKey.rbk")});
    EXPECT_EQ(zero.exitCode, 1);
    EXPECT_NE(zero.err.find("offset 84: key record 1 is unreadable"), std::string::npos);
    ProcessResult notScript = Run({"script", "show", Data("Sample.rbk")});
    EXPECT_EQ(notScript.exitCode, 1);
}

}  // namespace
