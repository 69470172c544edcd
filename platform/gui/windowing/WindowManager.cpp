// The window tree: classes, creation and destruction, window data, text,
// visibility, enabling, geometry, focus and activation.

#include <algorithm>

#include "platform/core/ErrorCodes.h"
#include "platform/core/LastError.h"
#include "platform/core/Text.h"
#include "platform/gui/CommandBar.h"
#include "platform/gui/Gdi.h"
#include "platform/gui/Resources.h"
#include "platform/gui/windowing/WindowSystem.h"

namespace ce::gui {
namespace {

std::u16string ClassKey(std::u16string_view name) {
    return ToLowerWide(name);
}

void RegisterBuiltIns(WindowSystem& system);

void RemoveFrom(std::vector<HWND>& list, HWND hwnd) {
    list.erase(std::remove(list.begin(), list.end(), hwnd), list.end());
}

// Takes a window out of the table: freed now, or when the last of its
// procedures that still run returns.
void Forget(WindowSystem& system, HWND hwnd) {
    std::unique_ptr<Window> window = system.windows.Erase(hwnd);
    if (window == nullptr)
        return;
    window->destroyed = true;
    if (window->dispatchDepth > 0)
        system.lingering.push_back(std::move(window));
}

// Counts a running procedure of a window; the last one out frees a window
// that was destroyed meanwhile.
class DispatchScope {
public:
    explicit DispatchScope(Window& window) : window_(window) { ++window_.dispatchDepth; }
    ~DispatchScope() {
        if (--window_.dispatchDepth > 0 || !window_.destroyed)
            return;
        auto& lingering = System().lingering;
        auto it =
            std::find_if(lingering.begin(), lingering.end(),
                         [&](const std::unique_ptr<Window>& w) { return w.get() == &window_; });
        if (it != lingering.end())
            lingering.erase(it);
    }
    DispatchScope(const DispatchScope&) = delete;
    DispatchScope& operator=(const DispatchScope&) = delete;

private:
    Window& window_;
};

// Sends WM_DESTROY down the tree, then forgets the windows bottom-up.
void DestroyTree(HWND hwnd) {
    Window* w = Peek(hwnd);
    if (w == nullptr || w->destroying)
        return;
    w->destroying = true;
    WindowSystem& system = System();
    // Owned top-level windows (modeless dialogs, popups) go first.
    std::vector<HWND> owned;
    for (HWND top : system.topLevels) {
        Window* t = Peek(top);
        if (t != nullptr && t->owner == hwnd)
            owned.push_back(top);
    }
    for (HWND o : owned)
        DestroyTree(o);
    if (IsChild(hwnd, system.focus) || system.focus == hwnd) {
        HWND old = system.focus;
        system.focus = nullptr;
        Deliver(old, WM_KILLFOCUS, 0, 0);
        CurrentBackend().FocusChanged(nullptr);
    }
    Deliver(hwnd, WM_DESTROY, 0, 0);
    w = Peek(hwnd);
    if (w == nullptr)
        return;
    std::vector<HWND> children = w->children;
    for (HWND child : children)
        DestroyTree(child);
    Deliver(hwnd, WM_NCDESTROY, 0, 0);
    w = Peek(hwnd);
    if (w == nullptr)
        return;
    HWND parent = w->parent;
    HWND owner = w->owner;
    if (Window* p = Peek(parent))
        RemoveFrom(p->children, hwnd);
    RemoveFrom(system.topLevels, hwnd);
    RemoveFrom(system.modalDialogs, hwnd);
    ForgetWindowMessages(hwnd);
    CurrentBackend().WindowDestroyed(hwnd);
    bool wasActive = system.active == hwnd;
    if (wasActive)
        system.active = nullptr;
    Forget(system, hwnd);
    WithdrawTopLevel(hwnd);
    if (wasActive && owner != nullptr && IsWindowEnabled(owner) && IsWindowVisible(owner))
        SetActiveWindow(owner);
}

int Extent(int value, int fallback) {
    return value == CW_USEDEFAULT ? fallback : value;
}

}  // namespace

WindowSystem& System() {
    static WindowSystem* system = [] {
        auto* s = new WindowSystem;
        RegisterBuiltIns(*s);
        return s;
    }();
    return *system;
}

Window* Peek(HWND hwnd) {
    return hwnd == nullptr ? nullptr : System().windows.Lookup(hwnd);
}

Window* Find(HWND hwnd) {
    return System().windows.LookupOrError(hwnd, ERROR_INVALID_WINDOW_HANDLE);
}

LRESULT Deliver(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    Window* w = Peek(hwnd);
    if (w == nullptr || w->proc == nullptr)
        return 0;
    WNDPROC proc = w->proc;
    DispatchScope scope(*w);
    return proc(hwnd, message, wParam, lParam);
}

std::size_t LingeringWindowCount() {
    return System().lingering.size();
}

void NotifyChanged(HWND hwnd, unsigned changes) {
    if (Peek(hwnd) != nullptr)
        CurrentBackend().WindowChanged(hwnd, changes);
}

HWND TopLevelOf(HWND hwnd) {
    Window* w = Peek(hwnd);
    while (w != nullptr && w->parent != nullptr) {
        hwnd = w->parent;
        w = Peek(hwnd);
    }
    return w != nullptr ? hwnd : nullptr;
}

POINT ClientOrigin(const Window& window) {
    POINT origin{window.rect.left, window.rect.top};
    if (Window* p = Peek(window.parent)) {
        POINT parent = ClientOrigin(*p);
        origin.x += parent.x;
        origin.y += parent.y;
    }
    return origin;
}

SIZE ClientSize(const Window& window) {
    LONG width = std::max<LONG>(0, window.rect.right - window.rect.left);
    LONG height = std::max<LONG>(0, window.rect.bottom - window.rect.top - window.reservedBottom);
    return {width, height};
}

bool ReallyVisible(HWND hwnd) {
    for (Window* w = Peek(hwnd); w != nullptr; w = Peek(w->parent)) {
        if ((w->style & WS_VISIBLE) == 0)
            return false;
    }
    return hwnd != nullptr && Peek(hwnd) != nullptr;
}

bool ReallyEnabled(HWND hwnd) {
    for (Window* w = Peek(hwnd); w != nullptr; w = Peek(w->parent)) {
        if ((w->style & WS_DISABLED) != 0)
            return false;
    }
    return hwnd != nullptr && Peek(hwnd) != nullptr;
}

namespace {

PeerKind EditKind(DWORD) {
    return PeerKind::Edit;
}
PeerKind StaticKind(DWORD) {
    return PeerKind::Static;
}
PeerKind ProgressKind(DWORD) {
    return PeerKind::ProgressBar;
}
PeerKind PaintedKind(DWORD) {
    return PeerKind::Painted;
}
PeerKind FrameKind(DWORD) {
    return PeerKind::Frame;
}

void RegisterBuiltIns(WindowSystem& system) {
    auto add = [&](const char16_t* name, WNDPROC proc, UINT style, PeerKind (*kindOf)(DWORD)) {
        auto entry = std::make_unique<WindowClassEntry>();
        entry->name = name;
        entry->proc = proc;
        entry->style = style;
        entry->builtIn = true;
        entry->kindOf = kindOf;
        entry->windowExtra = 16;
        system.classes[ClassKey(name)] = std::move(entry);
    };
    add(u"BUTTON", ButtonProc, CS_DBLCLKS, ButtonKind);
    add(u"EDIT", EditProc, CS_DBLCLKS, EditKind);
    add(u"STATIC", StaticProc, 0, StaticKind);
    add(PROGRESS_CLASSW, ProgressProc, 0, ProgressKind);
    add(u"COMBOBOX", ComboBoxProc, 0, PaintedKind);
    add(DATETIMEPICK_CLASSW, DateTimePickerProc, 0, DateTimePickerKind);
    add(WC_LISTVIEWW, ListViewProc, CS_DBLCLKS, PaintedKind);
    add(WC_HEADERW, HeaderProc, CS_DBLCLKS, PaintedKind);
    add(kMenuBarClassName, MenuBarProc, 0, PaintedKind);
    add(TOOLBARCLASSNAMEW, CommandBarProc, 0, PaintedKind);
    add(REBARCLASSNAMEW, CommandBandsProc, 0, PaintedKind);
    add(kDialogClassName, DefDlgProcW, 0, FrameKind);
    // Marks where the input panel opens; there is none off the device.
    add(u"SIPPREF", DefWindowProcW, 0, PaintedKind);
}

}  // namespace

void ResetWindowSystem() {
    WindowSystem& system = System();
    std::vector<HWND> tops = system.topLevels;
    for (auto it = tops.rbegin(); it != tops.rend(); ++it)
        DestroyTree(*it);
    std::vector<HWND> left;
    system.windows.ForEach([&](HWND hwnd, const Window&) { left.push_back(hwnd); });
    for (HWND hwnd : left)
        Forget(system, hwnd);
    system.remotes.Clear();
    system.topLevels.clear();
    system.focus = nullptr;
    system.active = nullptr;
    system.posted.clear();
    system.quit = false;
    system.quitCode = 0;
    system.timers.clear();
    std::fill(std::begin(system.keys), std::end(system.keys), BYTE{0});
    system.modalDialogs.clear();
    system.dialogLoop = nullptr;
    system.popupDepth = 0;
    ResetClipboard();
    for (auto it = system.classes.begin(); it != system.classes.end();) {
        if (it->second->builtIn)
            ++it;
        else
            it = system.classes.erase(it);
    }
}

HFONT DefaultFont() {
    return static_cast<HFONT>(GetStockObject(SYSTEM_FONT));
}

const LOGFONTW& WindowFont(HWND hwnd) {
    Window* w = Peek(hwnd);
    const LOGFONTW* font = w != nullptr && w->font != nullptr ? FontDescription(w->font) : nullptr;
    return font != nullptr ? *font : *FontDescription(DefaultFont());
}

void NotifyParentCommand(HWND control, WORD code) {
    Window* w = Peek(control);
    if (w == nullptr || w->parent == nullptr)
        return;
    Deliver(w->parent, WM_COMMAND, MAKEWPARAM(w->id, code), reinterpret_cast<LPARAM>(control));
}

LRESULT NotifyParent(HWND control, UINT code, NMHDR* header) {
    Window* w = Peek(control);
    if (w == nullptr || w->parent == nullptr)
        return 0;
    header->hwndFrom = control;
    header->idFrom = static_cast<std::uintptr_t>(w->id);
    header->code = code;
    return SendMessageW(w->parent, WM_NOTIFY, static_cast<WPARAM>(w->id),
                        reinterpret_cast<LPARAM>(header));
}

bool OwnedBy(HWND window, HWND top) {
    for (Window* w = Peek(window); w != nullptr && w->owner != nullptr; w = Peek(w->owner)) {
        if (w->owner == top)
            return true;
    }
    return false;
}

// Raises a top-level window and the shown windows it owns above it (its
// dialogs), the most recently active of them last, and activates that one:
// the dialog a person was answering comes back with its owner.
void BringForward(HWND top) {
    WindowSystem& system = System();
    std::vector<HWND> owned;
    for (HWND candidate : system.topLevels) {
        if (OwnedBy(candidate, top) && IsWindowVisible(candidate))
            owned.push_back(candidate);
    }
    HWND popup = top;
    for (auto it = owned.rbegin(); it != owned.rend(); ++it) {
        if (IsWindowEnabled(*it)) {
            popup = *it;
            break;
        }
    }
    if (IsWindowEnabled(popup))
        SetActiveWindow(popup);
    CurrentBackend().BringToFront(top);
    for (HWND window : owned) {
        if (window != popup && Peek(window) != nullptr)
            CurrentBackend().BringToFront(window);
    }
    if (popup != top && Peek(popup) != nullptr)
        CurrentBackend().BringToFront(popup);
}

}  // namespace ce::gui

