#pragma once
// The window system's backend: what shows windows and asks the user. Core
// (this folder) owns every window, control, dialog, menu, timer and message;
// a backend only shows that state and feeds input back (NativeEvents.h). Two
// exist: headless/ (in memory; a console host for unattended runs and a
// scripted user for tests) and qt/ (real windows). The choice is made at run
// time by installing one; without an installed backend the headless console
// host is used. Everything runs on one thread.

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/gui/Clipboard.h"
#include "platform/gui/WinTypes.h"
#include "platform/gui/drawing/Surface.h"

namespace ce::gui {

struct MessageBoxRequest {
    HWND owner = nullptr;
    std::u16string text;
    std::u16string caption;
    UINT style = MB_OK;
    // The string-table id the text came from (0 when unknown), so that a
    // scripted user can answer by id.
    UINT stringId = 0;
};

struct FileDialogRequest {
    HWND owner = nullptr;
    bool save = false;
    // (description, patterns) pairs; patterns are separated by ";".
    std::vector<std::pair<std::u16string, std::u16string>> filters;
    std::size_t filterIndex = 0;
    std::u16string initialName;
    std::u16string initialDirectory;
    std::u16string defaultExtension;  // without the dot; may be empty
    DWORD flags = 0;                  // OFN_FILEMUSTEXIST, OFN_OVERWRITEPROMPT, ...
};

struct PopupMenuRequest {
    HWND owner = nullptr;  // receives the command
    HMENU menu = nullptr;  // read with GetMenuItemCount, GetMenuStringW, GetMenuState, ...
    POINT screenPoint{};
    // TPM_ alignment flags: where the menu lies around the point.
    UINT flags = 0;
};

// How a backend shows a window. Native kinds are toolkit widgets that report
// clicks and edits through NativeEvents.h; Painted windows are drawn by core
// through BeginDrawing and receive raw pointer and key input.
enum class PeerKind {
    Frame,        // a top-level window or dialog
    Painted,      // list view, header, menu bar, owner-drawn buttons, program classes
    PushButton,   // push and default push buttons
    CheckBox,     // check boxes of every kind
    RadioButton,  // radio buttons
    GroupBox,     // a frame with a caption
    Edit,         // single- and multi-line edit fields
    Static,       // static text
    ProgressBar,  // progress bars
    DatePicker,   // date and time pickers showing a date
    TimePicker,   // date and time pickers showing a time (DTS_TIMEFORMAT)
};

// What WindowChanged reports; several bits at a time.
enum WindowChange : unsigned {
    ChangedGeometry = 0x01,    // position or size (GetWindowRect, GetClientRect)
    ChangedVisible = 0x02,     // IsWindowVisible
    ChangedEnabled = 0x04,     // IsWindowEnabled
    ChangedText = 0x08,        // GetWindowTextW
    ChangedStyle = 0x10,       // GetWindowLongW(GWL_STYLE): default button, read-only, ...
    ChangedValue = 0x20,       // ControlValue(): check state, progress, edit selection
    ChangedFont = 0x40,        // WM_GETFONT
    ChangedDoneButton = 0x80,  // HasDoneButton
    ChangedIcon = 0x100        // WindowIcon
};

struct ScreenMetrics {
    int width = 240;
    int height = 320;
    int dpi = 96;
    int captionHeight = 26;
    int menuBarHeight = 26;
    // Height of the shell's strip across the top of the screen (the program's
    // caption and the Done button); full-screen windows stay below it.
    int workAreaTop = 0;
    int scrollBarWidth = 13;
};

struct FontMetrics {
    int height = 0;  // line height in pixels
    int ascent = 0;
    int averageCharWidth = 0;
};

struct WaitRequest {
    // False for PeekMessage: collect what is ready, never block or jump the clock.
    bool block = true;
    // A tick (as Now() counts) by which to return; none when no timer is pending.
    std::optional<DWORD> deadline;
    // The innermost modal dialog, or nullptr.
    HWND modalDialog = nullptr;
};

class Backend {
public:
    virtual ~Backend() = default;
    virtual const char* Name() const = 0;

    // ---- Windows ----
    // A window exists now; its state is read through the window API.
    virtual void WindowCreated(HWND window, PeerKind kind) = 0;
    // The window is gone (children are reported before their parent).
    virtual void WindowDestroyed(HWND window) = 0;
    // Some of the window's state changed (WindowChange bits).
    virtual void WindowChanged(HWND window, unsigned changes) = 0;
    // The keyboard focus moved to `window` (nullptr: nowhere).
    virtual void FocusChanged(HWND window) = 0;
    // Raises a top-level window over the others and activates it.
    virtual void BringToFront(HWND window) = 0;
    // A surface on the client area of a Painted window; what was drawn is
    // shown when the surface is destroyed.
    virtual std::unique_ptr<Surface> BeginDrawing(HWND window) = 0;

