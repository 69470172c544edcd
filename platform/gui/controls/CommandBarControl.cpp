// The command bar: along the top of its window (or inside a band of the
// command-band strip) it shows a menu bar, image buttons with tooltips,
// separators and, at its right end, the adornment buttons. Core paints it
// and handles its pen, mouse and keyboard input.

#include <algorithm>
#include <cwctype>

#include "platform/core/Text.h"
#include "platform/gui/CommandBar.h"
#include "platform/gui/Gdi.h"
#include "platform/gui/NativeEvents.h"
#include "platform/gui/Resources.h"
#include "platform/gui/controls/BarImages.h"
#include "platform/gui/controls/BarMessages.h"
#include "platform/gui/drawing/GdiObjects.h"
#include "platform/gui/windowing/WindowSystem.h"

namespace ce::gui {
namespace {

enum class ItemKind { Menu, Button, Separator, Close, Help, Ok };

struct CommandItem {
    ItemKind kind = ItemKind::Button;
    int popup = 0;
    UINT command = 0;
    int image = -1;
    bool enabled = true;
    bool checked = false;
    bool checkStyle = false;
    std::u16string caption;
    std::u16string tip;
    RECT rect{};
};

struct ImageSet {
    std::shared_ptr<const Image> image;
    std::shared_ptr<const Image> grey;
    int first = 0;
    int count = 0;
    int width = 0;
    int height = 0;
};

struct CommandBarState : ControlState {
    HMENU menu = nullptr;
    std::vector<ImageSet> images;
    int imageCount = 0;
    std::vector<CommandItem> items;
    std::vector<std::u16string> tips;
    int pressed = -1;
    bool tipShown = false;
    ~CommandBarState() override {
        if (menu != nullptr)
            DestroyMenu(menu);
    }
};

constexpr int kSeparatorWidth = 6;
constexpr int kAdornmentWidth = 22;

CommandBarState* BarOf(HWND hwnd) {
    return StateOf<CommandBarState>(hwnd);
}

bool IsAdornment(ItemKind kind) {
    return kind == ItemKind::Close || kind == ItemKind::Help || kind == ItemKind::Ok;
}

const ImageSet* SetOf(const CommandBarState& bar, int image) {
    for (const ImageSet& set : bar.images) {
        if (image >= set.first && image < set.first + set.count)
            return &set;
    }
    return nullptr;
}

int ImageHeight(const CommandBarState& bar) {
    int height = 16;
    for (const ImageSet& set : bar.images)
        height = std::max(height, set.height);
    return height;
}

// Tips go to the items that are not separators or adornments, in order; a
// menu bar (all its menus together) takes one place.
void AssignTips(CommandBarState& bar) {
    std::size_t next = 0;
    bool inMenuBar = false;
    std::u16string menuBarTip;
    for (CommandItem& item : bar.items) {
        if (item.kind == ItemKind::Menu) {
            if (!inMenuBar)
                menuBarTip = next < bar.tips.size() ? bar.tips[next++] : std::u16string();
            inMenuBar = true;
            item.tip = menuBarTip;
            continue;
        }
        inMenuBar = false;
        if (item.kind == ItemKind::Separator || IsAdornment(item.kind))
            continue;
        item.tip = next < bar.tips.size() ? bar.tips[next] : std::u16string();
        ++next;
    }
}

int ButtonWidth(const CommandBarState& bar, const CommandItem& item) {
    const ImageSet* set = SetOf(bar, item.image);
    return (set != nullptr ? set->width : 16) + 7;
}

void Arrange(HWND hwnd, CommandBarState& bar) {
    RECT client{};
    GetClientRect(hwnd, &client);
    const LOGFONTW& font = WindowFont(hwnd);
    int x = 0;
    int right = client.right;
    for (auto it = bar.items.rbegin(); it != bar.items.rend(); ++it) {
        if (IsAdornment(it->kind)) {
            it->rect = {right - kAdornmentWidth, 0, right, client.bottom};
            right -= kAdornmentWidth;
        }
    }
    for (CommandItem& item : bar.items) {
        if (IsAdornment(item.kind))
            continue;
        int width = item.kind == ItemKind::Menu
                        ? CurrentBackend().MeasureText(font, StripPrefixes(item.caption)).cx + 12
                    : item.kind == ItemKind::Separator ? kSeparatorWidth
                                                       : ButtonWidth(bar, item);
        item.rect = {x, 0, x + width, client.bottom};
        x += width;
    }
}

int ItemAt(const CommandBarState& bar, POINT p) {
    for (std::size_t i = 0; i < bar.items.size(); ++i) {
        const RECT& r = bar.items[i].rect;
        if (bar.items[i].kind != ItemKind::Separator && p.x >= r.left && p.x < r.right &&
            p.y >= r.top && p.y < r.bottom)
            return static_cast<int>(i);
    }
    return -1;
}

void Line(HDC hdc, int x0, int y0, int x1, int y1) {
    MoveToEx(hdc, x0, y0, nullptr);
    LineTo(hdc, x1, y1);
}

void PaintAdornment(HDC hdc, const CommandItem& item) {
    const RECT& r = item.rect;
    int cx = (r.left + r.right) / 2;
    int cy = (r.top + r.bottom) / 2;
    HPEN pen = CreatePen(PS_SOLID, 2, GetSysColor(COLOR_BTNTEXT));
    HGDIOBJ old = SelectObject(hdc, pen);
    if (item.kind == ItemKind::Close) {
        Line(hdc, cx - 4, cy - 4, cx + 5, cy + 5);
        Line(hdc, cx + 4, cy - 4, cx - 5, cy + 5);
    } else {
        RECT text = r;
        SetTextColor(hdc, GetSysColor(COLOR_BTNTEXT));
        DrawTextW(hdc, item.kind == ItemKind::Help ? u"?" : u"ok", -1, &text,
                  DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    }
    SelectObject(hdc, old);
    DeleteObject(pen);
}

void Paint(HWND hwnd, CommandBarState& bar) {
    PAINTSTRUCT ps;
    HDC hdc = BeginPaint(hwnd, &ps);
    RECT client;
    GetClientRect(hwnd, &client);
    FillRect(hdc, &client, GetSysColorBrush(COLOR_BTNFACE));
    SetBkMode(hdc, TRANSPARENT);
    for (std::size_t i = 0; i < bar.items.size(); ++i) {
        const CommandItem& item = bar.items[i];
        RECT r = item.rect;
        if (static_cast<int>(i) == bar.pressed || item.checked) {
            RECT inner{r.left + 1, r.top + 2, r.right - 1, r.bottom - 2};
            FillRect(hdc, &inner, GetSysColorBrush(COLOR_BTNSHADOW));
        }
        switch (item.kind) {
            case ItemKind::Menu:
                SetTextColor(hdc, GetSysColor(item.enabled ? COLOR_MENUTEXT : COLOR_GRAYTEXT));
                DrawTextW(hdc, item.caption.c_str(), -1, &r,
                          DT_CENTER | DT_VCENTER | DT_SINGLELINE);
                break;
            case ItemKind::Separator: {
                int x = (r.left + r.right) / 2;
                HPEN shadow = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNSHADOW));
                HGDIOBJ old = SelectObject(hdc, shadow);
                Line(hdc, x, r.top + 3, x, r.bottom - 3);
                SelectObject(hdc, old);
                DeleteObject(shadow);
                break;
            }
            case ItemKind::Button:
                if (const ImageSet* set = SetOf(bar, item.image)) {
                    const Image& image = item.enabled ? *set->image : *set->grey;
                    int at = item.image - set->first;
                    RECT source{at * set->width, 0, (at + 1) * set->width, set->height};
                    POINT to{r.left + (r.right - r.left - set->width) / 2,
                             r.top + (r.bottom - r.top - set->height) / 2};
                    DrawImageOn(hdc, image, source, to, kButtonTransparent);
                }
                break;
            default:
                PaintAdornment(hdc, item);
                break;
        }
    }
    EndPaint(hwnd, &ps);
}

CommandItem* ButtonFor(CommandBarState& bar, UINT command) {
    for (CommandItem& item : bar.items) {
        if (item.kind == ItemKind::Button && item.command == command)
            return &item;
    }
    return nullptr;
}

void OpenMenu(HWND hwnd, CommandBarState& bar, int index) {
    const CommandItem& item = bar.items[static_cast<std::size_t>(index)];
    HMENU popup = GetSubMenu(bar.menu, item.popup);
    POINT at{item.rect.left, item.rect.bottom};
    ClientToScreen(hwnd, &at);
    bar.pressed = index;
    InvalidateRect(hwnd, nullptr, FALSE);
    UpdateWindow(hwnd);
    if (popup != nullptr)
        TrackPopupMenuEx(popup, TPM_LEFTALIGN | TPM_TOPALIGN, at.x, at.y, TopLevelOf(hwnd),
                         nullptr);
    if (CommandBarState* still = BarOf(hwnd)) {
        still->pressed = -1;
        InvalidateRect(hwnd, nullptr, FALSE);
    }
}

void Activate(HWND hwnd, CommandBarState& bar, int index) {
    CommandItem item = bar.items[static_cast<std::size_t>(index)];
    HWND owner = TopLevelOf(hwnd);
    switch (item.kind) {
        case ItemKind::Menu:
            OpenMenu(hwnd, bar, index);
            break;
        case ItemKind::Button:
            if (item.enabled)
                SendMessageW(owner, WM_COMMAND, MAKEWPARAM(item.command, 0),
                             reinterpret_cast<LPARAM>(hwnd));
            break;
        case ItemKind::Close:
            PostMessageW(owner, WM_CLOSE, 0, 0);
            break;
        case ItemKind::Help:
            SendMessageW(owner, WM_HELP, 0, 0);
            break;
        case ItemKind::Ok:
            PostMessageW(owner, WM_COMMAND, MAKEWPARAM(IDOK, 0), reinterpret_cast<LPARAM>(hwnd));
            break;
        case ItemKind::Separator:
            break;
    }
}

// The menu whose caption marks `key` as its access key ("&File" for F).
int MenuForKey(const CommandBarState& bar, WCHAR key) {
    for (std::size_t i = 0; i < bar.items.size(); ++i) {
        const CommandItem& item = bar.items[i];
        if (item.kind == ItemKind::Menu && AccessKeyOf(item.caption) != 0 &&
            std::towupper(AccessKeyOf(item.caption)) == std::towupper(key))
            return static_cast<int>(i);
    }
    return -1;
}

LRESULT OnButtonDown(HWND hwnd, CommandBarState* bar, UINT message, POINT point) {
    int at = ItemAt(*bar, point);
    if (at < 0)
        return 0;
    const CommandItem& item = bar->items[static_cast<std::size_t>(at)];
    if (item.kind == ItemKind::Menu) {
        OpenMenu(hwnd, *bar, at);
        return 0;
    }
    // A button held shows its tip and sends nothing.
    std::u16string tip = item.tip;
    if (message == WM_LBUTTONDOWN && !tip.empty() && CurrentBackend().IsTapAndHold(hwnd, point)) {
        if ((bar = BarOf(hwnd)) == nullptr)
            return 0;
        const RECT& r = bar->items[static_cast<std::size_t>(at)].rect;
        POINT below{(r.left + r.right) / 2, r.bottom};
        ClientToScreen(hwnd, &below);
        bar->tipShown = true;
        CurrentBackend().ShowToolTip(hwnd, below, tip);
        return 0;
    }
    if (item.enabled) {
        bar->pressed = at;
        InvalidateRect(hwnd, nullptr, FALSE);
    }
    return 0;
}

LRESULT OnButtonUp(HWND hwnd, CommandBarState* bar, POINT point) {
    if (std::exchange(bar->tipShown, false))
        CurrentBackend().ShowToolTip(hwnd, {}, u"");
    int pressed = std::exchange(bar->pressed, -1);
    InvalidateRect(hwnd, nullptr, FALSE);
    if (pressed >= 0 && ItemAt(*bar, point) == pressed)
        Activate(hwnd, *bar, pressed);
    return 0;
}

void AddButtons(HWND hwnd, CommandBarState& bar, std::span<const TBBUTTON> buttons) {
    // Adornments stay last.
    auto end = std::find_if(bar.items.begin(), bar.items.end(),
                            [](const CommandItem& item) { return IsAdornment(item.kind); });
    std::vector<CommandItem> added;
    for (const TBBUTTON& b : buttons) {
        CommandItem item;
        item.kind = (b.fsStyle & TBSTYLE_SEP) != 0 ? ItemKind::Separator : ItemKind::Button;
        item.command = static_cast<UINT>(b.idCommand);
        item.image = b.iBitmap;
        item.enabled = (b.fsState & TBSTATE_ENABLED) != 0;
        item.checked = (b.fsState & TBSTATE_CHECKED) != 0;
        item.checkStyle = (b.fsStyle & TBSTYLE_CHECK) != 0;
        added.push_back(item);
    }
    bar.items.insert(end, added.begin(), added.end());
    AssignTips(bar);
    Arrange(hwnd, bar);
    InvalidateRect(hwnd, nullptr, FALSE);
}

LRESULT OnButtonState(CommandBarState& bar, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    CommandItem* item = ButtonFor(bar, static_cast<UINT>(wParam));
    if (item == nullptr)
        return FALSE;
    if (message == TB_ISBUTTONENABLED)
        return item->enabled ? TRUE : FALSE;
    if (message == TB_ISBUTTONCHECKED)
        return item->checked ? TRUE : FALSE;
    bool on = LOWORD(static_cast<DWORD>(lParam)) != 0;
    bool& flag = message == TB_ENABLEBUTTON ? item->enabled : item->checked;
    if (flag != on) {
        flag = on;
        InvalidateRect(hwnd, nullptr, FALSE);
    }
    return TRUE;
}

LRESULT GetButton(const CommandBarState& bar, WPARAM position, LPARAM lParam) {
    auto* out = reinterpret_cast<TBBUTTON*>(lParam);
    if (out == nullptr || position >= bar.items.size() || IsAdornment(bar.items[position].kind))
        return FALSE;
    const CommandItem& item = bar.items[position];
    *out = TBBUTTON{};
    out->iBitmap = item.image;
    out->idCommand = static_cast<int>(item.command);
    out->fsState = static_cast<BYTE>((item.enabled ? TBSTATE_ENABLED : 0) |
                                     (item.checked ? TBSTATE_CHECKED : 0));
    out->fsStyle = item.kind == ItemKind::Separator ? TBSTYLE_SEP
                   : item.checkStyle                ? TBSTYLE_CHECK
                                                    : TBSTYLE_BUTTON;
    return TRUE;
}

}  // namespace

