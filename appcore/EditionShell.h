#pragma once
// What differs between the two programs is asked of the edition's shell,
// never tested for in common code. The shell is an object that each
// program's main() installs before anything runs, as the window backend is
// installed: shells/palm for tessaly, shells/keyboard for tessbook. Tests
// install the one they run.

#include <memory>
#include <span>

#include "platform/gui/BackendLoader.h"
#include "platform/gui/CommCtrl.h"
#include "platform/gui/WinTypes.h"

namespace appcore {

// What a column of the database list shows: the modified date alone, or
// the date, a blank and the time without seconds.
enum class ListColumnContent { Name, Size, Type, ModifiedDate, ModifiedDateAndTime };

struct ListColumn {
    ListColumnContent content;
    ce::UINT title;  // string id
    int weight;      // sixteenths of the screen width
};

class EditionShell {
public:
    virtual ~EditionShell() = default;

    // Whether "Double tap to open a database viewer" starts on.
    virtual bool DoubleTapDefault() const = 0;
    // The program's name as typed on a command line (for usage texts).
    virtual const char* ProgramName() const = 0;
    // The device screen and the frame style of an interactive run's windows.
    virtual ce::gui::InteractiveOptions InteractiveWindowOptions() const = 0;

    // Sets a dialog up as the edition shows dialogs: the palm-size shell
    // makes it full screen (with its Done button when asked), gives it an
    // empty menu bar and the help button; the keyboard shell centres the
    // captioned dialog.
    virtual void FrameDialog(ce::HWND dialog, bool doneButton, bool helpButton) = 0;
    // Whether dialogs paint their title line from their hidden title control.
    virtual bool PaintsDialogTitles() const = 0;
    // How long AskPassword waits before the Enter Password dialog opens.
    virtual ce::DWORD PasswordQuestionDelayMs() const = 0;

    // The main window's menu bar with its menus and buttons; nullptr on failure.
    virtual ce::HWND CreateMainMenuBar(ce::HWND mainWindow) = 0;
    // The columns of the database list, left to right.
    virtual std::span<const ListColumn> DatabaseListColumns() const = 0;
    // The menu whose first popup is the list's context menu.
    virtual ce::UINT ListMenuId() const = 0;
    // The record editor's menus and buttons; nullptr on failure.
    virtual ce::HWND CreateEditorMenuBar(ce::HWND editor) = 0;
    // A notification reached the main window from one of the shell's
    // windows; true when the shell handled it.
    virtual bool MainWindowNotify(ce::HWND window, const ce::NMHDR& header) = 0;
    // The main window is being destroyed: the shell keeps what it remembers.
    virtual void MainWindowDestroyed(ce::HWND window) = 0;
    // The shell's extra dialog controls, made ready once at start.
    virtual void InitExtraControls() = 0;
    // The main window was activated: keeps a full-screen window sized to the
    // screen and the input panel.
    virtual void MainWindowActivated(ce::HWND window, ce::WPARAM wParam, ce::LPARAM lParam) = 0;
    // A system setting other than the reset (which the main window handles
    // itself) changed: the palm-size shell keeps the window sized to the
    // input panel when the panel changed.
    virtual void MainWindowSettingChanged(ce::HWND window, ce::WPARAM wParam,
                                          ce::LPARAM lParam) = 0;
};

// The installed shell. Using it before one is installed is a fault of the
// program: it says so on standard error and aborts.
EditionShell& Shell();
// Installs a shell; returns the one it replaces (possibly null).
std::unique_ptr<EditionShell> InstallShell(std::unique_ptr<EditionShell> shell);

// Installs a shell for a scope and puts the previous one back afterwards.
class ScopedShell {
public:
    explicit ScopedShell(std::unique_ptr<EditionShell> shell)
        : previous_(InstallShell(std::move(shell))) {}
    ~ScopedShell() { InstallShell(std::move(previous_)); }
    ScopedShell(const ScopedShell&) = delete;
    ScopedShell& operator=(const ScopedShell&) = delete;

private:
    std::unique_ptr<EditionShell> previous_;
};

}  // namespace appcore
