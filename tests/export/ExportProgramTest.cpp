// devicectl export as a user meets it: the file opens in a CSV reader
// (Python's csv module) with every value of every record in its place.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "tests/support/Process.h"
#include "tests/support/TempDevice.h"

namespace {

using testing_support::BuiltProgram;
using testing_support::ProcessResult;
using testing_support::RunProgram;

// Reads the export with the csv module and checks it against the JSON dump
// of the same database: one row per record in the same order, texts and
// whole numbers as they are, booleans and binary values empty, dates and
// floating values present.
const char* kCheck = R"PY(
import csv, json, sys
path, encoding, dump, delimiter = sys.argv[1], sys.argv[2], sys.argv[3], sys.argv[4]
records = json.load(open(dump))["records"]
with open(path, newline="", encoding=encoding) as f:
    rows = list(csv.reader(f, delimiter="\t" if delimiter == "tab" else ","))
assert len(rows) == len(records), (len(rows), len(records))
for row, record in zip(rows, records):
    props = record["props"]
    assert len(row) == len(props), (row, props)
    for field, prop in zip(row, props):
        kind, value = prop["type"], prop.get("value")
        if kind == "TEXT":
            expected = value if value is not None else ""
        elif kind in ("INT", "UINT", "LONG", "ULONG"):
            expected = str(value)
        elif kind in ("BOOLEAN", "BINARY"):
            expected = ""
        else:
            assert field != "", (row, prop)
            continue
        if encoding == "latin-1":
            expected = "".join(chr(ord(c) & 0xFF) for c in expected)
        assert field == expected, (field, expected)
print("rows", len(rows))
)PY";

class ExportProgram : public ::testing::Test {
protected:
    ProcessResult Devicectl(std::vector<std::string> args) {
        return RunProgram(BuiltProgram("devicectl"), args, {device_.EnvAssignment()});
    }
    std::string File(const char* name) const { return (device_.path() / name).string(); }

    void ExpectReadsBack(const char* database, const char* file, const char* encoding,
                         const char* delimiter) {
        ProcessResult dump = Devicectl({"dump", database, "--json"});
        ASSERT_EQ(dump.exitCode, 0) << dump.err;
        std::ofstream(File("dump.json")) << dump.out;
        std::ofstream(File("check.py")) << kCheck;
        ProcessResult check =
            RunProgram("/usr/bin/python3",
                       {File("check.py"), File(file), encoding, File("dump.json"), delimiter});
        EXPECT_EQ(check.exitCode, 0) << check.err;
        EXPECT_NE(check.out.find("rows "), std::string::npos);
    }

    testing_support::TempDevice device_;
};

TEST_F(ExportProgram, EveryValueOfTheContactsReadsBackInUnicodeAndEightBitMode) {
    ASSERT_EQ(Devicectl({"seed-demo"}).exitCode, 0);
    ProcessResult unicode = Devicectl({"export", "Contacts", File("c.csv"), "--unicode"});
    ASSERT_EQ(unicode.exitCode, 0) << unicode.err;
    ExpectReadsBack("Contacts", "c.csv", "utf-16", "comma");
    ProcessResult narrow = Devicectl({"export", "Contacts", File("c8.csv")});
    ASSERT_EQ(narrow.exitCode, 0) << narrow.err;
    ExpectReadsBack("Contacts", "c8.csv", "latin-1", "comma");
    ProcessResult tabs = Devicectl({"export", "Tasks", File("t.txt"), "--tab"});
    ASSERT_EQ(tabs.exitCode, 0) << tabs.err;
    ExpectReadsBack("Tasks", "t.txt", "latin-1", "tab");
}

TEST_F(ExportProgram, AnExistingFileIsReplacedOnlyWithForce) {
    ASSERT_EQ(Devicectl({"seed-demo"}).exitCode, 0);
    std::ofstream(File("old.csv")) << "old";
    ProcessResult refused = Devicectl({"export", "Notes", File("old.csv")});
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_NE(refused.err.find("--force"), std::string::npos);
    EXPECT_EQ(std::filesystem::file_size(File("old.csv")), 3u);
    EXPECT_EQ(Devicectl({"export", "Notes", File("old.csv"), "--force"}).exitCode, 0);
    EXPECT_GT(std::filesystem::file_size(File("old.csv")), 3u);
}

TEST_F(ExportProgram, AMissingDatabaseFailsWithTheProgramsMessages) {
    ProcessResult missing = Devicectl({"export", "Nowhere", File("n.csv")});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_NE(missing.err.find("Tessaly: Couldn't open \"Nowhere\" database"), std::string::npos);
    EXPECT_NE(missing.err.find("Tessaly: Unable to export the database into a file."),
              std::string::npos);
}

}  // namespace