LRESULT CommandBarProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CREATE) {
        if (Window* w = Peek(hwnd))
            ControlOf<CommandBarState>(*w);
        return 0;
    }
    CommandBarState* bar = BarOf(hwnd);
    if (bar == nullptr)
        return DefWindowProcW(hwnd, message, wParam, lParam);
    if (std::optional<LRESULT> answer =
            AnswerBarMessage(*bar, message, wParam, lParam,
                             [](const CommandBarState& b, POINT p) { return ItemAt(b, p); }))
        return *answer;
    POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    switch (message) {
        case WM_PAINT:
            Paint(hwnd, *bar);
            return 0;
        case WM_ERASEBKGND:
            return 1;
        case WM_SIZE:
            Arrange(hwnd, *bar);
            return 0;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            return OnButtonDown(hwnd, bar, message, point);
        case WM_LBUTTONUP:
            return OnButtonUp(hwnd, bar, point);
        case TB_ENABLEBUTTON:
        case TB_CHECKBUTTON:
        case TB_ISBUTTONENABLED:
        case TB_ISBUTTONCHECKED:
            return OnButtonState(*bar, hwnd, message, wParam, lParam);
        case TB_GETITEMRECT: {
            auto* rect = reinterpret_cast<RECT*>(lParam);
            if (rect == nullptr || wParam >= bar->items.size())
                return FALSE;
            *rect = bar->items[wParam].rect;
            return TRUE;
        }
        case TB_BUTTONCOUNT:
            return std::count_if(bar->items.begin(), bar->items.end(),
                                 [](const CommandItem& item) { return !IsAdornment(item.kind); });
        case TB_GETBUTTON:
            return GetButton(*bar, wParam, lParam);
        case TB_ADDBUTTONSW:
            AddButtons(
                hwnd, *bar,
                {reinterpret_cast<const TBBUTTON*>(lParam), static_cast<std::size_t>(wParam)});
            return TRUE;
        case TB_SETTOOLTIPS: {
            auto* texts = reinterpret_cast<const LPWSTR*>(lParam);
            bar->tips.clear();
            for (std::size_t i = 0; texts != nullptr && i < wParam; ++i)
                bar->tips.emplace_back(texts[i] != nullptr ? WideView(texts[i]) : u"");
            AssignTips(*bar);
            return TRUE;
        }
        case kOpenMenuByKey: {
            int at = MenuForKey(*bar, static_cast<WCHAR>(wParam));
            if (at < 0)
                return FALSE;
            OpenMenu(hwnd, *bar, at);
            return TRUE;
        }
        default:
            return DefWindowProcW(hwnd, message, wParam, lParam);
    }
}

}  // namespace ce::gui

