// Export of real databases into real files: the Export Database dialog, the
// save dialog, the file's bytes, and the failures and what they leave.

#include "export/TextExport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "appcore/Application.h"
#include "export/ExportDialog.h"
#include "platform/core/Text.h"
#include "platform/files/Files.h"
#include "platform/gui/NativeEvents.h"
#include "platform/gui/WinUser.h"
#include "platform/objectstore/ObjectStore.h"
#include "resources/ControlIds.h"
#include "resources/DialogIds.h"
#include "resources/StringIds.h"
#include "tests/support/ScriptedSession.h"
#include "tests/support/TempDevice.h"

namespace {

using namespace ce;
using namespace textexport;
using Bytes = std::vector<BYTE>;

class TextExportTest : public ::testing::Test {
protected:
    void TearDown() override { ClearWriteFailure(); }

    // A database with the given records, each a list of properties.
    void MakeDatabase(const char16_t* name, std::vector<std::vector<CEPROPVAL>> records) {
        ASSERT_NE(CeCreateDatabase(name, 0, 0, nullptr), 0u);
        CEOID oid = 0;
        HANDLE db = CeOpenDatabase(&oid, name, 0, 0, nullptr);
        ASSERT_NE(db, INVALID_HANDLE_VALUE);
        for (auto& record : records)
            ASSERT_NE(CeWriteRecordProps(db, 0, static_cast<WORD>(record.size()), record.data()),
                      0u);
        CloseHandle(db);
    }

    std::filesystem::path Path(const char* name) const { return device_.path() / name; }
    std::u16string Wide(const char* name) const { return Utf8ToWide(Path(name).string()); }

    Bytes Read(const char* name) const {
        std::ifstream in(Path(name), std::ios::binary);
        return Bytes(std::istreambuf_iterator<char>(in), {});
    }

    // Exports into a file created as the command would.
    bool Export(const char16_t* database, const char* file, int type, bool unicode) {
        ExportOptions options;
        options.fileType = type;
        options.unicode = unicode;
        options.file = CreateFileW(Wide(file).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                   FILE_ATTRIBUTE_NORMAL, nullptr);
        return WriteExport(database, options);
    }

    static CEPROPVAL Text(WORD id, const char16_t* text) {
        CEPROPVAL v{};
        v.propid = MakePropID(id, CEVT_LPWSTR);
        v.val.lpwstr = const_cast<char16_t*>(text);
        return v;
    }
    static CEPROPVAL Number(WORD id, LONG value) {
        CEPROPVAL v{};
        v.propid = MakePropID(id, CEVT_I4);
        v.val.lVal = value;
        return v;
    }

    testing_support::TempDevice device_;
    testing_support::ScriptedSession session_;
    gui::ScriptedUser& user_ = session_.user();
};

TEST_F(TextExportTest, AnEmptyDatabaseGivesTheByteOrderMarkOrAnEmptyFile) {
    MakeDatabase(u"Nothing", {});
    ASSERT_TRUE(Export(u"Nothing", "u.txt", kTabSeparated, true));
    EXPECT_EQ(Read("u.txt"), (Bytes{0xFF, 0xFE}));
    ASSERT_TRUE(Export(u"Nothing", "e.csv", kCommaSeparated, false));
    EXPECT_TRUE(Read("e.csv").empty());
    EXPECT_TRUE(user_.ShownIds().empty());
}

TEST_F(TextExportTest, RecordsWithDifferentPropertiesGiveLinesWithDifferentColumns) {
    MakeDatabase(u"Mixed", {{Text(1, u"one"), Number(2, 1)},
                            {Number(2, 2)},
                            {Text(1, u"three"), Number(2, 3), Text(3, u"x")}});
    ASSERT_TRUE(Export(u"Mixed", "m.csv", kCommaSeparated, false));
    Bytes bytes = Read("m.csv");
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()),
              "\"one\",\"1\"\r\n\"2\"\r\n\"three\",\"3\",\"x\"\r\n");
}

TEST_F(TextExportTest, ALargeDatabaseCrossesTheBufferWithoutLosingAByte) {
    std::vector<std::vector<CEPROPVAL>> records;
    std::u16string text(300, u'q');
    for (int i = 0; i < 500; ++i)
        records.push_back({Text(1, text.c_str()), Number(2, i)});
    MakeDatabase(u"Large", records);
    ASSERT_TRUE(Export(u"Large", "l.txt", kTabSeparated, true));
    Bytes expected{0xFF, 0xFE};
    LineEncoder encoder(true, kTab);
    for (auto& record : records)
        encoder.AppendRecord(record.data(), static_cast<WORD>(record.size()), expected);
    ASSERT_GT(expected.size(), kExportBuffer * 4);
    EXPECT_EQ(Read("l.txt"), expected);
}

TEST_F(TextExportTest, ADatabaseThatCannotBeOpenedLeavesTheFileAsCreated) {
    EXPECT_FALSE(Export(u"Missing", "n.txt", kTabSeparated, true));
    EXPECT_EQ(user_.ShownIds(), (std::vector<UINT>{res::IDS_CANT_OPEN_DB, res::IDS_CANT_EXPORT}));
    EXPECT_EQ(Read("n.txt"), (Bytes{0xFF, 0xFE}));
}

