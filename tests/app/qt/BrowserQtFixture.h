#pragma once
// The browser's real main window on the Qt backend (Qt's offscreen platform
// unless QT_QPA_PLATFORM says otherwise), on a fresh device, driven through
// the Qt widgets as a person drives them: taps on the list and the menu bar,
// keys, clicks on check boxes and on the Done button. Modal parts (dialogs,
// popup menus, message boxes) run their own loops; a test answers them with
// actions registered before the input that opens them.

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QPoint>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "appcore/Application.h"
#include "appcore/EditionShell.h"
#include "platform/gui/Backend.h"
#include "platform/gui/WinUser.h"
#include "platform/gui/qt/QtBackend.h"
#include "tests/support/ScriptedSession.h"
#include "tests/support/TempDevice.h"

namespace browser_qt {

using namespace ce;

class BrowserQt : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    // The device screen the test runs on: "240x320" unless a test says otherwise.
    virtual const char* ScreenSize() const { return "240x320"; }
    // Its dots per inch: 96 unless a test says otherwise.
    virtual int ScreenDpi() const { return 96; }
    // The edition whose shell and resources run: the palm-size one unless a test says otherwise.
    virtual testing_support::Edition Edition() const { return testing_support::Edition::Palm; }

    // A database of `records` records; with `bytes` > 0 one record that
    // makes the database exactly that large.
    void MakeDatabase(const char16_t* name, int records, DWORD bytes = 0);
    bool Exists(const char16_t* name);

    // Starts the main window as the program does.
    void Start();
    // Lets Qt deliver what was simulated and dispatches the queued messages
    // as the program's loop does, accelerators first.
    void Pump();

    // Runs a loop the test starts itself (an editor, a dialog) under the
    // same watch as Pump.
    void RunLoop(const std::function<void()>& loop);

    // Runs `action` once `ready` holds, from inside whatever modal loop is
    // running then; fails the test and closes what is open after 10 s. A
    // loop that still waits 10 s after every action ran (a message box or
    // dialog no action answers) fails the test and is closed the same way.
    void When(std::function<bool()> ready, std::function<void()> action);
    // Every registered action ran.
    bool AllActed() const { return pending_ == 0; }

    HWND main() const;
    HWND list() const;
    QWidget* WidgetOf(HWND window) const;
    template <class T>
    T* PeerAs(HWND window) const {
        return qobject_cast<T*>(WidgetOf(window));
    }
    std::vector<std::u16string> Names();
    std::u16string Text(int row, int column);
    int Icon(int row);
    int RowOf(const char16_t* name);
    // The middle of a row's name in the list widget.
    QPoint RowPoint(int row);
    // Taps an item of the menu bar (0 Edit, 1 View, 2 Tools, then the buttons).
    void TapMenuBar(int item);
    // The open framed dialog whose title line reads `title`, or nullptr.
    HWND DialogTitled(const char16_t* title);
    // Presses the Done ("ok") button of the dialog's screen.
    void PressDone(HWND dialog);

    gui::qt::QtBackend* qt_ = nullptr;

private:
    void PumpOnce();

    testing_support::TempDevice device_;
    std::unique_ptr<appcore::ScopedShell> shell_;
    std::unique_ptr<gui::ScopedBackend> backend_;
    std::unique_ptr<appcore::ScopedApplication> application_;
    HACCEL accelerators_ = nullptr;
    std::vector<std::unique_ptr<QTimer>> watchers_;
    int pending_ = 0;
    // Watches the loops that run inside Pump and RunLoop.
    std::unique_ptr<QTimer> stallWatch_;
    QElapsedTimer waiting_;
    int loopDepth_ = 0;
};

// Whether the widget shows all of its text in the room it has; `why` says
// what it would need.
bool ShowsWholeText(QWidget* widget, std::string& why);

// A dialog procedure that gives a template the program's dialog frame and
// nothing else, for tests that open templates on their own.
BOOL Framed(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace browser_qt