    // ---- Time and input ----
    // Milliseconds on the clock that timers run on.
    virtual DWORD Now() = 0;
    // Waits for input until the request's deadline (forever without one),
    // turning native input into messages through NativeEvents.h. Returns
    // false when no input can ever come; core then ends the innermost
    // modal loop (a dialog with IDCANCEL, a message loop with WM_QUIT).
    virtual bool WaitForInput(const WaitRequest& request) = 0;

    // ---- Modal interaction the backend owns ----
    // Shows a modal message box and returns the button chosen (IDOK, IDYES, ...).
    virtual int ShowMessageBox(const MessageBoxRequest& request) = 0;
    // The chosen path, or nothing when the user cancelled.
    virtual std::optional<std::u16string> ChooseFile(const FileDialogRequest& request) = 0;
    // The command chosen from a popup menu, 0 for none.
    virtual UINT TrackPopupMenu(const PopupMenuRequest& request) = 0;
    // Whether the pen that just went down on `window` at `point` (client
    // coordinates) is held: a press held about half a second, or the right button.
    virtual bool IsTapAndHold(HWND window, POINT point) = 0;

    // Shows a tooltip with `text` just above `screenPoint`; an empty text
    // hides it. (Tips shown on hover are the backend's own business.)
    virtual void ShowToolTip(HWND near, POINT screenPoint, const std::u16string& text) {
        (void)near;
        (void)screenPoint;
        (void)text;
    }

    // ---- Metrics ----
    virtual ScreenMetrics Screen() = 0;
    virtual FontMetrics MeasureFont(const LOGFONTW& font) = 0;
    virtual SIZE MeasureText(const LOGFONTW& font, std::u16string_view text) = 0;

    // ---- Other programs ----
    // Shows an HTML file at an anchor (empty: the top) without waiting;
    // false when no program to show it could be started.
    virtual bool ShowHelp(const std::filesystem::path& file, const std::u16string& anchor) = 0;

    // ---- The clipboard (Clipboard.h) ----
    // The program put these formats on the clipboard. A backend with a
    // desktop clipboard publishes them there; by default they stay in the process.
    virtual void ClipboardWritten(const std::vector<ClipboardItem>&) {}
    // What the desktop's clipboard holds now, or nothing when the backend
    // has no desktop clipboard (the process's own contents hold then).
    virtual std::optional<std::vector<ClipboardItem>> ReadClipboard() { return std::nullopt; }
};

// The density a screen of `width` by `height` pixels is shown at when
// `dpi` is asked for: no higher than leaves it the room of a 240 by 320
// screen at 96 dots per inch, so that what is laid out for the device fits
// (a small screen of many dots per inch shows things at their usual size).
int DensityThatFits(int width, int height, int dpi);

// The backend in use (the headless console host until one is installed).
Backend& CurrentBackend();
// Installs a backend; returns the one it replaces (possibly null). The
// window system starts empty with the new backend: windows left over from
// the previous one are destroyed, queued messages and timers dropped.
std::unique_ptr<Backend> InstallBackend(std::unique_ptr<Backend> backend);

// Installs a backend for a scope and puts the previous one back afterwards.
class ScopedBackend {
public:
    explicit ScopedBackend(std::unique_ptr<Backend> backend)
        : previous_(InstallBackend(std::move(backend))) {}
    ~ScopedBackend() { InstallBackend(std::move(previous_)); }
    ScopedBackend(const ScopedBackend&) = delete;
    ScopedBackend& operator=(const ScopedBackend&) = delete;

private:
    std::unique_ptr<Backend> previous_;
};

// A message box with the id of the string its text came from.
int ShowMessageBox(const MessageBoxRequest& request);

// The answer a message box gets when nobody can be asked: Cancel when the
// box has it, else No, else OK.
int SafeAnswer(UINT style);

// How many times MessageBeep sounded in this process (what a test hears).
int BeepsSounded();

}  // namespace ce::gui

namespace ce {

int MessageBoxW(HWND hWnd, LPCWSTR lpText, LPCWSTR lpCaption, UINT uType);
// Sounds the system sound of a message box kind (MB_ICONEXCLAMATION, ...);
// off the device it is counted, not heard.
BOOL MessageBeep(UINT uType);

}  // namespace ce