namespace ce {

HINSTANCE CommonControlsModule() {
    static const ResourceModule* module = [] {
        auto* m = new ResourceModule;
        gui::AddCommonControlImages(*m);
        return m;
    }();
    return module;
}

namespace {

gui::CommandBarState* CommandBarOf(HWND bar) {
    gui::Window* w = gui::Find(bar);
    if (w == nullptr || w->windowClass == nullptr || w->windowClass->proc != &gui::CommandBarProc)
        return nullptr;
    return gui::StateOf<gui::CommandBarState>(bar);
}

}  // namespace

HWND CommandBar_Create(HINSTANCE instance, HWND parent, int id) {
    gui::Window* owner = gui::Find(parent);
    if (owner == nullptr)
        return nullptr;
    SIZE client = gui::ClientSize(*owner);
    int height = gui::CurrentBackend().Screen().menuBarHeight;
    return CreateWindowExW(0, TOOLBARCLASSNAMEW, u"", WS_CHILD | WS_VISIBLE, 0, 0, client.cx,
                           height, parent, reinterpret_cast<HMENU>(static_cast<std::intptr_t>(id)),
                           instance, nullptr);
}

BOOL CommandBar_InsertMenubarEx(HWND hwndCB, HINSTANCE instance, LPCWSTR menuName, WORD position) {
    gui::CommandBarState* bar = CommandBarOf(hwndCB);
    if (bar == nullptr)
        return FALSE;
    HMENU menu = LoadMenuW(instance, menuName);
    if (menu == nullptr)
        return FALSE;
    if (bar->menu != nullptr) {
        DestroyMenu(bar->menu);
        std::erase_if(bar->items, [](const gui::CommandItem& item) {
            return item.kind == gui::ItemKind::Menu;
        });
    }
    bar->menu = menu;
    std::vector<gui::CommandItem> captions;
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        gui::CommandItem item;
        item.kind = gui::ItemKind::Menu;
        item.popup = i;
        WCHAR caption[64] = {};
        GetMenuStringW(menu, static_cast<UINT>(i), caption, 64, MF_BYPOSITION);
        item.caption = WideView(caption);
        captions.push_back(item);
    }
    std::size_t at = std::min<std::size_t>(position, bar->items.size());
    bar->items.insert(bar->items.begin() + static_cast<std::ptrdiff_t>(at), captions.begin(),
                      captions.end());
    gui::AssignTips(*bar);
    gui::Arrange(hwndCB, *bar);
    InvalidateRect(hwndCB, nullptr, FALSE);
    return TRUE;
}

