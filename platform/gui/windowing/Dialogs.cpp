// Dialogs made from numbered templates: modal (with their own loop; the
// owner is disabled meanwhile) and modeless, the default dialog procedure,
// the dialog keyboard (Enter, Escape, Tab), and controls by identifier.

#include <algorithm>
#include <cwctype>

#include "platform/core/ErrorCodes.h"
#include "platform/core/LastError.h"
#include "platform/core/Text.h"
#include "platform/core/WideFormat.h"
#include "platform/gui/Gdi.h"
#include "platform/gui/Resources.h"
#include "platform/gui/controls/Controls.h"
#include "platform/gui/windowing/WindowSystem.h"

namespace ce::gui {
namespace {

DialogState* DialogOf(HWND hwnd) {
    Window* w = Peek(hwnd);
    return w != nullptr ? w->dialog.get() : nullptr;
}

HFONT MakeDialogFont(const DialogResource& tmpl) {
    if (tmpl.fontName == nullptr || tmpl.fontPointSize == 0)
        return nullptr;
    LOGFONTW font{};
    int dpi = CurrentBackend().Screen().dpi;
    font.lfHeight = -static_cast<LONG>((tmpl.fontPointSize * dpi + 36) / 72);
    font.lfWeight = FW_NORMAL;
    CopyWide(font.lfFaceName, WideView(tmpl.fontName));
    return CreateFontIndirectW(&font);
}

SIZE BaseUnitsOf(HFONT font) {
    const LOGFONTW* description = font != nullptr ? FontDescription(font) : nullptr;
    FontMetrics metrics = CurrentBackend().MeasureFont(
        description != nullptr ? *description : *FontDescription(DefaultFont()));
    return {std::max(1, metrics.averageCharWidth), std::max(1, metrics.height)};
}

RECT Map(SIZE units, short x, short y, short cx, short cy) {
    LONG left = x * units.cx / 4;
    LONG top = y * units.cy / 8;
    return {left, top, left + cx * units.cx / 4, top + cy * units.cy / 8};
}

bool Tabbable(HWND hwnd) {
    Window* w = Peek(hwnd);
    return w != nullptr && (w->style & WS_TABSTOP) != 0 && (w->style & WS_VISIBLE) != 0 &&
           (w->style & WS_DISABLED) == 0;
}

HWND FirstTabStop(HWND dialog) {
    Window* w = Peek(dialog);
    if (w == nullptr)
        return nullptr;
    for (HWND child : w->children) {
        if (Tabbable(child))
            return child;
    }
    return nullptr;
}

// The direct child of `dialog` that holds (or contains) `hwnd`.
HWND ChildOf(HWND dialog, HWND hwnd) {
    Window* w = Peek(hwnd);
    while (w != nullptr && w->parent != dialog && w->parent != nullptr) {
        hwnd = w->parent;
        w = Peek(hwnd);
    }
    return w != nullptr && w->parent == dialog ? hwnd : nullptr;
}

void SetDefaultButton(HWND dialog, int id) {
    DialogState* state = DialogOf(dialog);
    if (state == nullptr)
        return;
    state->defaultId = id;
    Window* w = Peek(dialog);
    for (HWND child : w->children) {
        Window* c = Peek(child);
        if (c == nullptr || c->windowClass->name != u"BUTTON")
            continue;
        DWORD type = c->style & BS_TYPEMASK;
        if (type != BS_PUSHBUTTON && type != BS_DEFPUSHBUTTON)
            continue;
        DWORD wanted = c->id == id ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
        if (type != wanted)
            SendMessageW(child, BM_SETSTYLE, (c->style & ~BS_TYPEMASK) | wanted, TRUE);
    }
}

// A template with the title-bar OK (WS_EX_CAPTIONOKBTN) and no OK button of
// its own is confirmed, on a desktop, with push buttons: OK and Cancel in a
// row below the template's controls, at the right, as the title bar's OK and
// close serve on the device. They send the same commands.
constexpr short kCaptionButtonW = 50, kCaptionButtonH = 14, kCaptionButtonGap = 4;

bool HasItem(const DialogResource& tmpl, int id) {
    return std::any_of(tmpl.items.begin(), tmpl.items.end(), [id](const DialogItemResource& item) {
        return static_cast<int>(item.id) == id;
    });
}

std::vector<DialogItemResource> CaptionButtons(const DialogResource& tmpl) {
    if ((tmpl.exStyle & WS_EX_CAPTIONOKBTN) == 0 || HasItem(tmpl, IDOK))
        return {};
    constexpr DWORD kButton = WS_CHILD | WS_VISIBLE | WS_TABSTOP;
    auto y = static_cast<short>(tmpl.cy + 2);
    auto cancelX = static_cast<short>(tmpl.cx - kCaptionButtonGap - kCaptionButtonW);
    auto okX = static_cast<short>(cancelX - kCaptionButtonGap - kCaptionButtonW);
    std::vector<DialogItemResource> buttons{{u"BUTTON", u"OK", IDOK, okX, y, kCaptionButtonW,
                                             kCaptionButtonH, kButton | BS_DEFPUSHBUTTON}};
    if (!HasItem(tmpl, IDCANCEL))
        buttons.push_back({u"BUTTON", u"Cancel", IDCANCEL, cancelX, y, kCaptionButtonW,
                           kCaptionButtonH, kButton | BS_PUSHBUTTON});
    return buttons;
}

HWND CreateFromTemplate(HINSTANCE instance, LPCWSTR name, HWND owner, DLGPROC procedure,
                        LPARAM parameter, bool modal) {
    if (instance == nullptr || !IS_INTRESOURCE(name)) {
        SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
        return nullptr;
    }
    const DialogResource* tmpl = instance->FindDialog(ResourceId(name));
    if (tmpl == nullptr) {
        SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
        return nullptr;
    }
    HFONT font = MakeDialogFont(*tmpl);
    SIZE units = BaseUnitsOf(font);
    std::vector<DialogItemResource> items = tmpl->items;
    std::vector<DialogItemResource> captionButtons = CaptionButtons(*tmpl);
    items.insert(items.end(), captionButtons.begin(), captionButtons.end());
    short height = captionButtons.empty()
                       ? tmpl->cy
                       : static_cast<short>(tmpl->cy + kCaptionButtonH + kCaptionButtonGap + 2);
    RECT r = Map(units, tmpl->x, tmpl->y, tmpl->cx, height);
    if ((tmpl->style & DS_CENTER) != 0) {
        ScreenMetrics screen = CurrentBackend().Screen();
        LONG width = r.right - r.left;
        LONG height = r.bottom - r.top;
        r = {(screen.width - width) / 2, (screen.height - height) / 2,
             (screen.width - width) / 2 + width, (screen.height - height) / 2 + height};
    } else if (Window* o = Peek(TopLevelOf(owner))) {
        POINT origin = ClientOrigin(*o);
        r = {r.left + origin.x, r.top + origin.y, r.right + origin.x, r.bottom + origin.y};
    }
    DWORD style = (tmpl->style & ~(WS_VISIBLE | WS_CHILD)) | WS_POPUP;
    HWND dialog =
        CreateWindowExW(tmpl->exStyle, kDialogClassName, tmpl->caption, style, r.left, r.top,
                        r.right - r.left, r.bottom - r.top, owner, nullptr, instance, nullptr);
    if (dialog == nullptr) {
        if (font != nullptr)
            DeleteObject(font);
        return nullptr;
    }
    Window* w = Peek(dialog);
    w->dialog = std::make_unique<DialogState>();
    w->dialog->templateId = ResourceId(name);
    w->dialog->procedure = procedure;
    w->dialog->modal = modal;
    w->dialog->baseUnits = units;
    w->font = font;
    w->extra[DWL_USER + 4] = reinterpret_cast<LONG_PTR>(font);  // owned; released on WM_NCDESTROY
    HFONT childFont = font != nullptr ? font : DefaultFont();
    for (const DialogItemResource& item : items) {
        RECT ir = Map(units, item.x, item.y, item.cx, item.cy);
        HWND child = CreateWindowExW(
            item.exStyle, item.className, item.text, item.style | WS_CHILD, ir.left, ir.top,
            ir.right - ir.left, ir.bottom - ir.top, dialog,
            reinterpret_cast<HMENU>(static_cast<std::uintptr_t>(item.id)), instance, nullptr);
        if (child == nullptr) {
            DestroyWindow(dialog);
            return nullptr;
        }
        SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(childFont), FALSE);
        if (std::u16string_view(item.className) == u"BUTTON" &&
            (item.style & BS_TYPEMASK) == BS_DEFPUSHBUTTON)
            w->dialog->defaultId = static_cast<int>(item.id);
    }
    HWND first = FirstTabStop(dialog);
    if (SendMessageW(dialog, WM_INITDIALOG, reinterpret_cast<WPARAM>(first), parameter) != 0 &&
        IsWindow(dialog)) {
        HWND focus = FirstTabStop(dialog);
        if (focus != nullptr)
            SetFocus(focus);
    }
    if (IsWindow(dialog) && (tmpl->style & WS_VISIBLE) != 0 && !DialogOf(dialog)->ended)
        ShowWindow(dialog, SW_SHOW);
    return IsWindow(dialog) ? dialog : nullptr;
}

}  // namespace

