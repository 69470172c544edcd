// `devicectl edit` runs the record editor's own operations from a script:
// what the editor would refuse is refused with its message and a failing
// status, questions are answered from standard input or by --yes, and
// what it writes is what `devicectl dump` reads.

#include <gtest/gtest.h>

#include "tests/tools/DevicectlFixture.h"

namespace devicectl_test {
namespace {

class EditScript : public Devicectl {
protected:
    void SetUp() override {
        ASSERT_EQ(Run({"create", "Notes"}).exitCode, 0);
        ProcessResult added = Run({"add", "Notes", "1:INT=5", "2:TEXT=old", "3:BOOLEAN=false",
                                   "4:DATE=2026-12-08T06:18:51Z", "5:ULONG=7", "6:BINARY=00ff"});
        ASSERT_EQ(added.exitCode, 0) << added.err;
    }
    ProcessResult Edit(std::vector<std::string> args, const std::string& input = {}) {
        args.insert(args.begin(), "edit");
        return Run(args, input);
    }
    std::string Json(const char* name = "Notes") { return Run({"dump", name, "--json"}).out; }
    static bool Has(const std::string& text, const std::string& what) {
        return text.find(what) != std::string::npos;
    }
};

// ---- Changing values ----

TEST_F(EditScript, TypedValuesOfEveryEditableTypeAreSavedAsTheEditorWritesThem) {
    ProcessResult edit = Edit({"Notes", "--yes", "set", "1=-7", "set", "2=Ωmega ünïcode", "set",
                               "3=true", "set", "4=2027-01-02T03:04:05Z", "set", "5=4294967295"});
    ASSERT_EQ(edit.exitCode, 0) << edit.err;
    std::string json = Json();
    EXPECT_TRUE(Has(json, "{\"id\":1,\"type\":\"INT\",\"value\":-7}")) << json;
    EXPECT_TRUE(Has(json, "{\"id\":2,\"type\":\"TEXT\",\"value\":\"Ωmega ünïcode\"}")) << json;
    EXPECT_TRUE(Has(json, "{\"id\":3,\"type\":\"BOOLEAN\",\"value\":1}")) << json;
    // 2027-01-02T03:04:05Z as a FILETIME count.
    EXPECT_TRUE(Has(json, "{\"id\":4,\"type\":\"DATE\",\"value\":134433326450000000}")) << json;
    EXPECT_TRUE(Has(json, "{\"id\":5,\"type\":\"ULONG\",\"value\":4294967295}")) << json;
}

TEST_F(EditScript, InputTheEditorRefusesFailsWithItsMessageAndChangesNothing) {
    std::string before = Json();
    for (const char* step : {"1=abc", "1=32768", "5=-1", "5=4294967296"}) {
        ProcessResult edit = Edit({"Notes", "--yes", "set", step});
        EXPECT_EQ(edit.exitCode, 1) << step;
        EXPECT_TRUE(Has(edit.err, "Property data is incorrect")) << step << ": " << edit.err;
    }
    ProcessResult binary = Edit({"Notes", "--yes", "set", "6=0000"});
    EXPECT_EQ(binary.exitCode, 1);
    EXPECT_TRUE(Has(binary.err, "BINARY")) << binary.err;
    ProcessResult missing = Edit({"Notes", "--yes", "set", "9=1"});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_TRUE(Has(missing.err, "no property 9")) << missing.err;
    EXPECT_EQ(Json(), before);
}

TEST_F(EditScript, TheChangeWarningIsAskedOnStandardInputAndNoAnswerMeansNo) {
    std::string before = Json();
    ProcessResult unanswered = Edit({"Notes", "set", "1=9"});
    EXPECT_EQ(unanswered.exitCode, 1);
    EXPECT_TRUE(Has(unanswered.err, "Do you what to overwrite it?")) << unanswered.err;
    EXPECT_EQ(Json(), before);
    ProcessResult declined = Edit({"Notes", "set", "1=9"}, "n\n");
    EXPECT_EQ(declined.exitCode, 1);
    EXPECT_EQ(Json(), before);
    ProcessResult agreed = Edit({"Notes", "set", "1=9"}, "y\n");
    EXPECT_EQ(agreed.exitCode, 0) << agreed.err;
    EXPECT_TRUE(Has(Json(), "{\"id\":1,\"type\":\"INT\",\"value\":9}"));
}

// ---- Adding and deleting ----

TEST_F(EditScript, TheWizardAddsAPropertyOrARecordAndRefusesANumberInUse) {
    ProcessResult added = Edit({"Notes", "add", "9:UINT=65535", "add", "10:TEXT=new text"});
    ASSERT_EQ(added.exitCode, 0) << added.err;
    std::string json = Json();
    EXPECT_TRUE(Has(json, "{\"id\":9,\"type\":\"UINT\",\"value\":65535}")) << json;
    EXPECT_TRUE(Has(json, "{\"id\":10,\"type\":\"TEXT\",\"value\":\"new text\"}")) << json;

    ProcessResult inUse = Edit({"Notes", "add", "2:TEXT=again"});
    EXPECT_EQ(inUse.exitCode, 1);
    EXPECT_TRUE(Has(inUse.err, "The property ID 2 is already in use")) << inUse.err;
    ProcessResult badValue = Edit({"Notes", "add", "11:INT=40000"});
    EXPECT_EQ(badValue.exitCode, 1);
    EXPECT_TRUE(Has(badValue.err, "Property data is incorrect")) << badValue.err;
    EXPECT_FALSE(Has(Json(), "\"id\":11,"));

    ProcessResult record = Edit({"Notes", "add-record", "1:BOOLEAN=true"});
    ASSERT_EQ(record.exitCode, 0) << record.err;
    EXPECT_EQ(Count(Json(), "{\"oid\":"), 2u);
}

TEST_F(EditScript, AnEmptyDatabaseGetsItsFirstRecordFromTheWizard) {
    ASSERT_EQ(Run({"create", "Empty"}).exitCode, 0);
    ProcessResult opened = Edit({"Empty", "show"});
    EXPECT_EQ(opened.exitCode, 1);
    EXPECT_TRUE(Has(opened.err, "deleted the last record")) << opened.err;
    ProcessResult first = Edit({"Empty", "add-record", "3:FLOAT=2.5", "show"});
    ASSERT_EQ(first.exitCode, 0) << first.err;
    EXPECT_TRUE(Has(first.out, "record 1 of 1")) << first.out;
    EXPECT_TRUE(Has(Json("Empty"), "{\"id\":3,\"type\":\"FLOAT\",\"value\":2.5}"));
}

TEST_F(EditScript, DeletionsAskFirstAndTheLastRecordsDeletionClosesTheEditor) {
    ProcessResult kept = Edit({"Notes", "delete-property", "2"});
    EXPECT_EQ(kept.exitCode, 1);
    EXPECT_TRUE(Has(Json(), "\"id\":2,"));
    ProcessResult property = Edit({"Notes", "--yes", "delete-property", "2"});
    ASSERT_EQ(property.exitCode, 0) << property.err;
    EXPECT_FALSE(Has(Json(), "\"id\":2,"));

    ProcessResult record = Edit({"Notes", "delete-record", "show"}, "y\n");
    EXPECT_EQ(record.exitCode, 1) << "the editor closed before show";
    EXPECT_TRUE(Has(record.err, "deleted the last record")) << record.err;
    EXPECT_EQ(Count(Json(), "{\"oid\":"), 0u);
}

TEST_F(EditScript, TheClipboardCarriesAPropertyToAnotherRecordAndUndoTakesACutBack) {
    ProcessResult copied =
        Edit({"Notes", "--yes", "copy", "2", "add-record", "9:TEXT=x", "paste", "show"});
    ASSERT_EQ(copied.exitCode, 0) << copied.err;
    EXPECT_TRUE(Has(copied.out, "record 2 of 2")) << copied.out;
    EXPECT_TRUE(Has(copied.out, "  2 TEXT (3) \"old\"")) << copied.out;
    EXPECT_EQ(Count(Json(), "{\"id\":2,\"type\":\"TEXT\",\"value\":\"old\"}"), 2u);

    // Pasting over a property asks first; No leaves it and fails.
    ProcessResult over = Edit({"Notes", "copy", "2", "paste"}, "n\n");
    EXPECT_EQ(over.exitCode, 1);
    EXPECT_TRUE(Has(over.err, "already exists in this record")) << over.err;

    ProcessResult undone = Edit({"Notes", "--yes", "cut", "1", "undo", "show"});
    ASSERT_EQ(undone.exitCode, 0) << undone.err;
    EXPECT_TRUE(Has(undone.out, "  1 INT (2) 5")) << undone.out;
    EXPECT_TRUE(Has(Json(), "{\"id\":1,\"type\":\"INT\",\"value\":5}"));

    EXPECT_TRUE(Has(Edit({"Notes", "paste"}).err, "no property was copied"));
    EXPECT_TRUE(Has(Edit({"Notes", "undo"}).err, "nothing to undo"));
    ProcessResult sorted = Edit({"Notes", "sort", "1"});
    EXPECT_EQ(sorted.exitCode, 1);
    EXPECT_TRUE(Has(sorted.err, "has 0 sort orders")) << sorted.err;
    EXPECT_EQ(Edit({"Notes", "sort", "unsorted", "reload", "show"}).exitCode, 0);
}

// ---- Finding and moving ----

TEST_F(EditScript, FindGoesOnFromTheRecordAfterTheCurrentAndWrapsWhenAgreed) {
    ASSERT_EQ(Run({"add", "Notes", "1:TEXT=second"}).exitCode, 0);
    ASSERT_EQ(Run({"add", "Notes", "1:TEXT=a Needle here"}).exitCode, 0);
    ProcessResult found = Edit({"Notes", "find", "needle"});
    ASSERT_EQ(found.exitCode, 0) << found.err;
    EXPECT_TRUE(Has(found.out, "found in record 3, property 1")) << found.out;

    ProcessResult matchCase = Edit({"Notes", "--match-case", "find", "needle"});
    EXPECT_EQ(matchCase.exitCode, 1);
    EXPECT_TRUE(Has(matchCase.err, "Unable to find any records containing text \"needle\""))
        << matchCase.err;

    // From the last record the search wraps to the first only when agreed.
    ProcessResult refused = Edit({"Notes", "--record", "3", "find", "old"});
    EXPECT_EQ(refused.exitCode, 1);
    ProcessResult wrapped = Edit({"Notes", "--record", "3", "--yes", "find", "old"});
    ASSERT_EQ(wrapped.exitCode, 0) << wrapped.err;
    EXPECT_TRUE(Has(wrapped.out, "found in record 1, property 2")) << wrapped.out;

    ProcessResult numbers = Edit({"Notes", "--numbers", "find", "4294967295"});
    EXPECT_EQ(numbers.exitCode, 1) << "7 is stored, not 4294967295";
    ProcessResult seven = Edit({"Notes", "--record", "2", "--numbers", "--yes", "find", "7"});
    EXPECT_TRUE(Has(seven.out, "found in record 1, property 5")) << seven.out << seven.err;
}

TEST_F(EditScript, StepsMoveThroughTheRecordsAndStopAtTheEnds) {
    ASSERT_EQ(Run({"add", "Notes", "1:TEXT=second"}).exitCode, 0);
    ProcessResult moved = Edit({"Notes", "next", "show", "previous", "show", "last", "show"});
    ASSERT_EQ(moved.exitCode, 0) << moved.err;
    EXPECT_EQ(Count(moved.out, "record 2 of 2"), 2u) << moved.out;
    EXPECT_EQ(Count(moved.out, "record 1 of 2"), 1u) << moved.out;
    EXPECT_TRUE(Has(moved.out, "  1 TEXT (6) \"second\"")) << moved.out;
    ProcessResult past = Edit({"Notes", "--record", "2", "next"});
    EXPECT_EQ(past.exitCode, 1);
    ProcessResult beyond = Edit({"Notes", "--record", "3", "show"});
    EXPECT_EQ(beyond.exitCode, 1);
    EXPECT_TRUE(Has(beyond.err, "has 2 records")) << beyond.err;
}

TEST_F(EditScript, BadCommandLinesAreRefusedBeforeTheEditorOpens) {
    EXPECT_EQ(Edit({"Notes"}).exitCode, 1);
    EXPECT_TRUE(Has(Edit({"Notes", "jump"}).err, "unknown editor step \"jump\""));
    EXPECT_TRUE(Has(Edit({"Notes", "set"}).err, "set needs a value"));
    EXPECT_TRUE(Has(Edit({"Notes", "set", "x=1"}).err, "is no property number"));
    EXPECT_TRUE(Has(Edit({"Notes", "add", "3:PICTURE=1"}).err, "unknown property type"));
    EXPECT_TRUE(Has(Edit({"Notes", "add", "3:BINARY=00"}).err, "adds no BINARY"));
    EXPECT_TRUE(Has(Edit({"Notes", "--record", "0", "show"}).err, "--record needs"));
    EXPECT_EQ(Edit({"Nothing", "show"}).exitCode, 1);
}

}  // namespace
}  // namespace devicectl_test
