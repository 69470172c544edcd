// Saving edited values with their checks, the change warning, deleting
// properties and records, cut, copy, paste and the five kinds of undo.

#include <gtest/gtest.h>

#include "appcore/Application.h"
#include "editor/ClipboardBlock.h"
#include "editor/RecordEditor.h"
#include "platform/core/LocalMemory.h"
#include "platform/gui/Clipboard.h"
#include "platform/gui/CommCtrl.h"
#include "resources/ControlIds.h"
#include "resources/EditorIds.h"
#include "resources/StringIds.h"
#include "tests/editor/EditorFixture.h"

namespace editor_test {
namespace {

using Strings = std::vector<std::u16string>;
using Ids = std::vector<UINT>;

constexpr CEPROPID kLong = MakePropID(1, CEVT_I4);
constexpr CEPROPID kText = MakePropID(2, CEVT_LPWSTR);
constexpr CEPROPID kInt = MakePropID(3, CEVT_I2);

class PropertyEditingTest : public EditorTest {
protected:
    LONG LongOf(const char16_t* name, std::size_t record = 0, CEPROPID id = kLong) {
        std::optional<PropertyValue> value = Find(name, record, id);
        return value ? value->Value().val.lVal : -999;
    }
    std::vector<BYTE> ClipboardBlock() {
        std::vector<BYTE> bytes;
        UINT format = RegisterClipboardFormatW(editor::kClipboardFormatName);
        if (!OpenClipboard(nullptr))
            return bytes;
        if (HANDLE data = GetClipboardData(format)) {
            auto* block = static_cast<const BYTE*>(reinterpret_cast<HLOCAL>(data));
            bytes.assign(block, block + LocalSize(reinterpret_cast<HLOCAL>(data)));
        }
        CloseClipboard();
        return bytes;
    }
};

TEST_F(PropertyEditingTest, SixteenBitValuesOutOfRangeAreRefusedAndTheFieldKeepsThem) {
    MakeDatabase(u"Ints", {{Int(3, 1), UInt(4, 1)}});
    RunEditor(u"Ints", [this](EditorWindow& editor) {
        editor.SelectProperty(3);
        editor.Type(res::IDC_VALUE_NUMBER, u"40000");
        user().Answer(res::IDS_BAD_INT, IDOK);
        editor.SelectProperty(4);
        EXPECT_EQ(user().ShownIds(), Ids{res::IDS_BAD_INT});
        EXPECT_EQ(Find(u"Ints", 0, kInt)->Value().val.iVal, 1);
        // The selection stays with the refused input.
        EXPECT_EQ(editor.SelectedRow(), u"INT 2 3");
        EXPECT_EQ(editor.ControlText(res::IDC_VALUE_NUMBER), u"40000");
        editor.SelectProperty(3);
        editor.Type(res::IDC_VALUE_NUMBER, u"-32768");
        editor.SelectProperty(4);
        editor.Type(res::IDC_VALUE_NUMBER, u"65536");
        user().Answer(res::IDS_BAD_UINT, IDOK);
        // Done with refused input keeps the editor open on it.
        editor.Done();
        EXPECT_EQ(editor.ControlText(res::IDC_VALUE_NUMBER), u"65536");
        editor.Cancel();
    });
    EXPECT_EQ(Find(u"Ints", 0, kInt)->Value().val.iVal, -32768);
    EXPECT_EQ(Find(u"Ints", 0, MakePropID(4, CEVT_UI2))->Value().val.uiVal, 1);
    EXPECT_EQ(user().ShownIds(), (Ids{res::IDS_BAD_INT, res::IDS_BAD_UINT}));
}

TEST_F(PropertyEditingTest, ThirtyTwoBitAndFloatInputThatIsNoNumberOrOutOfRangeIsRefused) {
    MakeDatabase(u"Wide", {{Long(1, 5), ULong(5, 6), Float(6, 1.5)}});
    struct Case {
        WORD id;
        const char16_t* typed;
        UINT message;
    };
    const Case refused[] = {{1, u"abc", res::IDS_BAD_LONG},
                            {1, u"2147483648", res::IDS_BAD_LONG},
                            {1, u"12x", res::IDS_BAD_LONG},
                            {5, u"-1", res::IDS_BAD_ULONG},
                            {5, u"4294967296", res::IDS_BAD_ULONG},
                            {6, u"abc", res::IDS_BAD_FLOAT},
                            {6, u"", res::IDS_BAD_FLOAT}};
    RunEditor(u"Wide", [&](EditorWindow& editor) {
        for (const Case& c : refused) {
            editor.SelectProperty(c.id);
            editor.Type(res::IDC_VALUE_NUMBER, c.typed);
            user().Answer(c.message, IDOK);
            editor.Command(res::IDM_RECORD_FIRST);  // navigation saves the pending edit
            EXPECT_EQ(user().shown().back().stringId, c.message) << c.id;
            // The field keeps what was typed, the database its value.
            EXPECT_EQ(editor.ControlText(res::IDC_VALUE_NUMBER), c.typed);
            // Put the stored value back before the next case leaves the field.
            editor.Type(res::IDC_VALUE_NUMBER, c.id == 1 ? u"5" : (c.id == 5 ? u"6" : u"1.5"));
        }
        editor.SelectProperty(1);
        editor.Type(res::IDC_VALUE_NUMBER, u"-2147483648");
        editor.SelectProperty(5);
        editor.Type(res::IDC_VALUE_NUMBER, u"4294967295");
        editor.SelectProperty(6);
        editor.Type(res::IDC_VALUE_NUMBER, u"-0.25");
        editor.Done();
    });
    EXPECT_EQ(LongOf(u"Wide"), -2147483647 - 1);
    EXPECT_EQ(Find(u"Wide", 0, MakePropID(5, CEVT_UI4))->Value().val.ulVal, 4294967295u);
    EXPECT_EQ(Find(u"Wide", 0, MakePropID(6, CEVT_R8))->Value().val.dblVal, -0.25);
    EXPECT_EQ(user().shown().size(), std::size(refused));
}

TEST_F(PropertyEditingTest, ClearingATextSavesAnAbsentTextAndNonLatinTextsRoundTrip) {
    MakeDatabase(u"Texts", {{Text(2, u"gone"), Text(7, u"x")}});
    RunEditor(u"Texts", [](EditorWindow& editor) {
        editor.SelectProperty(2);
        editor.Type(res::IDC_VALUE_TEXT, u"");
        editor.SelectProperty(7);
        EXPECT_EQ(editor.Rows(), (Strings{u"TEXT 1 7", u"TEXT 0 2"}));
        editor.Type(res::IDC_VALUE_TEXT, u"\u65e5\u672c\u8a9e \u0416\u0437");
        editor.Done();
    });
    EXPECT_FALSE(Find(u"Texts", 0, kText)->hasText());
    EXPECT_EQ(Find(u"Texts", 0, MakePropID(7, CEVT_LPWSTR))->text(),
              u"\u65e5\u672c\u8a9e \u0416\u0437");
}

TEST_F(PropertyEditingTest, ADateIsSavedWhenItsSecondsDifferButNotForMilliseconds) {
    // 2026-01-01 00:00:00 UTC.
    constexpr std::uint64_t midnight = 134116992000000000ULL;
    MakeDatabase(u"Dates", {{Date(1, midnight), Long(2, 0)}});
    RunEditor(u"Dates", [](EditorWindow& editor) {
        editor.SelectProperty(1);
        HWND time = GetDlgItem(editor.hwnd(), res::IDC_TIME_PICKER);
        SYSTEMTIME t{};
        DateTime_GetSystemtime(time, &t);
        t.wMilliseconds = 500;
        DateTime_SetSystemtime(time, GDT_VALID, &t);
        editor.SelectProperty(2);
        editor.SelectProperty(1);
        t.wMilliseconds = 0;
        t.wSecond = 7;
        DateTime_SetSystemtime(time, GDT_VALID, &t);
        HWND date = GetDlgItem(editor.hwnd(), res::IDC_DATE_PICKER);
        SYSTEMTIME d{};
        DateTime_GetSystemtime(date, &d);
        d.wDay = 2;
        DateTime_SetSystemtime(date, GDT_VALID, &d);
        editor.Done();
    });
    FILETIME saved = Find(u"Dates", 0, MakePropID(1, CEVT_FILETIME))->Value().val.filetime;
    std::uint64_t value =
        (static_cast<std::uint64_t>(saved.dwHighDateTime) << 32) | saved.dwLowDateTime;
    EXPECT_EQ(value, midnight + 864000000000ULL + 70000000ULL);
}

TEST_F(PropertyEditingTest, DoneSavesThePendingEditAndCancelDiscardsIt) {
    MakeDatabase(u"Pending", {{Long(1, 5)}});
    RunEditor(u"Pending", [](EditorWindow& editor) {
        editor.Type(res::IDC_VALUE_NUMBER, u"6");
        editor.Cancel();
    });
    EXPECT_EQ(LongOf(u"Pending"), 5);
    EXPECT_EQ(RunEditor(u"Pending",
                        [](EditorWindow& editor) {
                            editor.Type(res::IDC_VALUE_NUMBER, u"7");
                            editor.Done();
                        }),
              editor::kClosedDone);
    EXPECT_EQ(LongOf(u"Pending"), 7);
}

TEST_F(PropertyEditingTest, TheChangeWarningDeclinedSavesNothingAndKeepsTheInput) {
    appcore::App().settings->showWarning = 1;
    MakeDatabase(u"Warned", {{Long(1, 5), Int(3, 1)}});
    RunEditor(u"Warned", [this](EditorWindow& editor) {
        editor.SelectProperty(1);
        editor.Type(res::IDC_VALUE_NUMBER, u"9");
        user().Answer(res::IDS_CONFIRM_CHANGE, IDNO);
        editor.Command(res::IDM_RECORD_FIRST);
        EXPECT_EQ(LongOf(u"Warned"), 5);
        EXPECT_EQ(editor.ControlText(res::IDC_VALUE_NUMBER), u"9");
        user().Answer(res::IDS_CONFIRM_CHANGE, IDYES);
        editor.Done();
    });
    EXPECT_EQ(LongOf(u"Warned"), 9);
}

TEST_F(PropertyEditingTest,
       DeletingTheOnlyPropertyDeletesTheRecordAndTheLastRecordClosesTheEditor) {
    MakeDatabase(u"Lone", {{Long(1, 5)}});
    user().Answer(res::IDS_CONFIRM_DELETE_RECORD, IDYES);
    user().Answer(res::IDS_LAST_RECORD_DELETED, IDOK);
    int code =
        RunEditor(u"Lone", [](EditorWindow& editor) { editor.Command(res::IDC_DELETE_PROPERTY); });
    EXPECT_EQ(code, editor::kClosedCancel);
    EXPECT_EQ(user().ShownIds(),
              (Ids{res::IDS_CONFIRM_DELETE_RECORD, res::IDS_LAST_RECORD_DELETED}));
    EXPECT_TRUE(Records(u"Lone").empty());
}

TEST_F(PropertyEditingTest, DeletingARecordMovesToTheFirst) {
    MakeDatabase(u"Pair", {{Long(1, 5)}, {Long(1, 6)}, {Long(1, 7)}});
    RunEditor(u"Pair", [this](EditorWindow& editor) {
        editor.Command(res::IDM_RECORD_NEXT);
        user().Answer(res::IDS_CONFIRM_DELETE_RECORD, IDNO);
        editor.Command(res::IDM_RECORD_DELETE);
        EXPECT_EQ(editor.Counter(), u"Record\n2 of 3");
        user().Answer(res::IDS_CONFIRM_DELETE_RECORD, IDYES);
        editor.Command(res::IDM_RECORD_DELETE);
        EXPECT_EQ(editor.Counter(), u"Record\n1 of 2");
        editor.Done();
    });
    EXPECT_EQ(LongOf(u"Pair", 1), 7);
}

TEST_F(PropertyEditingTest, DeleteThenUndoTwiceRestoresThenRemovesTheProperty) {
    MakeDatabase(u"Undo", {{Long(1, 5), Text(2, u"t")}});
    RunEditor(u"Undo", [this](EditorWindow& editor) {
        editor.SelectProperty(2);
        user().Answer(res::IDS_CONFIRM_DELETE_PROPERTY, IDYES);
        editor.Command(res::IDC_DELETE_PROPERTY);
        EXPECT_EQ(editor.Rows(), (Strings{u"LONG 4 1"}));
        SetFocus(editor.list());
        EXPECT_FALSE(editor.Grayed(res::IDM_EDIT_UNDO));
        editor.Command(res::IDM_EDIT_UNDO);
        EXPECT_EQ(editor.Rows(), (Strings{u"TEXT 1 2", u"LONG 4 1"}));
        EXPECT_EQ(editor.SelectedRow(), u"TEXT 1 2");
        EXPECT_EQ(Find(u"Undo", 0, kText)->text(), u"t");
        editor.Command(res::IDM_EDIT_UNDO);
        EXPECT_EQ(editor.Rows(), (Strings{u"LONG 4 1"}));
        editor.Done();
    });
    EXPECT_FALSE(Find(u"Undo", 0, kText).has_value());
}

TEST_F(PropertyEditingTest, ChangeThenUndoTwiceGivesTheOldValueThenTheNewOne) {
    MakeDatabase(u"Swap", {{Long(1, 5), Int(3, 0)}});
    RunEditor(u"Swap", [this](EditorWindow& editor) {
        editor.SelectProperty(1);
        editor.Type(res::IDC_VALUE_NUMBER, u"8");
        editor.SelectProperty(3);
        EXPECT_EQ(LongOf(u"Swap"), 8);
        SetFocus(editor.list());
        editor.Command(res::IDM_EDIT_UNDO);
        EXPECT_EQ(LongOf(u"Swap"), 5);
        EXPECT_EQ(editor.SelectedRow(), u"LONG 4 1");
        editor.Command(res::IDM_EDIT_UNDO);
        EXPECT_EQ(LongOf(u"Swap"), 8);
        editor.Done();
    });
}

TEST_F(PropertyEditingTest, CutWithoutTheWarningRemovesAndPasteAddsItElsewhere) {
    MakeDatabase(u"Moves", {{Long(1, 5), Text(2, u"moving")}, {Long(1, 6)}});
    RunEditor(u"Moves", [this](EditorWindow& editor) {
        editor.SelectProperty(2);
        SetFocus(editor.list());
        editor.Command(res::IDM_EDIT_CUT);
        EXPECT_TRUE(user().shown().empty());
        EXPECT_EQ(editor.Rows(), (Strings{u"LONG 4 1"}));
        EXPECT_EQ(ClipboardBlock().size(), 16u + 2u * 7u);
        editor.Command(res::IDM_RECORD_NEXT);
        SetFocus(editor.list());
        EXPECT_FALSE(editor.Grayed(res::IDM_EDIT_PASTE));
        editor.Command(res::IDM_EDIT_PASTE);
        EXPECT_EQ(editor.SelectedRow(), u"TEXT 6 2");
        editor.Done();
    });
    EXPECT_FALSE(Find(u"Moves", 0, kText).has_value());
    EXPECT_EQ(Find(u"Moves", 1, kText)->text(), u"moving");
}

TEST_F(PropertyEditingTest, PasteOverAnExistingPropertyAsksAndUndoPutsTheReplacedValueBack) {
    MakeDatabase(u"Over", {{Long(1, 5)}, {Long(1, 9), Int(1, 4)}});
    RunEditor(u"Over", [this](EditorWindow& editor) {
        SetFocus(editor.list());
        editor.Command(res::IDM_EDIT_COPY);
        editor.Command(res::IDM_RECORD_NEXT);
        SetFocus(editor.list());
        user().Answer(res::IDS_CONFIRM_OVERWRITE_PROPERTY, IDNO);
        editor.Command(res::IDM_EDIT_PASTE);
        EXPECT_EQ(LongOf(u"Over", 1), 9);
        user().Answer(res::IDS_CONFIRM_OVERWRITE_PROPERTY, IDYES);
        editor.Command(res::IDM_EDIT_PASTE);
        EXPECT_EQ(LongOf(u"Over", 1), 5);
        // The same number with another type stays beside it.
        EXPECT_EQ(editor.Rows().size(), 2u);
        SetFocus(editor.list());
        editor.Command(res::IDM_EDIT_UNDO);
        EXPECT_EQ(LongOf(u"Over", 1), 9);
        editor.Done();
    });
}

TEST_F(PropertyEditingTest, ABinaryOfNoBytesMakesASixteenByteBlockAndPastesBack) {
    MakeDatabase(u"Empty", {{Blob(4, {}), Long(1, 1)}, {Long(1, 2)}});
    RunEditor(u"Empty", [this](EditorWindow& editor) {
        editor.SelectProperty(4);
        SetFocus(editor.list());
        editor.Command(res::IDM_EDIT_COPY);
        std::vector<BYTE> block = ClipboardBlock();
        ASSERT_EQ(block.size(), 16u);
        EXPECT_EQ(block[12] | block[13] | block[14] | block[15], 0);
        editor.Command(res::IDM_RECORD_NEXT);
        SetFocus(editor.list());
        editor.Command(res::IDM_EDIT_PASTE);
        EXPECT_EQ(editor.SelectedRow(), u"BINARY 0 4");
        editor.Done();
    });
}

TEST_F(PropertyEditingTest, WithTheFocusInAFieldTheEditCommandsActOnItsText) {
    MakeDatabase(u"Field", {{Text(2, u"hello world")}});
    RunEditor(u"Field", [](EditorWindow& editor) {
        HWND field = GetDlgItem(editor.hwnd(), res::IDC_VALUE_TEXT);
        SetFocus(field);
        EXPECT_TRUE(editor.Grayed(res::IDM_EDIT_COPY));
        EXPECT_FALSE(editor.Grayed(res::IDM_EDIT_SELECT_ALL));
        editor.Command(res::IDM_EDIT_SELECT_ALL);
        EXPECT_FALSE(editor.Grayed(res::IDM_EDIT_COPY));
        editor.Command(res::IDM_EDIT_COPY);
        SendMessageW(field, EM_SETSEL, 11, 11);
        editor.Command(res::IDM_EDIT_PASTE);
        EXPECT_EQ(editor.ControlText(res::IDC_VALUE_TEXT), u"hello worldhello world");
        editor.Command(res::IDM_EDIT_UNDO);
        EXPECT_EQ(editor.ControlText(res::IDC_VALUE_TEXT), u"hello world");
        // The property clipboard was not touched: the list cannot paste.
        SetFocus(editor.list());
        EXPECT_TRUE(editor.Grayed(res::IDM_EDIT_PASTE));
        editor.Done();
    });
}

}  // namespace
}  // namespace editor_test
