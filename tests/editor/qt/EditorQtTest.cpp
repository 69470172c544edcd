// The record editor in real Qt windows: opened with a tap on the list, its
// value panes are Qt widgets (the pickers Qt's own date and time editors),
// and values typed and saved are what `devicectl dump --json` shows.

#include <QApplication>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTest>
#include <QTimeEdit>
#include <functional>
#include <vector>

#include "editor/RecordEditor.h"
#include "platform/core/Handles.h"
#include "platform/core/Text.h"
#include "platform/gui/CommCtrl.h"
#include "platform/objectstore/ObjectStore.h"
#include "resources/EditorIds.h"
#include "tests/app/qt/BrowserQtFixture.h"
#include "tests/support/Process.h"

namespace {

using namespace ce;

class EditorQt : public browser_qt::BrowserQt {
protected:
    void MakeRecord() {
        CEOID oid = CeCreateDatabase(u"Panes", 0, 0, nullptr);
        ASSERT_NE(oid, 0u);
        HANDLE handle = CeOpenDatabase(&oid, nullptr, 0, 0, nullptr);
        std::u16string text = u"before";
        BYTE bytes[3] = {1, 2, 3};
        CEPROPVAL values[5]{};
        values[0].propid = MakePropID(1, CEVT_FILETIME);
        values[0].val.filetime = {0, 0x01DC0000};
        values[1].propid = MakePropID(2, CEVT_LPWSTR);
        values[1].val.lpwstr = text.data();
        values[2].propid = MakePropID(3, CEVT_I4);
        values[2].val.lVal = 12;
        values[3].propid = MakePropID(4, CEVT_BOOL);
        values[3].val.boolVal = 0;
        values[4].propid = MakePropID(5, CEVT_BLOB);
        values[4].val.blob = {3, bytes};
        ASSERT_NE(CeWriteRecordProps(handle, 0, 5, values), 0u);
        CloseHandle(handle);
    }
    // The JSON dump of the database by devicectl, another process.
    std::string Dump() {
        const char* device = std::getenv("TESSALY_DEVICE");
        testing_support::ProcessResult dump = testing_support::RunProgram(
            testing_support::BuiltProgram("devicectl"), {"dump", "Panes", "--json"},
            {std::string("TESSALY_DEVICE=") + (device != nullptr ? device : "")});
        EXPECT_EQ(dump.exitCode, 0) << dump.err;
        return dump.out;
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
    // Agrees to the next change warning as a person would, counting it.
    void AgreeToTheWarning(int& asked) {
        When(
            [] { return qobject_cast<QMessageBox*>(QApplication::activeModalWidget()) != nullptr; },
            [&asked] {
                auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
                if (box->text().simplified().contains(
                        QStringLiteral("Do you what to overwrite it?")))
                    ++asked;
                QTest::mouseClick(box->button(QMessageBox::Yes), Qt::LeftButton);
            });
    }
    template <class T>
    T* Shown(HWND editor, UINT id) {
        T* widget = PeerAs<T>(GetDlgItem(editor, static_cast<int>(id)));
        return widget != nullptr && widget->isVisible() ? widget : nullptr;
    }
};

TEST_F(EditorQt, ATapOpensTheEditorWhosePanesAreRealWidgetsAndTypedValuesAreSaved) {
    MakeRecord();
    Start();
    bool pickers = false;
    bool number = false;
    bool text = false;
    bool binary = false;
    bool radios = false;
    int warnings = 0;
    HWND editor = nullptr;
    // One step after another, each from the editor's loop, as a person
    // taps: what one step typed has reached the editor before the next.
    std::vector<std::function<void()>> steps = {
        [&, this] {
            SelectRow(editor, u"DATE");
            auto* date = Shown<QDateEdit>(editor, res::IDC_DATE_PICKER);
            auto* time = Shown<QTimeEdit>(editor, res::IDC_TIME_PICKER);
            pickers = date != nullptr && time != nullptr;
            if (pickers) {
                date->setDate(QDate(2027, 3, 4));
                time->setTime(QTime(5, 6, 7));
            }
        },
        [&, this] {
            AgreeToTheWarning(warnings);
            SelectRow(editor, u"LONG");
            auto* field = Shown<QLineEdit>(editor, res::IDC_VALUE_NUMBER);
            auto* info = Shown<QLabel>(editor, res::IDC_VALUE_INFO);
            number = field != nullptr && field->text() == QStringLiteral("12") && info != nullptr &&
                     info->text().contains(QStringLiteral("2,147,483,647"));
            if (field != nullptr) {
                field->selectAll();
                QTest::keyClicks(field, QStringLiteral("-4096"));
            }
        },
        [&, this] {
            AgreeToTheWarning(warnings);
            SelectRow(editor, u"BINARY");
            auto* blob = Shown<QPlainTextEdit>(editor, res::IDC_VALUE_TEXT);
            binary = blob != nullptr && !blob->isEnabled() &&
                     blob->toPlainText() == QStringLiteral("<Binary Data>");
        },
        [&, this] {
            SelectRow(editor, u"BOOLEAN");
            auto* on = Shown<QRadioButton>(editor, res::IDC_VALUE_TRUE);
            auto* off = Shown<QRadioButton>(editor, res::IDC_VALUE_FALSE);
            radios = on != nullptr && off != nullptr && off->isChecked();
            // A tap on the round mark (the button is wider than its text).
            if (on != nullptr)
                QTest::mouseClick(on, Qt::LeftButton, {}, QPoint(6, on->height() / 2));
        },
        [&, this] {
            AgreeToTheWarning(warnings);
            SelectRow(editor, u"TEXT");
            auto* edit = Shown<QPlainTextEdit>(editor, res::IDC_VALUE_TEXT);
            text = edit != nullptr && edit->isEnabled() &&
                   edit->toPlainText() == QStringLiteral("before");
            if (edit != nullptr) {
                edit->selectAll();
                QTest::keyClicks(edit, QStringLiteral("after"));
            }
        },
        [&, this] {
            AgreeToTheWarning(warnings);
            PressDone(editor);
        },
    };
    std::function<void(std::size_t)> step = [&](std::size_t i) {
        steps[i]();
        if (i + 1 < steps.size())
            When([] { return true; }, [&step, i] { step(i + 1); });
    };
    When([] { return editor::CurrentEditorWindow() != nullptr; },
         [&] {
             editor = editor::CurrentEditorWindow();
             step(0);
         });
    QTest::mouseClick(WidgetOf(list()), Qt::LeftButton, {}, RowPoint(RowOf(u"Panes")));
    Pump();
    EXPECT_TRUE(AllActed());
    EXPECT_TRUE(pickers);
    EXPECT_TRUE(number);
    EXPECT_TRUE(binary);
    EXPECT_TRUE(radios);
    EXPECT_TRUE(text);
    // The change warning is on: each of the four saves asked first.
    EXPECT_EQ(warnings, 4);
    std::string json = Dump();
    // 2027-03-04 05:06:07 in UTC (the tests' zone) as a FILETIME count; the
    // time picker keeps the old value's milliseconds (.427).
    EXPECT_NE(json.find("{\"id\":1,\"type\":\"DATE\",\"value\":134486103674270000}"),
              std::string::npos)
        << json;
    EXPECT_NE(json.find("{\"id\":2,\"type\":\"TEXT\",\"value\":\"after\"}"), std::string::npos)
        << json;
    EXPECT_NE(json.find("{\"id\":3,\"type\":\"LONG\",\"value\":-4096}"), std::string::npos) << json;
    EXPECT_NE(json.find("{\"id\":4,\"type\":\"BOOLEAN\",\"value\":1}"), std::string::npos) << json;
    EXPECT_NE(json.find("{\"id\":5,\"type\":\"BINARY\",\"value\":\"010203\"}"), std::string::npos)
        << json;
}

// Each value pane, shown in turn, lies inside the editor's client area and
// shows its whole text: the layout test sees only the controls a template
// shows at first, and the value controls start hidden.
class EditorPanesQt : public EditorQt, public ::testing::WithParamInterface<const char*> {
protected:
    const char* ScreenSize() const override { return GetParam(); }
};

TEST_P(EditorPanesQt, EveryValuePaneFitsTheWindowAndShowsItsWholeText) {
    MakeRecord();
    Start();
    std::vector<std::string> problems;
    When(
        [] { return editor::CurrentEditorWindow() != nullptr; },
        [&, this] {
            HWND editor = editor::CurrentEditorWindow();
            QWidget* client = WidgetOf(editor);
            RECT inside{};
            GetClientRect(editor, &inside);
            QRect room(QPoint(0, 0), QSize(inside.right, inside.bottom));
            for (const char16_t* type : {u"DATE", u"TEXT", u"LONG", u"BOOLEAN", u"BINARY"}) {
                SelectRow(editor, type);
                for (UINT id : {res::IDC_VALUE_INFO, res::IDC_VALUE_NUMBER, res::IDC_VALUE_TEXT,
                                res::IDC_VALUE_TRUE, res::IDC_VALUE_FALSE, res::IDC_DATE_PICKER,
                                res::IDC_TIME_PICKER}) {
                    QWidget* widget = Shown<QWidget>(editor, id);
                    if (widget == nullptr)
                        continue;
                    QRect area(widget->mapTo(client, QPoint(0, 0)), widget->size());
                    std::string what = WideToUtf8(type) + " pane, control " + std::to_string(id);
                    if (!room.contains(area))
                        problems.push_back(what + " leaves the window");
                    if (auto* label = qobject_cast<QLabel*>(widget);
                        label != nullptr && label->heightForWidth(label->width()) > label->height())
                        problems.push_back(what + " cuts its text");
                    if (auto* date = qobject_cast<QDateTimeEdit*>(widget);
                        date != nullptr && date->sizeHint().width() > date->width())
                        problems.push_back(what + " is narrower than its date or time");
                }
            }
            SendMessageW(editor, WM_COMMAND, IDCANCEL, 0);
        });
    QTest::mouseClick(WidgetOf(list()), Qt::LeftButton, {}, RowPoint(RowOf(u"Panes")));
    Pump();
    EXPECT_TRUE(AllActed());
    EXPECT_TRUE(problems.empty()) << ::testing::PrintToString(problems);
}

INSTANTIATE_TEST_SUITE_P(PortraitAndLandscape, EditorPanesQt,
                         ::testing::Values("240x320", "320x240"), [](const auto& info) {
                             return std::string(info.param) == "240x320" ? "Portrait" : "Landscape";
                         });

}  // namespace