int CommandBar_AddBitmap(HWND hwndCB, HINSTANCE instance, int idBitmap, int count, int width,
                         int height) {
    gui::CommandBarState* bar = CommandBarOf(hwndCB);
    if (bar == nullptr || count <= 0 || width <= 0 || height <= 0)
        return -1;
    HBITMAP bitmap = LoadBitmapW(instance, MAKEINTRESOURCE(static_cast<UINT>(idBitmap)));
    std::optional<gui::GdiObject> object = gui::ObjectCopy(bitmap);
    if (bitmap != nullptr)
        DeleteObject(bitmap);
    // The strip must hold the images it is said to hold.
    if (!object || !object->image || object->image->height < height ||
        object->image->width / width < count)
        return -1;
    gui::ImageSet set;
    set.image = object->image;
    set.grey = gui::GreyedImage(*object->image);
    set.first = bar->imageCount;
    set.count = count;
    set.width = width;
    set.height = height;
    bar->images.push_back(set);
    bar->imageCount += count;
    gui::Arrange(hwndCB, *bar);
    return set.first;
}

BOOL CommandBar_AddButtons(HWND hwndCB, UINT count, const TBBUTTON* buttons) {
    if (CommandBarOf(hwndCB) == nullptr || (buttons == nullptr && count != 0))
        return FALSE;
    return static_cast<BOOL>(
        SendMessageW(hwndCB, TB_ADDBUTTONSW, count, reinterpret_cast<LPARAM>(buttons)));
}