std::vector<HWND> OpenDialogs() {
    WindowSystem& system = System();
    std::vector<HWND> dialogs(system.modalDialogs.rbegin(), system.modalDialogs.rend());
    for (auto it = system.topLevels.rbegin(); it != system.topLevels.rend(); ++it) {
        DialogState* state = DialogOf(*it);
        if (state != nullptr && !state->modal && !state->ended && ReallyVisible(*it))
            dialogs.push_back(*it);
    }
    return dialogs;
}

UINT DialogTemplateId(HWND dialog) {
    DialogState* state = DialogOf(dialog);
    return state != nullptr ? state->templateId : 0;
}

bool DialogEnded(HWND dialog) {
    DialogState* state = DialogOf(dialog);
    return state == nullptr || state->ended;
}

}  // namespace ce::gui

namespace ce {

using gui::DialogOf;
using gui::Peek;

int DialogBoxParamW(HINSTANCE instance, LPCWSTR name, HWND parent, DLGPROC procedure,
                    LPARAM parameter) {
    HWND owner = gui::TopLevelOf(parent);
    HWND dialog = gui::CreateFromTemplate(instance, name, owner, procedure, parameter, true);
    if (dialog == nullptr)
        return -1;
    bool disabledOwner = owner != nullptr && IsWindowEnabled(owner);
    if (disabledOwner)
        EnableWindow(owner, FALSE);
    auto& modal = gui::System().modalDialogs;
    modal.push_back(dialog);
    if (!DialogOf(dialog)->ended)
        ShowWindow(dialog, SW_SHOW);
    while (IsWindow(dialog) && !DialogOf(dialog)->ended) {
        MSG msg;
        gui::System().dialogLoop = dialog;
        if (!GetMessageW(&msg, nullptr, 0, 0)) {
            // The quit belongs to the program's own loop.
            PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        if (!IsDialogMessageW(dialog, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    int result = IsWindow(dialog) ? DialogOf(dialog)->result : IDCANCEL;
    if (IsWindow(dialog) && !DialogOf(dialog)->ended)
        result = IDCANCEL;
    modal.erase(std::remove(modal.begin(), modal.end(), dialog), modal.end());
    if (disabledOwner && IsWindow(owner))
        EnableWindow(owner, TRUE);
    if (IsWindow(dialog))
        DestroyWindow(dialog);
    if (owner != nullptr && IsWindow(owner) && IsWindowVisible(owner))
        SetActiveWindow(owner);
    return result;
}

HWND CreateDialogParamW(HINSTANCE instance, LPCWSTR name, HWND parent, DLGPROC procedure,
                        LPARAM parameter) {
    return gui::CreateFromTemplate(instance, name, parent, procedure, parameter, false);
}

BOOL EndDialog(HWND hwnd, int result) {
    gui::DialogState* state = DialogOf(hwnd);
    if (state == nullptr) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    state->ended = true;
    state->result = result;
    // Wakes the dialog's loop when it ends from outside a message (a scripted action).
    PostMessageW(hwnd, WM_NULL, 0, 0);
    if (!state->modal)
        ShowWindow(hwnd, SW_HIDE);
    return TRUE;
}

LRESULT DefDlgProcW(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    gui::Window* w = Peek(hwnd);
    if (w == nullptr)
        return 0;
    if (w->dialog != nullptr && w->dialog->procedure != nullptr) {
        w->extra[DWL_MSGRESULT] = 0;
        BOOL handled = w->dialog->procedure(hwnd, message, wParam, lParam);
        if (message == WM_INITDIALOG)
            return handled;
        w = Peek(hwnd);
        if (w == nullptr)
            return 0;
        if (handled)
            return message == WM_CTLCOLORSTATIC ? handled : w->extra[DWL_MSGRESULT];
    }
    gui::DialogState* state = w->dialog.get();
    switch (message) {
        case WM_CLOSE: {
            HWND cancel = GetDlgItem(hwnd, IDCANCEL);
            if (cancel == nullptr || IsWindowEnabled(cancel))
                SendMessageW(hwnd, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                             reinterpret_cast<LPARAM>(cancel));
            return 0;
        }
        case WM_ERASEBKGND: {
            RECT client;
            GetClientRect(hwnd, &client);
            FillRect(reinterpret_cast<HDC>(wParam), &client, GetSysColorBrush(COLOR_STATIC));
            return 1;
        }
        case DM_GETDEFID:
            return state != nullptr ? MAKELONG(state->defaultId, DC_HASDEFID) : 0;
        case DM_SETDEFID:
            gui::SetDefaultButton(hwnd, static_cast<int>(wParam));
            return TRUE;
        case WM_ACTIVATE:
            if (state == nullptr)
                break;
            if (LOWORD(static_cast<DWORD>(wParam)) == WA_INACTIVE) {
                HWND focus = GetFocus();
                if (focus != nullptr && IsChild(hwnd, focus))
                    state->lastFocus = focus;
            } else {
                HWND focus =
                    IsWindow(state->lastFocus) ? state->lastFocus : gui::FirstTabStop(hwnd);
                if (focus != nullptr && !IsChild(hwnd, GetFocus()))
                    SetFocus(focus);
            }
            return 0;
        case WM_NCDESTROY: {
            auto it = w->extra.find(DWL_USER + 4);
            if (it != w->extra.end() && it->second != 0)
                DeleteObject(reinterpret_cast<HFONT>(it->second));
            return 0;
        }
        default:
            break;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

namespace {

// Alt and a letter: the control whose text marks that letter as its access
// key. A button is pressed; a label or group box moves the focus on to the
// control after it.
bool ChooseByAccessKey(HWND dialog, WCHAR key) {
    gui::Window* w = gui::Peek(dialog);
    if (w == nullptr || key == 0)
        return false;
    std::vector<HWND> children = w->children;
    for (HWND child : children) {
        gui::Window* c = gui::Peek(child);
        if (c == nullptr || (c->style & WS_VISIBLE) == 0 || (c->style & WS_DISABLED) != 0)
            continue;
        WCHAR marked = gui::AccessKeyOf(c->text);
        if (marked == 0 || std::towlower(marked) != std::towlower(key))
            continue;
        gui::PeerKind kind = c->kind;
        if (kind == gui::PeerKind::PushButton || kind == gui::PeerKind::CheckBox ||
            kind == gui::PeerKind::RadioButton) {
            SetFocus(child);
            SendMessageW(child, BM_CLICK, 0, 0);
            return true;
        }
        if (HWND next = GetNextDlgTabItem(dialog, child, FALSE))
            SetFocus(next);
        return true;
    }
    return false;
}

}  // namespace

BOOL IsDialogMessageW(HWND dialog, MSG* msg) {
    if (msg == nullptr || DialogOf(dialog) == nullptr)
        return FALSE;
    if (msg->hwnd != dialog && !IsChild(dialog, msg->hwnd))
        return FALSE;
    if (msg->message == WM_SYSCHAR && ChooseByAccessKey(dialog, static_cast<WCHAR>(msg->wParam)))
        return TRUE;
    if (msg->message == WM_KEYDOWN) {
        HWND focus = GetFocus();
        LRESULT code =
            focus != nullptr && IsChild(dialog, focus)
                ? SendMessageW(focus, WM_GETDLGCODE, msg->wParam, reinterpret_cast<LPARAM>(msg))
                : 0;
        bool wantsAll = (code & DLGC_WANTALLKEYS) != 0;
        switch (msg->wParam) {
            case VK_RETURN: {
                if (wantsAll)
                    break;
                int id = LOWORD(static_cast<DWORD>(SendMessageW(dialog, DM_GETDEFID, 0, 0)));
                if (focus != nullptr && IsChild(dialog, focus) &&
                    (code & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON)) != 0)
                    id = GetDlgCtrlID(focus);
                HWND button = GetDlgItem(dialog, id);
                if (button != nullptr && !IsWindowEnabled(button))
                    return TRUE;
                SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                             reinterpret_cast<LPARAM>(button));
                return TRUE;
            }
            case VK_ESCAPE: {
                // Only a label being edited keeps Escape; elsewhere it cancels the dialog.
                auto* edit = gui::StateOf<gui::EditState>(focus);
                if (edit != nullptr && edit->labelEditOf != nullptr)
                    break;
                HWND cancel = GetDlgItem(dialog, IDCANCEL);
                if (cancel != nullptr && !IsWindowEnabled(cancel))
                    return TRUE;
                SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                             reinterpret_cast<LPARAM>(cancel));
                return TRUE;
            }
            case VK_TAB: {
                if (wantsAll || (code & DLGC_WANTTAB) != 0)
                    break;
                bool back = (GetKeyState(VK_SHIFT) & 0x8000) != 0;
                HWND next = GetNextDlgTabItem(dialog, gui::ChildOf(dialog, focus), back);
                if (next != nullptr)
                    SetFocus(next);
                return TRUE;
            }
            default:
                break;
        }
    }
    TranslateMessage(msg);
    DispatchMessageW(msg);
    return TRUE;
}

HWND GetDlgItem(HWND dialog, int id) {
    gui::Window* w = gui::Find(dialog);
    if (w == nullptr)
        return nullptr;
    for (HWND child : w->children) {
        gui::Window* c = Peek(child);
        if (c != nullptr && c->id == id)
            return child;
    }
    return nullptr;
}

int GetDlgCtrlID(HWND hwnd) {
    gui::Window* w = gui::Find(hwnd);
    return w != nullptr ? w->id : 0;
}

BOOL SetDlgItemTextW(HWND dialog, int id, LPCWSTR text) {
    HWND item = GetDlgItem(dialog, id);
    return item != nullptr && SetWindowTextW(item, text);
}

UINT GetDlgItemTextW(HWND dialog, int id, LPWSTR buffer, int size) {
    if (buffer != nullptr && size > 0)
        buffer[0] = 0;
    HWND item = GetDlgItem(dialog, id);
    return item == nullptr ? 0 : static_cast<UINT>(GetWindowTextW(item, buffer, size));
}

BOOL SetDlgItemInt(HWND dialog, int id, UINT value, BOOL isSigned) {
    std::u16string text =
        isSigned ? FormatWide(u"%d", {static_cast<int>(value)}) : FormatWide(u"%u", {value});
    return SetDlgItemTextW(dialog, id, text.c_str());
}

UINT GetDlgItemInt(HWND dialog, int id, BOOL* translated, BOOL isSigned) {
    if (translated != nullptr)
        *translated = FALSE;
    WCHAR buffer[64];
    if (GetDlgItem(dialog, id) == nullptr)
        return 0;
    GetDlgItemTextW(dialog, id, buffer, 64);
    std::u16string_view text = WideView(buffer);
    std::size_t i = 0;
    while (i < text.size() && IsWideSpace(text[i]))
        ++i;
    bool negative = false;
    if (isSigned && i < text.size() && text[i] == u'-') {
        negative = true;
        ++i;
    }
    if (i >= text.size())
        return 0;
    std::int64_t value = 0;
    for (; i < text.size(); ++i) {
        if (text[i] < u'0' || text[i] > u'9')
            return 0;
        value = value * 10 + (text[i] - u'0');
        if (value > (isSigned ? (negative ? 2147483648LL : 2147483647LL) : 4294967295LL))
            return 0;
    }
    if (translated != nullptr)
        *translated = TRUE;
    return static_cast<UINT>(negative ? -value : value);
}

BOOL CheckDlgButton(HWND dialog, int id, UINT check) {
    HWND item = GetDlgItem(dialog, id);
    if (item == nullptr)
        return FALSE;
    SendMessageW(item, BM_SETCHECK, check, 0);
    return TRUE;
}

UINT IsDlgButtonChecked(HWND dialog, int id) {
    HWND item = GetDlgItem(dialog, id);
    return item == nullptr ? 0 : static_cast<UINT>(SendMessageW(item, BM_GETCHECK, 0, 0));
}

BOOL CheckRadioButton(HWND dialog, int first, int last, int check) {
    if (gui::Find(dialog) == nullptr)
        return FALSE;
    for (int id = first; id <= last; ++id) {
        if (HWND item = GetDlgItem(dialog, id))
            SendMessageW(item, BM_SETCHECK, id == check ? BST_CHECKED : BST_UNCHECKED, 0);
    }
    return TRUE;
}

LRESULT SendDlgItemMessageW(HWND dialog, int id, UINT message, WPARAM wParam, LPARAM lParam) {
    HWND item = GetDlgItem(dialog, id);
    return item == nullptr ? 0 : SendMessageW(item, message, wParam, lParam);
}

HWND GetNextDlgTabItem(HWND dialog, HWND control, BOOL previous) {
    gui::Window* w = gui::Find(dialog);
    if (w == nullptr)
        return nullptr;
    std::vector<HWND> stops;
    for (HWND child : w->children) {
        if (gui::Tabbable(child) || child == control)
            stops.push_back(child);
    }
    if (stops.empty())
        return nullptr;
    auto it = std::find(stops.begin(), stops.end(), control);
    std::size_t n = stops.size();
    std::size_t index =
        it == stops.end() ? (previous ? 0 : n - 1) : static_cast<std::size_t>(it - stops.begin());
    for (std::size_t step = 1; step <= n; ++step) {
        std::size_t next = previous ? (index + n - step) % n : (index + step) % n;
        if (gui::Tabbable(stops[next]))
            return stops[next];
    }
    return nullptr;
}

BOOL MapDialogRect(HWND dialog, RECT* rect) {
    gui::DialogState* state = DialogOf(dialog);
    if (state == nullptr || rect == nullptr)
        return FALSE;
    SIZE u = state->baseUnits;
    *rect = {rect->left * u.cx / 4, rect->top * u.cy / 8, rect->right * u.cx / 4,
             rect->bottom * u.cy / 8};
    return TRUE;
}

LONG GetDialogBaseUnits() {
    SIZE units = gui::BaseUnitsOf(nullptr);
    return MAKELONG(units.cx, units.cy);
}

}  // namespace ce
