// The record editor in real Qt windows: opened with a tap on the list, its
// value panes are Qt widgets (the pickers Qt's own date and time editors),
// and a value typed and saved is in the database afterwards.

#include <QDateEdit>
#include <QPlainTextEdit>
#include <QTest>
#include <QTimeEdit>

#include "editor/RecordEditor.h"
#include "platform/core/Handles.h"
#include "platform/core/LocalMemory.h"
#include "platform/gui/CommCtrl.h"
#include "platform/objectstore/ObjectStore.h"
#include "resources/EditorIds.h"
#include "tests/app/qt/BrowserQtFixture.h"

namespace {

using namespace ce;

class EditorQt : public browser_qt::BrowserQt {
protected:
    void MakeRecord() {
        CEOID oid = CeCreateDatabase(u"Dated", 0, 0, nullptr);
        ASSERT_NE(oid, 0u);
        HANDLE handle = CeOpenDatabase(&oid, nullptr, 0, 0, nullptr);
        std::u16string text = u"before";
        CEPROPVAL values[2]{};
        values[0].propid = MakePropID(1, CEVT_FILETIME);
        values[0].val.filetime = {0, 0x01DC0000};
        values[1].propid = MakePropID(2, CEVT_LPWSTR);
        values[1].val.lpwstr = text.data();
        ASSERT_NE(CeWriteRecordProps(handle, 0, 2, values), 0u);
        CloseHandle(handle);
    }
    std::u16string StoredText() {
        CEOID oid = 0;
        HANDLE handle = CeOpenDatabase(&oid, u"Dated", 0, 0, nullptr);
        BYTE* buffer = nullptr;
        DWORD size = 0;
        WORD count = 0;
        std::u16string text;
        if (CeReadRecordProps(handle, CEDB_ALLOWREALLOC, &count, nullptr, &buffer, &size) != 0) {
            for (WORD i = 0; i < count; ++i) {
                const CEPROPVAL& p = reinterpret_cast<CEPROPVAL*>(buffer)[i];
                if (p.propid == MakePropID(2, CEVT_LPWSTR) && p.val.lpwstr != nullptr)
                    text = p.val.lpwstr;
            }
        }
        LocalFree(buffer);
        CloseHandle(handle);
        return text;
    }
    static void SelectRow(HWND editor, const char16_t* type) {
        HWND list = GetDlgItem(editor, res::IDC_PROPERTY_LIST);
        for (int row = 0; row < ListView_GetItemCount(list); ++row) {
            WCHAR cell[16] = {};
            ListView_GetItemText(list, row, 0, cell, 16);
            if (std::u16string(cell) == type)
                ListView_SetItemState(list, row, LVIS_SELECTED | LVIS_FOCUSED,
                                      LVIS_SELECTED | LVIS_FOCUSED);
        }
    }
};

TEST_F(EditorQt, ATapOpensTheEditorWithRealPickersAndATypedTextIsSaved) {
    MakeRecord();
    Start();
    bool datePicker = false;
    bool timePicker = false;
    bool textField = false;
    When([] { return editor::CurrentEditorWindow() != nullptr; },
         [&, this] {
             HWND editor = editor::CurrentEditorWindow();
             SelectRow(editor, u"DATE");
             auto* date = PeerAs<QDateEdit>(GetDlgItem(editor, res::IDC_DATE_PICKER));
             auto* time = PeerAs<QTimeEdit>(GetDlgItem(editor, res::IDC_TIME_PICKER));
             datePicker = date != nullptr && date->isVisible();
             timePicker = time != nullptr && time->isVisible();
             SelectRow(editor, u"TEXT");
             auto* text = PeerAs<QPlainTextEdit>(GetDlgItem(editor, res::IDC_VALUE_TEXT));
             textField = text != nullptr && text->isVisible() &&
                         text->toPlainText() == QStringLiteral("before");
             if (text != nullptr) {
                 text->selectAll();
                 QTest::keyClicks(text, QStringLiteral("after"));
             }
             PressDone(editor);
         });
    QTest::mouseClick(WidgetOf(list()), Qt::LeftButton, {}, RowPoint(RowOf(u"Dated")));
    Pump();
    ASSERT_TRUE(AllActed());
    EXPECT_TRUE(datePicker);
    EXPECT_TRUE(timePicker);
    EXPECT_TRUE(textField);
    EXPECT_EQ(StoredText(), u"after");
}

}  // namespace