BOOL CommandBar_AddToolTips(HWND hwndCB, UINT count, const LPWSTR* tips) {
    if (CommandBarOf(hwndCB) == nullptr)
        return FALSE;
    return static_cast<BOOL>(
        SendMessageW(hwndCB, TB_SETTOOLTIPS, count, reinterpret_cast<LPARAM>(tips)));
}

BOOL CommandBar_AddAdornments(HWND hwndCB, DWORD flags, DWORD) {
    gui::CommandBarState* bar = CommandBarOf(hwndCB);
    if (bar == nullptr)
        return FALSE;
    std::erase_if(bar->items,
                  [](const gui::CommandItem& item) { return gui::IsAdornment(item.kind); });
    auto add = [&](gui::ItemKind kind) {
        gui::CommandItem item;
        item.kind = kind;
        bar->items.push_back(item);
    };
    if ((flags & CMDBAR_HELP) != 0)
        add(gui::ItemKind::Help);
    if ((flags & CMDBAR_OK) != 0)
        add(gui::ItemKind::Ok);
    add(gui::ItemKind::Close);
    gui::Arrange(hwndCB, *bar);
    InvalidateRect(hwndCB, nullptr, FALSE);
    return TRUE;
}

BOOL CommandBar_DrawMenuBar(HWND hwndCB, WORD) {
    gui::CommandBarState* bar = CommandBarOf(hwndCB);
    if (bar == nullptr)
        return FALSE;
    for (gui::CommandItem& item : bar->items) {
        if (item.kind != gui::ItemKind::Menu)
            continue;
        WCHAR caption[64] = {};
        GetMenuStringW(bar->menu, static_cast<UINT>(item.popup), caption, 64, MF_BYPOSITION);
        item.caption = WideView(caption);
        UINT state = GetMenuState(bar->menu, static_cast<UINT>(item.popup), MF_BYPOSITION);
        item.enabled = state == 0xFFFFFFFF || (state & (MF_GRAYED | MF_DISABLED)) == 0;
    }
    gui::Arrange(hwndCB, *bar);
    InvalidateRect(hwndCB, nullptr, FALSE);
    return TRUE;
}

