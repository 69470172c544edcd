// Where the program's windows go and who has the keyboard: dialogs over
// their owner and brought forward with it, the keyboard back with the owner
// when a dialog closes, message boxes on the device's screen, the rename
// box keeping its text-editing keys. Run on Qt's offscreen platform and,
// where an X server can be started, on X without a window manager.

#include <QApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include "appcore/Application.h"
#include "platform/core/Handles.h"
#include "platform/gui/CommCtrl.h"
#include "platform/gui/NativeEvents.h"
#include "platform/gui/qt/FrameWidget.h"
#include "platform/objectstore/ObjectStore.h"
#include "resources/ControlIds.h"
#include "resources/DialogIds.h"
#include "tests/app/qt/BrowserQtFixture.h"

namespace browser_qt {
namespace {

void DeleteDatabase(const char16_t* name) {
    CEOID oid = 0;
    HANDLE handle = CeOpenDatabase(&oid, name, 0, 0, nullptr);
    ASSERT_NE(handle, INVALID_HANDLE_VALUE);
    CloseHandle(handle);
    ASSERT_TRUE(CeDeleteDatabase(oid));
}

QMessageBox* OpenMessageBox() {
    return qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
}

// Keys go where Qt's focus is, the window itself when no widget has it.
void PressKey(QWidget* fallback, Qt::Key key, Qt::KeyboardModifiers modifiers = {}) {
    QWidget* focus = QApplication::focusWidget();
    QTest::keyClick(focus != nullptr ? focus : fallback, key, modifiers);
}

// Lets the desktop settle (activation travels through the X server).
template <class Ready>
bool Settle(Ready ready) {
    for (int i = 0; i < 100 && !ready(); ++i)
        QTest::qWait(10);
    return ready();
}

class WindowFocus : public BrowserQt {
protected:
    void SetUp() override {
        BrowserQt::SetUp();
        MakeDatabase(u"Contacts", 2);
        MakeDatabase(u"Notes", 3);
    }
    QWidget* MainFrame() { return qt_->FrameOf(main()); }
};

TEST_F(WindowFocus, AMessageBoxOverTheListLiesOnTheDeviceScreen) {
    Start();
    DeleteDatabase(u"Contacts");
    QRect box;
    When([] { return OpenMessageBox() != nullptr; },
         [&] {
             QMessageBox* open = OpenMessageBox();
             box = open->frameGeometry();
             QTest::keyClick(open, Qt::Key_Return);
         });
    PressKey(MainFrame(), Qt::Key_P, Qt::ControlModifier);
    Pump();
    ASSERT_TRUE(AllActed());
    QRect device(MainFrame()->mapToGlobal(QPoint(0, 0)), MainFrame()->size());
    EXPECT_TRUE(device.contains(box))
        << box.x() << "," << box.y() << " " << box.width() << "x" << box.height();
    // The row of the database that is gone went with the message.
    EXPECT_EQ(RowOf(u"Contacts"), -1);
}

TEST_F(WindowFocus, ClosingADialogFromTheKeyboardGivesTheKeysBackToTheList) {
    Start();
    ASSERT_TRUE(Settle([this] { return QApplication::activeWindow() == MainFrame(); }));
    bool dialogActive = false;
    When([this] { return DialogTitled(u"Database Properties") != nullptr; },
         [&, this] {
             HWND dialog = DialogTitled(u"Database Properties");
             dialogActive =
                 Settle([&] { return QApplication::activeWindow() == qt_->FrameOf(dialog); });
             PressKey(qt_->FrameOf(dialog), Qt::Key_Escape);
         });
    PressKey(MainFrame(), Qt::Key_P, Qt::ControlModifier);
    Pump();
    ASSERT_TRUE(AllActed());
    EXPECT_TRUE(dialogActive);
    EXPECT_TRUE(gui::OpenDialogs().empty());
    EXPECT_TRUE(Settle([this] {
        return QApplication::activeWindow() == MainFrame() &&
               QGuiApplication::focusWindow() == MainFrame()->windowHandle();
    }));
    EXPECT_EQ(QApplication::focusWidget(), WidgetOf(list()));
    // And a shortcut works again at once.
    bool propertiesAgain = false;
    When([this] { return DialogTitled(u"Database Properties") != nullptr; },
         [&, this] {
             propertiesAgain = true;
             PressDone(DialogTitled(u"Database Properties"));
         });
    PressKey(MainFrame(), Qt::Key_P, Qt::ControlModifier);
    Pump();
    EXPECT_TRUE(propertiesAgain);
}

TEST_F(WindowFocus, ASecondStartBringsTheOpenDialogForwardOverItsOwner) {
    Start();
    bool transient = false;
    bool dialogActive = false;
    bool coreActive = false;
    When([this] { return DialogTitled(u"Options") != nullptr; },
         [&, this] {
             HWND dialog = DialogTitled(u"Options");
             QWidget* frame = qt_->FrameOf(dialog);
             transient = frame->windowHandle() != nullptr &&
                         frame->windowHandle()->transientParent() == MainFrame()->windowHandle();
             // What the running program does when it is started again.
             ShowWindow(main(), SW_SHOWNORMAL);
             SetForegroundWindow(main());
             coreActive = GetActiveWindow() == dialog;
             dialogActive = Settle([&] { return QApplication::activeWindow() == frame; });
             PressDone(dialog);
         });
    SendMessageW(main(), WM_COMMAND, MAKEWPARAM(res::IDM_OPTIONS, 0), 0);
    Pump();
    ASSERT_TRUE(AllActed());
    EXPECT_TRUE(transient);
    EXPECT_TRUE(coreActive);
    EXPECT_TRUE(dialogActive);
}

TEST_F(WindowFocus, TheRenameBoxEditsWithCtrlKeysAndTakesThirtyOneCharacters) {
    Start();
    int notes = RowOf(u"Notes");
    HWND edit = ListView_EditLabel(list(), notes);
    ASSERT_NE(edit, nullptr);
    Pump();
    auto* box = PeerAs<QLineEdit>(edit);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->maxLength(), 31);
    // Ctrl+A would be Autobackup, whose message a watcher closes.
    bool anyMessage = false;
    QTimer watcher;
    QObject::connect(&watcher, &QTimer::timeout, [&] {
        if (QMessageBox* open = OpenMessageBox()) {
            anyMessage = true;
            open->close();
        }
    });
    watcher.start(20);
    box->setFocus();
    QTest::keyClick(box, Qt::Key_End);
    QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
    Pump();
    EXPECT_EQ(box->selectedText(), QStringLiteral("Notes"));
    QTest::keyClicks(box, "A name much longer than a database takes");
    Pump();
    EXPECT_EQ(box->text().size(), 31);
    QTest::keyClick(box, Qt::Key_Return);
    Pump();
    EXPECT_FALSE(anyMessage);
    EXPECT_GE(RowOf(u"A name much longer than a datab"), 0);
}

}  // namespace
}  // namespace browser_qt