TEST_F(TextExportTest, AFailedWriteIsReportedAndWhatWasWrittenStays) {
    std::vector<std::vector<CEPROPVAL>> records(2000, {Number(2, 123456)});
    MakeDatabase(u"Full", records);
    SetWriteFailure(1000, "full.csv");
    EXPECT_FALSE(Export(u"Full", "full.csv", kCommaSeparated, false));
    EXPECT_EQ(user_.ShownIds(), (std::vector<UINT>{res::IDS_CANT_EXPORT}));
    EXPECT_EQ(Read("full.csv").size(), 1000u);
}

// ---- The Export command ----

TEST_F(TextExportTest, TheCommandStartsOnCommaSeparatedEightBitAndExportsTheChoice) {
    MakeDatabase(u"Names", {{Text(1, u"Ann"), Number(2, -1)}});
    user_.OnDialog(res::IDD_EXPORT, [](HWND dialog) {
        EXPECT_EQ(SendDlgItemMessageW(dialog, res::IDC_EXPORT_FORMAT, CB_GETCURSEL, 0, 0),
                  kCommaSeparated);
        EXPECT_EQ(SendDlgItemMessageW(dialog, res::IDC_EXPORT_FORMAT, CB_GETCOUNT, 0, 0), 2);
        EXPECT_EQ(IsDlgButtonChecked(dialog, res::IDC_EXPORT_UNICODE), BST_UNCHECKED);
        SendDlgItemMessageW(dialog, res::IDC_EXPORT_FORMAT, CB_SETCURSEL, kTabSeparated, 0);
        CheckDlgButton(dialog, res::IDC_EXPORT_UNICODE, BST_CHECKED);
        SendMessageW(dialog, WM_COMMAND, IDOK, 0);
    });
    user_.AnswerFile(Wide("names"));
    ASSERT_TRUE(ExportCommand(nullptr, u"Names"));
    ASSERT_EQ(user_.fileDialogs().size(), 1u);
    const gui::FileDialogRequest& asked = user_.fileDialogs()[0];
    EXPECT_TRUE(asked.save);
    ASSERT_EQ(asked.filters.size(), 1u);
    EXPECT_EQ(asked.filters[0].first, u"Text Files (*.txt)");
    EXPECT_EQ(asked.filters[0].second, u"*.txt");
    EXPECT_EQ(asked.initialName, u".txt");
    // The bare name got the default extension.
    EXPECT_EQ(Read("names.txt"), (Bytes{0xFF, 0xFE, '"', 0,   'A', 0,   'n', 0,    'n', 0,    '"',
                                        0,    0x09, 0,   '-', 0,   '1', 0,   0x0D, 0,   0x0A, 0}));
}

TEST_F(TextExportTest, OkWithoutAFileTypeAsksForOneAndCancelExportsNothing) {
    MakeDatabase(u"Names", {{Text(1, u"Ann")}});
    user_.OnDialog(res::IDD_EXPORT, [this](HWND dialog) {
        SendDlgItemMessageW(dialog, res::IDC_EXPORT_FORMAT, CB_SETCURSEL, static_cast<WPARAM>(-1),
                            0);
        SendMessageW(dialog, WM_COMMAND, IDOK, 0);
        EXPECT_TRUE(user_.WasShown(res::IDS_SELECT_FILE_TYPE));
        EXPECT_FALSE(gui::DialogEnded(dialog));
        SendMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    });
    EXPECT_FALSE(ExportCommand(nullptr, u"Names"));
    EXPECT_TRUE(user_.fileDialogs().empty());
}

TEST_F(TextExportTest, AnExistingFileIsReplacedOnlyWhenTheUserAgrees) {
    MakeDatabase(u"Names", {{Text(1, u"Ann")}});
    std::ofstream(Path("keep.csv")) << "old";
    for (int answer : {IDNO, IDYES}) {
        user_.OnDialog(res::IDD_EXPORT,
                       [](HWND dialog) { SendMessageW(dialog, WM_COMMAND, IDOK, 0); });
        user_.AnswerFile(Wide("keep.csv"));
        user_.Answer(res::IDS_FILE_EXISTS, answer);
        EXPECT_EQ(ExportCommand(nullptr, u"Names"), answer == IDYES);
        Bytes bytes = Read("keep.csv");
        EXPECT_EQ(std::string(bytes.begin(), bytes.end()), answer == IDYES ? "\"Ann\"\r\n" : "old");
    }
    // A cancelled save dialog ends the command without a word.
    user_.OnDialog(res::IDD_EXPORT, [](HWND dialog) { SendMessageW(dialog, WM_COMMAND, IDOK, 0); });
    user_.AnswerFile(std::nullopt);
    EXPECT_FALSE(ExportCommand(nullptr, u"Names"));
    EXPECT_EQ(user_.ShownIds(), (std::vector<UINT>{res::IDS_FILE_EXISTS, res::IDS_FILE_EXISTS}));
}

}  // namespace
