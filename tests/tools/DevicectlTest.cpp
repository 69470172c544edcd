// devicectl as its users run it: a real process on a real device directory.

#include <sqlite3.h>
#include <sys/resource.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>

#include "tests/tools/DevicectlFixture.h"

namespace devicectl_test {
namespace {

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
    EXPECT_NE(truncated.err.find("devicectl: " + Data("TruncatedRecord.bkp") +
                                 ": offset 304: \"Contacts\" record 3: the record is shorter"),
              std::string::npos)
        << truncated.err;
    EXPECT_EQ(truncated.out, "");
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

// ---- Damage, bombs and what the messages say ---------------------------------

class DevicectlOnDamage : public Devicectl {
protected:
    // Changes the volume behind the store's back.
    void Damage(const std::string& sql) {
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open((device_.path() / "objectstore.db").c_str(), &db), SQLITE_OK);
        sqlite3_busy_timeout(db, 5000);
        EXPECT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr), SQLITE_OK) << sql;
        sqlite3_close(db);
    }
    std::string Created(const std::vector<std::string>& args) {
        ProcessResult r = Run(args);
        EXPECT_EQ(r.exitCode, 0) << r.err;
        return r.out.substr(0, r.out.find('\n'));
    }
    // A copy of a test file, cut or padded to `size` bytes (sparse).
    std::string Copy(const char* name, std::uint64_t size) {
        std::filesystem::path copy = files_.path() / name;
        std::filesystem::copy_file(Data(name), copy);
        std::filesystem::resize_file(copy, size);
        return copy.string();
    }
    testing_support::TempDirectory files_;
};

TEST_F(DevicectlOnDamage, ADatabaseWithADamagedCatalogueRowIsListedAsDamagedAndCanBeDeleted) {
    std::string oid = Created({"create", "Broken", "--sort", "0x00010003"});
    ASSERT_EQ(Run({"add", "Broken", "1:LONG=1"}).exitCode, 0);
    Created({"create", "Fine"});
    Damage("UPDATE databases SET sort_orders = x'0102' WHERE oid = " + oid);

    ProcessResult list = Run({"list"});
    EXPECT_NE(list.out.find("Broken"), std::string::npos) << list.out;
    EXPECT_NE(list.out.find("damaged (cannot be read)"), std::string::npos) << list.out;
    EXPECT_NE(list.out.find("Fine"), std::string::npos);
    ProcessResult json = Run({"list", "--json"});
    EXPECT_NE(json.out.find("\"name\":\"Broken\",\"type\":0,\"records\":1"), std::string::npos)
        << json.out;
    EXPECT_NE(json.out.find("\"sort_orders\":[],\"damaged\":true}"), std::string::npos);
    ProcessResult dump = Run({"dump", "Broken"});
    EXPECT_EQ(dump.exitCode, 0) << dump.err;
    EXPECT_NE(dump.out.find("sort orders: damaged"), std::string::npos) << dump.out;
    EXPECT_NE(dump.out.find("1 LONG    1"), std::string::npos) << dump.out;
    EXPECT_NE(Run({"info"}).out.find("databases:  2"), std::string::npos);

    ProcessResult again = Run({"create", "Broken"});
    EXPECT_NE(again.err.find("a database of that name exists"), std::string::npos) << again.err;
    ProcessResult deleted = Run({"delete", "Broken"});
    EXPECT_EQ(deleted.exitCode, 0) << deleted.err;
    EXPECT_EQ(Run({"create", "Broken"}).exitCode, 0);
}

TEST_F(DevicectlOnDamage, ADamagedRecordIsSkippedWithACountAndCanBeDeleted) {
    Created({"create", "Records"});
    std::vector<std::string> oids;
    for (const char* value : {"1:LONG=1", "1:LONG=2", "1:LONG=3"})
        oids.push_back(Created({"add", "Records", value}));
    Damage("UPDATE records SET props = x'05' WHERE oid = " + oids[1]);

    ProcessResult dump = Run({"dump", "Records"});
    EXPECT_EQ(dump.exitCode, 1);
    EXPECT_NE(dump.out.find("record 1 (oid " + oids[0] + ")"), std::string::npos) << dump.out;
    EXPECT_NE(dump.out.find("record 2 (oid " + oids[2] + ")"), std::string::npos) << dump.out;
    EXPECT_EQ(dump.err, "devicectl: 1 damaged record skipped (oid " + oids[1] +
                            "): the stored data is corrupt (code 1009)\n");
    ProcessResult json = Run({"dump", "Records", "--json"});
    EXPECT_EQ(json.exitCode, 1);
    EXPECT_NE(json.out.find("\"damaged\":[" + oids[1] + "]}\n"), std::string::npos) << json.out;
    EXPECT_EQ(Count(json.out, "{\"oid\":"), 2u);

    ProcessResult deleted = Run({"del-record", "Records", oids[1]});
    EXPECT_EQ(deleted.exitCode, 0) << deleted.err;
    ProcessResult clean = Run({"dump", "Records"});
    EXPECT_EQ(clean.exitCode, 0) << clean.err;
    EXPECT_NE(clean.out.find("2 records"), std::string::npos) << clean.out;
}