namespace ce {

using gui::Find;
using gui::Peek;
using gui::System;
using gui::Window;

ATOM RegisterClassW(const WNDCLASSW* wc) {
    if (wc == nullptr || wc->lpszClassName == nullptr || wc->lpfnWndProc == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    auto& classes = System().classes;
    std::u16string key = gui::ClassKey(WideView(wc->lpszClassName));
    if (classes.count(key) != 0) {
        SetLastError(ERROR_CLASS_ALREADY_EXISTS);
        return 0;
    }
    auto entry = std::make_unique<gui::WindowClassEntry>();
    entry->name = WideView(wc->lpszClassName);
    entry->proc = wc->lpfnWndProc;
    entry->style = wc->style;
    entry->windowExtra = std::max(0, wc->cbWndExtra);
    entry->background = wc->hbrBackground;
    entry->icon = wc->hIcon;
    classes[key] = std::move(entry);
    return static_cast<ATOM>(0xC000 + classes.size());
}

BOOL UnregisterClassW(LPCWSTR name, HINSTANCE) {
    auto& classes = System().classes;
    auto it = classes.find(gui::ClassKey(WideView(name)));
    if (it == classes.end() || it->second->builtIn) {
        SetLastError(ERROR_CANNOT_FIND_WND_CLASS);
        return FALSE;
    }
    classes.erase(it);
    return TRUE;
}

BOOL GetClassInfoW(HINSTANCE, LPCWSTR name, WNDCLASSW* out) {
    auto& classes = System().classes;
    auto it = classes.find(gui::ClassKey(WideView(name)));
    if (it == classes.end() || out == nullptr) {
        SetLastError(ERROR_CANNOT_FIND_WND_CLASS);
        return FALSE;
    }
    *out = {};
    out->style = it->second->style;
    out->lpfnWndProc = it->second->proc;
    out->cbWndExtra = it->second->windowExtra;
    out->hbrBackground = it->second->background;
    out->hIcon = it->second->icon;
    out->lpszClassName = it->second->name.c_str();
    return TRUE;
}

int GetClassNameW(HWND hwnd, LPWSTR buffer, int size) {
    Window* w = Find(hwnd);
    if (w == nullptr || buffer == nullptr || size <= 0)
        return 0;
    return static_cast<int>(CopyWide(buffer, static_cast<std::size_t>(size), w->windowClass->name));
}

HWND CreateWindowExW(DWORD exStyle, LPCWSTR className, LPCWSTR windowName, DWORD style, int x,
                     int y, int width, int height, HWND parentOrOwner, HMENU menu,
                     HINSTANCE instance, void* param) {
    gui::WindowSystem& system = System();
    if (className == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    auto cls = system.classes.find(gui::ClassKey(WideView(className)));
    if (cls == system.classes.end()) {
        SetLastError(ERROR_CANNOT_FIND_WND_CLASS);
        return nullptr;
    }
    bool child = (style & WS_CHILD) != 0;
    if (child && Find(parentOrOwner) == nullptr)
        return nullptr;
    auto window = std::make_unique<Window>();
    Window& w = *window;
    w.windowClass = cls->second.get();
    w.proc = w.windowClass->proc;
    w.style = style & ~WS_VISIBLE;
    w.exStyle = exStyle;
    w.text = WideView(windowName);
    if (child) {
        w.parent = parentOrOwner;
        w.id = static_cast<int>(reinterpret_cast<std::uintptr_t>(menu));
        w.kind = w.windowClass->kindOf != nullptr ? w.windowClass->kindOf(style)
                                                  : gui::PeerKind::Painted;
    } else {
        w.owner = gui::TopLevelOf(parentOrOwner);
        w.kind = gui::PeerKind::Frame;
    }
    gui::ScreenMetrics screen = gui::CurrentBackend().Screen();
    if (child) {
        w.rect = {gui::Extent(x, 0), gui::Extent(y, 0), gui::Extent(x, 0) + gui::Extent(width, 0),
                  gui::Extent(y, 0) + gui::Extent(height, 0)};
    } else {
        int left = gui::Extent(x, 0);
        // A default position and size keep below the shell's strip.
        int top = gui::Extent(y, screen.workAreaTop);
        int below = y == CW_USEDEFAULT ? screen.workAreaTop : 0;
        w.rect = {left, top, left + gui::Extent(width, screen.width),
                  top + gui::Extent(height, screen.height - below)};
    }
    HWND hwnd = system.windows.Insert(std::move(window));
    w.handle = hwnd;
    if (child)
        Peek(w.parent)->children.push_back(hwnd);
    else
        system.topLevels.push_back(hwnd);
    gui::CurrentBackend().WindowCreated(hwnd, Peek(hwnd)->kind);

    CREATESTRUCTW create{};
    create.lpCreateParams = param;
    create.hInstance = instance;
    create.hMenu = menu;
    create.hwndParent = parentOrOwner;
    create.x = x;
    create.y = y;
    create.cx = width;
    create.cy = height;
    create.style = static_cast<LONG>(style);
    create.lpszName = windowName;
    create.lpszClass = className;
    create.dwExStyle = exStyle;
    if (gui::Deliver(hwnd, WM_CREATE, 0, reinterpret_cast<LPARAM>(&create)) == -1) {
        gui::DestroyTree(hwnd);
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    if (Peek(hwnd) == nullptr)
        return nullptr;
    SIZE size = gui::ClientSize(*Peek(hwnd));
    gui::Deliver(hwnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(size.cx, size.cy));
    if (!child && Peek(hwnd) != nullptr && !Peek(hwnd)->windowClass->builtIn)
        gui::AnnounceTopLevel(hwnd);
    if ((style & WS_VISIBLE) != 0)
        ShowWindow(hwnd, SW_SHOW);
    return Peek(hwnd) != nullptr ? hwnd : nullptr;
}

BOOL DestroyWindow(HWND hwnd) {
    if (Find(hwnd) == nullptr)
        return FALSE;
    gui::DestroyTree(hwnd);
    return TRUE;
}

BOOL IsWindow(HWND hwnd) {
    return Peek(hwnd) != nullptr || gui::RemoteWindowExists(hwnd);
}

LONG_PTR GetWindowLongW(HWND hwnd, int index) {
    Window* w = Find(hwnd);
    if (w == nullptr)
        return 0;
    switch (index) {
        case GWL_WNDPROC:
            return reinterpret_cast<LONG_PTR>(w->proc);
        case GWL_ID:
            return w->id;
        case GWL_STYLE:
            return static_cast<LONG_PTR>(w->style);
        case GWL_EXSTYLE:
            return static_cast<LONG_PTR>(w->exStyle);
        case GWL_USERDATA:
            return w->userData;
        default: {
            if (w->dialog != nullptr && index == DWL_DLGPROC)
                return reinterpret_cast<LONG_PTR>(w->dialog->procedure);
            auto it = w->extra.find(index);
            return it == w->extra.end() ? 0 : it->second;
        }
    }
}

LONG_PTR SetWindowLongW(HWND hwnd, int index, LONG_PTR value) {
    Window* w = Find(hwnd);
    if (w == nullptr)
        return 0;
    LONG_PTR old = GetWindowLongW(hwnd, index);
    switch (index) {
        case GWL_WNDPROC:
            w->proc = reinterpret_cast<WNDPROC>(value);
            break;
        case GWL_ID:
            w->id = static_cast<int>(value);
            break;
        case GWL_STYLE: {
            DWORD visible = w->style & WS_VISIBLE;
            w->style = (static_cast<DWORD>(value) & ~WS_VISIBLE) | visible;
            gui::Deliver(hwnd, WM_STYLECHANGED, static_cast<WPARAM>(GWL_STYLE), 0);
            gui::NotifyChanged(hwnd, gui::ChangedStyle);
            break;
        }
        case GWL_EXSTYLE:
            w->exStyle = static_cast<DWORD>(value);
            gui::NotifyChanged(hwnd, gui::ChangedStyle);
            break;
        case GWL_USERDATA:
            w->userData = value;
            break;
        default:
            if (w->dialog != nullptr && index == DWL_DLGPROC) {
                w->dialog->procedure = reinterpret_cast<DLGPROC>(value);
                break;
            }
            if (index < 0 || index + 4 > std::max(w->windowClass->windowExtra, 16)) {
                SetLastError(ERROR_INVALID_PARAMETER);
                return 0;
            }
            w->extra[index] = value;
            break;
    }
    return old;
}

HWND GetParent(HWND hwnd) {
    Window* w = Find(hwnd);
    if (w == nullptr)
        return nullptr;
    return w->parent != nullptr ? w->parent : w->owner;
}

HWND GetWindow(HWND hwnd, UINT cmd) {
    Window* w = Find(hwnd);
    if (w == nullptr)
        return nullptr;
    if (cmd == GW_CHILD)
        return w->children.empty() ? nullptr : w->children.front();
    if (cmd == GW_OWNER)
        return w->owner;
    const std::vector<HWND>* siblings = &System().topLevels;
    if (Window* p = Peek(w->parent))
        siblings = &p->children;
    auto it = std::find(siblings->begin(), siblings->end(), hwnd);
    if (it == siblings->end())
        return nullptr;
    switch (cmd) {
        case GW_HWNDFIRST:
            return siblings->front();
        case GW_HWNDLAST:
            return siblings->back();
        case GW_HWNDNEXT:
            return it + 1 == siblings->end() ? nullptr : *(it + 1);
        case GW_HWNDPREV:
            return it == siblings->begin() ? nullptr : *(it - 1);
        default:
            SetLastError(ERROR_INVALID_PARAMETER);
            return nullptr;
    }
}

BOOL IsChild(HWND parent, HWND hwnd) {
    Window* w = Peek(hwnd);
    while (w != nullptr && w->parent != nullptr) {
        if (w->parent == parent)
            return TRUE;
        w = Peek(w->parent);
    }
    return FALSE;
}

BOOL SetWindowTextW(HWND hwnd, LPCWSTR text) {
    if (Find(hwnd) == nullptr)
        return FALSE;
    return static_cast<BOOL>(
        SendMessageW(hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text == nullptr ? u"" : text)));
}

int GetWindowTextW(HWND hwnd, LPWSTR buffer, int size) {
    if (buffer == nullptr || size <= 0 || Find(hwnd) == nullptr)
        return 0;
    buffer[0] = 0;
    return static_cast<int>(SendMessageW(hwnd, WM_GETTEXT, static_cast<WPARAM>(size),
                                         reinterpret_cast<LPARAM>(buffer)));
}

int GetWindowTextLengthW(HWND hwnd) {
    if (Find(hwnd) == nullptr)
        return 0;
    return static_cast<int>(SendMessageW(hwnd, WM_GETTEXTLENGTH, 0, 0));
}

BOOL ShowWindow(HWND hwnd, int command) {
    if (System().remotes.Contains(hwnd))
        return gui::RaiseRemoteWindow(hwnd);
    Window* w = Find(hwnd);
    if (w == nullptr)
        return FALSE;
    bool wasVisible = (w->style & WS_VISIBLE) != 0;
    bool show = command != SW_HIDE && command != SW_MINIMIZE;
    if (show != wasVisible) {
        if (show)
            w->style |= WS_VISIBLE;
        else
            w->style &= ~WS_VISIBLE;
        gui::Deliver(hwnd, WM_SHOWWINDOW, show ? TRUE : FALSE, 0);
        gui::NotifyChanged(hwnd, gui::ChangedVisible);
        if (show)
            InvalidateRect(hwnd, nullptr, TRUE);
    }
    w = Peek(hwnd);
    if (w != nullptr && w->parent == nullptr) {
        if (show && command != SW_SHOWNA && (w->style & WS_DISABLED) == 0)
            SetActiveWindow(hwnd);
        if (command == SW_RESTORE || command == SW_SHOWNORMAL)
            gui::BringForward(hwnd);
        // A hidden window cannot stay active: its owner takes the keyboard
        // back, as when the window is destroyed.
        HWND owner = w->owner;
        if (!show && System().active == hwnd && owner != nullptr && IsWindowEnabled(owner) &&
            IsWindowVisible(owner))
            SetActiveWindow(owner);
    }
    if (!show && (hwnd == System().focus || IsChild(hwnd, System().focus)))
        SetFocus(nullptr);
    return wasVisible ? TRUE : FALSE;
}

BOOL IsWindowVisible(HWND hwnd) {
    return gui::ReallyVisible(hwnd) ? TRUE : FALSE;
}

BOOL EnableWindow(HWND hwnd, BOOL enable) {
    Window* w = Find(hwnd);
    if (w == nullptr)
        return FALSE;
    bool wasDisabled = (w->style & WS_DISABLED) != 0;
    if (wasDisabled == !enable)
        return wasDisabled ? TRUE : FALSE;
    if (enable)
        w->style &= ~WS_DISABLED;
    else
        w->style |= WS_DISABLED;
    gui::Deliver(hwnd, WM_ENABLE, enable ? TRUE : FALSE, 0);
    gui::NotifyChanged(hwnd, gui::ChangedEnabled);
    if (!enable && (hwnd == System().focus || IsChild(hwnd, System().focus)))
        SetFocus(nullptr);
    InvalidateRect(hwnd, nullptr, TRUE);
    return wasDisabled ? TRUE : FALSE;
}

BOOL IsWindowEnabled(HWND hwnd) {
    Window* w = Find(hwnd);
    return w != nullptr && (w->style & WS_DISABLED) == 0 ? TRUE : FALSE;
}

BOOL SetWindowPos(HWND hwnd, HWND insertAfter, int x, int y, int cx, int cy, UINT flags) {
    Window* w = Find(hwnd);
    if (w == nullptr)
        return FALSE;
    RECT r = w->rect;
    if ((flags & SWP_NOMOVE) == 0) {
        LONG width = r.right - r.left;
        LONG height = r.bottom - r.top;
        r = {x, y, x + width, y + height};
    }
    if ((flags & SWP_NOSIZE) == 0) {
        r.right = r.left + std::max(0, cx);
        r.bottom = r.top + std::max(0, cy);
    }
    bool moved = r.left != w->rect.left || r.top != w->rect.top;
    bool sized = (r.right - r.left) != (w->rect.right - w->rect.left) ||
                 (r.bottom - r.top) != (w->rect.bottom - w->rect.top);
    w->rect = r;
    if ((flags & SWP_NOZORDER) == 0 && w->parent == nullptr && insertAfter != nullptr) {
        if (insertAfter == HWND_TOPMOST)
            w->exStyle |= WS_EX_TOPMOST;
    }
    if (moved || sized) {
        gui::NotifyChanged(hwnd, gui::ChangedGeometry);
        if (sized && w->menuBar != nullptr)
            gui::PlaceMenuBar(hwnd);
        if (sized)
            gui::FitBarsToParent(hwnd);
        if (moved)
            gui::Deliver(hwnd, WM_MOVE, 0, MAKELPARAM(r.left, r.top));
        if (sized) {
            Window* again = Peek(hwnd);
            if (again != nullptr) {
                SIZE size = gui::ClientSize(*again);
                gui::Deliver(hwnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(size.cx, size.cy));
            }
            InvalidateRect(hwnd, nullptr, TRUE);
        }
    }
    if ((flags & SWP_SHOWWINDOW) != 0)
        ShowWindow(hwnd, SW_SHOWNA);
    if ((flags & SWP_HIDEWINDOW) != 0)
        ShowWindow(hwnd, SW_HIDE);
    return TRUE;
}

BOOL MoveWindow(HWND hwnd, int x, int y, int width, int height, BOOL) {
    return SetWindowPos(hwnd, nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

BOOL GetWindowRect(HWND hwnd, RECT* rect) {
    Window* w = Find(hwnd);
    if (w == nullptr || rect == nullptr)
        return FALSE;
    POINT origin{0, 0};
    if (Window* p = Peek(w->parent))
        origin = gui::ClientOrigin(*p);
    *rect = {w->rect.left + origin.x, w->rect.top + origin.y, w->rect.right + origin.x,
             w->rect.bottom + origin.y};
    return TRUE;
}

BOOL GetClientRect(HWND hwnd, RECT* rect) {
    Window* w = Find(hwnd);
    if (w == nullptr || rect == nullptr)
        return FALSE;
    SIZE size = gui::ClientSize(*w);
    *rect = {0, 0, size.cx, size.cy};
    return TRUE;
}

BOOL ClientToScreen(HWND hwnd, POINT* point) {
    Window* w = Find(hwnd);
    if (w == nullptr || point == nullptr)
        return FALSE;
    POINT origin = gui::ClientOrigin(*w);
    point->x += origin.x;
    point->y += origin.y;
    return TRUE;
}

BOOL ScreenToClient(HWND hwnd, POINT* point) {
    Window* w = Find(hwnd);
    if (w == nullptr || point == nullptr)
        return FALSE;
    POINT origin = gui::ClientOrigin(*w);
    point->x -= origin.x;
    point->y -= origin.y;
    return TRUE;
}

int MapWindowPoints(HWND from, HWND to, POINT* points, UINT count) {
    POINT a{0, 0};
    POINT b{0, 0};
    if (Window* w = Peek(from))
        a = gui::ClientOrigin(*w);
    if (Window* w = Peek(to))
        b = gui::ClientOrigin(*w);
    for (UINT i = 0; i < count; ++i) {
        points[i].x += a.x - b.x;
        points[i].y += a.y - b.y;
    }
    return MAKELONG(a.x - b.x, a.y - b.y);
}

HWND SetFocus(HWND hwnd) {
    gui::WindowSystem& system = System();
    if (hwnd != nullptr && Find(hwnd) == nullptr)
        return nullptr;
    HWND old = system.focus;
    if (old == hwnd)
        return old;
    if (hwnd != nullptr) {
        HWND top = gui::TopLevelOf(hwnd);
        if (top != system.active)
            SetActiveWindow(top);
        if (system.focus == hwnd)
            return old;
    }
    system.focus = hwnd;
    if (old != nullptr)
        gui::Deliver(old, WM_KILLFOCUS, reinterpret_cast<WPARAM>(hwnd), 0);
    if (hwnd != nullptr && system.focus == hwnd)
        gui::Deliver(hwnd, WM_SETFOCUS, reinterpret_cast<WPARAM>(old), 0);
    gui::CurrentBackend().FocusChanged(system.focus);
    return old;
}

HWND GetFocus() {
    return System().focus;
}

HWND GetActiveWindow() {
    return System().active;
}

HWND SetActiveWindow(HWND hwnd) {
    gui::WindowSystem& system = System();
    hwnd = gui::TopLevelOf(hwnd);
    HWND old = system.active;
    if (hwnd == old || hwnd == nullptr)
        return old;
    system.active = hwnd;
    gui::RemoveFrom(system.topLevels, hwnd);
    system.topLevels.push_back(hwnd);
    if (old != nullptr)
        gui::Deliver(old, WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, 0), reinterpret_cast<LPARAM>(hwnd));
    if (system.active == hwnd)
        gui::Deliver(hwnd, WM_ACTIVATE, MAKEWPARAM(WA_ACTIVE, 0), reinterpret_cast<LPARAM>(old));
    return old;
}

BOOL SetForegroundWindow(HWND hwnd) {
    if (System().remotes.Contains(hwnd))
        return gui::RaiseRemoteWindow(hwnd);
    if (Find(hwnd) == nullptr)
        return FALSE;
    gui::BringForward(gui::TopLevelOf(hwnd));
    return TRUE;
}

HWND GetForegroundWindow() {
    return System().active;
}

}  // namespace ce