HMENU CommandBar_GetMenu(HWND hwndCB, WORD) {
    gui::CommandBarState* bar = CommandBarOf(hwndCB);
    return bar != nullptr ? bar->menu : nullptr;
}

int CommandBar_Height(HWND hwndCB) {
    gui::CommandBarState* bar = CommandBarOf(hwndCB);
    if (bar == nullptr)
        return 0;
    return std::max(gui::CurrentBackend().Screen().menuBarHeight, gui::ImageHeight(*bar) + 8);
}

int CommandBar_MenuBarWidth(HWND hwndCB) {
    gui::CommandBarState* bar = CommandBarOf(hwndCB);
    if (bar == nullptr)
        return 0;
    int width = 0;
    for (const gui::CommandItem& item : bar->items) {
        if (item.kind == gui::ItemKind::Menu)
            width += item.rect.right - item.rect.left;
    }
    return width;
}

}  // namespace ce

namespace ce::gui {

bool OpenMenuByKey(HWND top, WCHAR key) {
    Window* w = Peek(top);
    if (w == nullptr)
        return false;
    std::vector<HWND> children = w->children;
    for (HWND child : children) {
        Window* c = Peek(child);
        if (c == nullptr || (c->style & WS_VISIBLE) == 0)
            continue;
        if (c->windowClass != nullptr && c->windowClass->proc == &CommandBarProc &&
            SendMessageW(child, kOpenMenuByKey, key, 0) != FALSE)
            return true;
        if (OpenMenuByKey(child, key))
            return true;
    }
    return false;
}

}  // namespace ce::gui

namespace ce::gui {

UINT MenuCommandForAccessKey(HMENU menu, WCHAR key) {
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        UINT state = GetMenuState(menu, static_cast<UINT>(i), MF_BYPOSITION);
        if (state == 0xFFFFFFFF || (state & (MF_POPUP | MF_SEPARATOR | MF_GRAYED)) != 0)
            continue;
        WCHAR text[256] = {};
        GetMenuStringW(menu, static_cast<UINT>(i), text, 256, MF_BYPOSITION);
        WCHAR marked = AccessKeyOf(WideView(text, 256));
        if (marked != 0 && std::towupper(marked) == std::towupper(key))
            return GetMenuItemID(menu, i);
    }
    return 0;
}

}  // namespace ce::gui