TEST_F(DevicectlOnDamage, ArchiveBombsAndBlocksPastTheCountAreReported) {
    ProcessResult record = Run({"archive", "verify", Data("RecordBomb.bkp")});
    EXPECT_EQ(record.exitCode, 1);
    EXPECT_NE(record.err.find("offset 93: \"Bomb\" record 1: the record image is larger than the "
                              "largest record (131072 bytes)"),
              std::string::npos)
        << record.out << record.err;
    ProcessResult header = Run({"archive", "verify", Data("HeaderBomb.bkp")});
    EXPECT_EQ(header.exitCode, 1);
    EXPECT_NE(header.err.find("offset 24: the database header cannot be read whole or does not "
                              "unpack to 144 bytes"),
              std::string::npos)
        << header.err;
    ProcessResult zeroed = Run({"archive", "verify", Data("ZeroedCount.bkp")});
    EXPECT_EQ(zeroed.exitCode, 1);
    EXPECT_EQ(zeroed.out, "");
    EXPECT_NE(zeroed.err.find("offset 64: 492 bytes after the last of the 0 counted blocks"),
              std::string::npos)
        << zeroed.err;
}

TEST_F(DevicectlOnDamage, AnArchiveFollowedByMoreThan4GBStillReadsWhole) {
    // Past 4 GB the low 32 bits of the size (100) are less than the blocks.
    constexpr std::uint64_t kSize = (std::uint64_t{1} << 32) + 100;
    std::string big = Copy("Sample.bkp", kSize);
    ProcessResult list = Run({"archive", "list", big});
    EXPECT_EQ(list.exitCode, 0) << list.err;
    EXPECT_NE(list.out.find("2 databases"), std::string::npos);
    ProcessResult verify = Run({"archive", "verify", big});
    EXPECT_EQ(verify.exitCode, 1);
    EXPECT_NE(verify.err.find("offset 556: " + std::to_string(kSize - 556) +
                              " bytes after the last of the 2 counted blocks"),
              std::string::npos)
        << verify.err;
}

TEST_F(DevicectlOnDamage, LzwDecodesAStreamFarLargerThanItsMemoryAsItGoes) {
    // 200 MB of zeros from a stream of 34 KB, counted instead of kept.
    ProcessResult decoded =
        RunProgram("/bin/sh", {"-c", "\"$0\" lzw d < \"$1\" | wc -c",
                               BuiltProgram("devicectl").string(), Data("Zeros200M.lzw")});
    ASSERT_EQ(decoded.exitCode, 0) << decoded.err;
    EXPECT_EQ(std::stoull(decoded.out), std::uint64_t{200} << 20);
    rusage children{};
    ASSERT_EQ(getrusage(RUSAGE_CHILDREN, &children), 0);
    EXPECT_LT(children.ru_maxrss, 100 * 1024) << "KB at most in any program this test ran";
}

TEST_F(DevicectlOnDamage, ProblemsAreNamedForWhatTheyAre) {
    // The header says a password block follows, but the file ends after it.
    ProcessResult cut = Run({"archive", "list", Copy("Sample.bkp", 40)});
    EXPECT_NE(cut.err.find(": offset 24: the password block cannot be read whole"),
              std::string::npos)
        << cut.err;
    ProcessResult directory = Run({"archive", "verify", files_.path().string()});
    EXPECT_EQ(directory.err,
              "devicectl: " + files_.path().string() + ": is a directory, not a file\n");

    Created({"create", "Mine"});
    Created({"create", "Other"});
    std::string other = Created({"add", "Other", "1:LONG=5"});
    for (const std::string& record : {std::string("12345"), other}) {
        ProcessResult set = Run({"set", "Mine", record, "1:LONG=1"});
        EXPECT_EQ(set.err, "devicectl: no record " + record + " in \"Mine\"\n");
        ProcessResult del = Run({"del-record", "Mine", record});
        EXPECT_EQ(del.err, "devicectl: no record " + record + " in \"Mine\"\n");
    }
    EXPECT_NE(Run({"dump", "Other"}).out.find("1 records"), std::string::npos);
}

}  // namespace
}  // namespace devicectl_test
