#pragma once
// Inside the window system: the window table, classes, focus and the state
// the message queue and dialogs share. Only platform/gui's own sources
// include this; programs use WinUser.h and the other public headers.

#include <deque>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/core/HandleTable.h"
#include "platform/core/LastError.h"
#include "platform/gui/Backend.h"
#include "platform/gui/CommCtrl.h"
#include "platform/gui/Resources.h"
#include "platform/gui/WinUser.h"

namespace ce::gui {

// The state of a built-in control (list items, check state, ...).
struct ControlState {
    virtual ~ControlState() = default;
};

struct WindowClassEntry {
    std::u16string name;
    WNDPROC proc = nullptr;
    UINT style = 0;
    int windowExtra = 0;
    HBRUSH background = nullptr;
    HICON icon = nullptr;
    bool builtIn = false;
    // How the backend shows windows of this class, from their style.
    PeerKind (*kindOf)(DWORD style) = nullptr;
};

struct DialogState {
    UINT templateId = 0;
    DLGPROC procedure = nullptr;
    bool modal = false;
    bool ended = false;
    int result = 0;
    int defaultId = IDOK;
    SIZE baseUnits{};
    HWND lastFocus = nullptr;
};

struct Window {
    HWND handle = nullptr;
    const WindowClassEntry* windowClass = nullptr;
    WNDPROC proc = nullptr;
    HWND parent = nullptr;
    HWND owner = nullptr;
    std::vector<HWND> children;  // in creation (tab) order
    DWORD style = 0;
    DWORD exStyle = 0;
    int id = 0;
    std::u16string text;
    RECT rect{};  // in the parent's client coordinates; screen ones for top-level windows
    int reservedBottom = 0;  // height of a menu bar below the client area
    LONG_PTR userData = 0;
    std::map<int, LONG_PTR> extra;  // window extra bytes, by offset
    HFONT font = nullptr;
    PeerKind kind = PeerKind::Painted;
    bool redraw = true;
    bool invalid = false;
    bool doneButton = false;
    bool destroying = false;
    HWND menuBar = nullptr;
    HICON smallIcon = nullptr;  // WM_SETICON
    HICON bigIcon = nullptr;
    std::unique_ptr<ControlState> control;
    std::unique_ptr<DialogState> dialog;
    // Procedures of this window now running (Deliver calls nested in each
    // other). A window destroyed meanwhile is freed when the last returns.
    int dispatchDepth = 0;
    bool destroyed = false;
};

struct Timer {
    HWND window;
    UINT id;
    UINT interval;
    DWORD due;
    TIMERPROC procedure;
};

// A top-level window of another process on the same device (FindWindowW).
struct RemoteWindow {
    std::u16string className;
    std::string address;
};

// Handles of remote windows come from a range of their own, far above the
// handles of this process's windows.
inline constexpr std::uintptr_t kFirstRemoteWindow = 0x40000000;

struct WindowSystem {
    HandleTable<Window, HWND> windows{{0x10000, 4}};
    // Windows destroyed while a procedure of theirs still runs: no handle
    // names them any more, but their memory lives until that procedure returns.
    std::vector<std::unique_ptr<Window>> lingering;
    HandleTable<RemoteWindow, HWND> remotes{{kFirstRemoteWindow, 4}};
    std::vector<HWND> topLevels;                                          // bottom to top
    std::map<std::u16string, std::unique_ptr<WindowClassEntry>> classes;  // by lower-case name
    HWND focus = nullptr;
    HWND active = nullptr;
    std::deque<MSG> posted;
    bool quit = false;
    int quitCode = 0;
    std::vector<Timer> timers;
    BYTE keys[256] = {};
    std::vector<HWND> modalDialogs;  // innermost last
    // Set by a modal dialog's loop for the one GetMessageW call it makes, so
    // that the call knows whose loop it serves (a loop nested inside the
    // dialog's procedure is not the dialog's).
    HWND dialogLoop = nullptr;
    int popupDepth = 0;
    int paintDepth = 0;
};

WindowSystem& System();
// The window of a handle, or nullptr (last error ERROR_INVALID_WINDOW_HANDLE).
Window* Find(HWND hwnd);
// The same without touching the last error.
Window* Peek(HWND hwnd);
// Runs the window procedure of `hwnd` (0 when it is gone). The window's
// memory stays valid until the procedure returns, even when the procedure
// destroys the window.
LRESULT Deliver(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
// How many destroyed windows wait for a procedure of theirs to return.
std::size_t LingeringWindowCount();
// The state of a built-in control of type T, or nullptr.
template <class T>
T* StateOf(HWND hwnd) {
    Window* w = Peek(hwnd);
    return w != nullptr ? dynamic_cast<T*>(w->control.get()) : nullptr;
}
// The state of the built-in control `window` is, made on first use.
template <class T>
T& ControlOf(Window& window) {
    if (window.control == nullptr)
        window.control = std::make_unique<T>();
    return *static_cast<T*>(window.control.get());
}
// A resource of the module named by number (MAKEINTRESOURCE), found with one
// of ResourceModule's Find functions; nullptr and ERROR_RESOURCE_NAME_NOT_FOUND
// when there is none.
template <class Resource>
const Resource* FindResourceOf(HINSTANCE instance, LPCWSTR name,
                               const Resource* (ResourceModule::*find)(UINT) const) {
    const Resource* resource =
        instance != nullptr && IS_INTRESOURCE(name) ? (instance->*find)(ResourceId(name)) : nullptr;
    if (resource == nullptr)
        SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
    return resource;
}
void NotifyChanged(HWND hwnd, unsigned changes);
// The icon a window shows: the one set with WM_SETICON (ICON_SMALL or
// ICON_BIG), else its class's, else the other one set; nullptr when none.
HICON WindowIcon(HWND hwnd, WPARAM which);
HWND TopLevelOf(HWND hwnd);
// The client area's top-left corner in screen coordinates.
POINT ClientOrigin(const Window& window);
SIZE ClientSize(const Window& window);
// Whether the window and all its ancestors are visible / enabled.
bool ReallyVisible(HWND hwnd);
bool ReallyEnabled(HWND hwnd);
// Forgets every window, message and timer (a new backend starts empty).
void ResetWindowSystem();
// Empties the process's clipboard and closes it (with a new backend).
void ResetClipboard();
inline constexpr const char16_t* kDialogClassName = u"Dialog";
inline constexpr const char16_t* kMenuBarClassName = u"menu_worker";
// Asks the process that shows a remote window (FindWindowW) to bring it forward.
BOOL RaiseRemoteWindow(HWND remote);
// Whether the process that showed a remote window still shows it.
bool RemoteWindowExists(HWND remote);
// Handles what arrived from outside: requests of other processes to raise a
// window, and whatever the registered message sources (MessageSources.h)
// post, such as object-store notifications.
void CollectExternalEvents();
// Sends WM_INITMENUPOPUP for a popup about to open.
void SendInitMenuPopup(HWND owner, HMENU popup);
// Keeps a window's menu bar along its bottom edge.
void PlaceMenuBar(HWND owner);
// Opens the menu marked with access key `key` on a command bar inside `top`;
// false when none has one.
bool OpenMenuByKey(HWND top, WCHAR key);
// Keeps the command bars and command-band strips of a window as wide as its client area.
void FitBarsToParent(HWND parent);
// A program's top-level window is announced to other processes on the same
// device (FindWindowW) while it exists.
void AnnounceTopLevel(HWND hwnd);
void WithdrawTopLevel(HWND hwnd);
// Sends WM_PAINT to the window now if it is visible and invalid.
void PaintIfNeeded(HWND hwnd);
// Paints every visible window that waits for a paint, as the queue would:
// called before the backend shows something modal of its own (a message
// box, a file dialog, a popup menu), so the windows underneath are current.
void PaintPendingWindows();
// Sends WM_COMMAND with a notification code to the control's parent.
void NotifyParentCommand(HWND control, WORD code);
// Sends WM_NOTIFY to the control's parent; `header` begins the structure.
LRESULT NotifyParent(HWND control, UINT code, NMHDR* header);
// The default font of controls and dialogs (the stock system font).
HFONT DefaultFont();
// The font a window draws with: its own or the default.
const LOGFONTW& WindowFont(HWND hwnd);
// Drops a window's timers and posted messages.
void ForgetWindowMessages(HWND hwnd);
// Tick count on the backend's clock.
DWORD Now();

// The built-in classes' window procedures.
LRESULT ButtonProc(HWND, UINT, WPARAM, LPARAM);
LRESULT EditProc(HWND, UINT, WPARAM, LPARAM);
LRESULT StaticProc(HWND, UINT, WPARAM, LPARAM);
LRESULT ProgressProc(HWND, UINT, WPARAM, LPARAM);
LRESULT ComboBoxProc(HWND, UINT, WPARAM, LPARAM);
LRESULT DateTimePickerProc(HWND, UINT, WPARAM, LPARAM);
PeerKind DateTimePickerKind(DWORD style);
LRESULT ListViewProc(HWND, UINT, WPARAM, LPARAM);
LRESULT HeaderProc(HWND, UINT, WPARAM, LPARAM);
LRESULT MenuBarProc(HWND, UINT, WPARAM, LPARAM);
LRESULT CommandBarProc(HWND, UINT, WPARAM, LPARAM);
LRESULT CommandBandsProc(HWND, UINT, WPARAM, LPARAM);
PeerKind ButtonKind(DWORD style);

// Messages the built-in controls send each other.
inline constexpr UINT kEndLabelEdit = 0x7F00;  // to a list view: wParam TRUE to keep the text
inline constexpr UINT kHeaderLayout = 0x7F01;  // to a list view: its header's items changed
// To a bar: the tip over a point. wParam: std::u16string* that receives it;
// lParam: const POINT* in the bar's client coordinates. TRUE when the bar has tips.
inline constexpr UINT kToolTipAt = 0x7F02;
// To a bar: open the menu whose caption marks wParam as its access key; TRUE when one did.
inline constexpr UINT kOpenMenuByKey = 0x7F03;

// Text as DrawText shows it without DT_NOPREFIX: "&F" is "F" ("&&" is "&").
std::u16string StripPrefixes(std::u16string_view text);
// The character a text marks with "&" as its access key; 0 when none.
WCHAR AccessKeyOf(std::u16string_view text);
// Where that letter stands in the text as shown (prefixes removed); npos: none.
std::size_t AccessKeyIndex(std::u16string_view text);

}  // namespace ce::gui
