// The palm-size shell's menu bar: along the bottom of its owner, outside
// the owner's client area, it shows the popups of a menu as captions and
// image buttons that send commands. Core paints it and handles its taps.

#include <algorithm>

#include "platform/core/Text.h"
#include "platform/gui/Gdi.h"
#include "platform/gui/NativeEvents.h"
#include "platform/gui/Resources.h"
#include "platform/gui/ShellUi.h"
#include "platform/gui/controls/BarImages.h"
#include "platform/gui/controls/BarMessages.h"
#include "platform/gui/drawing/GdiObjects.h"
#include "platform/gui/windowing/WindowSystem.h"

namespace ce::gui {
namespace {

struct BarItem {
    bool isMenu = false;
    int popup = 0;
    UINT command = 0;
    int image = -1;
    std::u16string caption;
    std::u16string tip;
    bool enabled = true;
    bool checked = false;
    RECT rect{};
};

struct MenuBarState : ControlState {
    HWND owner = nullptr;
    HMENU menu = nullptr;
    std::shared_ptr<const Image> images;
    std::shared_ptr<const Image> greyImages;
    int imageWidth = 0;
    int imageCount = 0;
    std::vector<BarItem> items;
    int pressed = -1;
    bool tipShown = false;
    ~MenuBarState() override {
        if (menu != nullptr)
            DestroyMenu(menu);
    }
};

MenuBarState* BarOf(HWND hwnd) {
    return StateOf<MenuBarState>(hwnd);
}

void Arrange(HWND hwnd, MenuBarState& bar) {
    RECT client;
    GetClientRect(hwnd, &client);
    int x = 0;
    const LOGFONTW& font = WindowFont(hwnd);
    for (BarItem& item : bar.items) {
        int width = item.isMenu ? CurrentBackend().MeasureText(font, item.caption).cx + 12
                                : bar.imageWidth + 10;
        item.rect = {x, 0, x + width, client.bottom};
        x += width;
    }
}

int ItemAt(const MenuBarState& bar, POINT p) {
    for (std::size_t i = 0; i < bar.items.size(); ++i) {
        const RECT& r = bar.items[i].rect;
        if (p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom)
            return static_cast<int>(i);
    }
    return -1;
}

void Paint(HWND hwnd, MenuBarState& bar) {
    PAINTSTRUCT ps;
    HDC hdc = BeginPaint(hwnd, &ps);
    RECT client;
    GetClientRect(hwnd, &client);
    FillRect(hdc, &client, GetSysColorBrush(COLOR_MENU));
    MoveToEx(hdc, 0, 0, nullptr);
    LineTo(hdc, client.right, 0);
    SetBkMode(hdc, TRANSPARENT);
    for (std::size_t i = 0; i < bar.items.size(); ++i) {
        const BarItem& item = bar.items[i];
        RECT r = item.rect;
        if (static_cast<int>(i) == bar.pressed || item.checked)
            FillRect(hdc, &r, GetSysColorBrush(COLOR_BTNSHADOW));
        if (item.isMenu) {
            SetTextColor(hdc, GetSysColor(item.enabled ? COLOR_MENUTEXT : COLOR_GRAYTEXT));
            DrawTextW(hdc, item.caption.c_str(), -1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        } else if (bar.images && item.image >= 0 && item.image < bar.imageCount) {
            const Image& image = item.enabled ? *bar.images : *bar.greyImages;
            RECT source{item.image * bar.imageWidth, 0, (item.image + 1) * bar.imageWidth,
                        image.height};
            POINT at{r.left + 5, r.top + (r.bottom - r.top - image.height) / 2};
            DrawImageOn(hdc, image, source, at, kButtonTransparent);
        }
    }
    EndPaint(hwnd, &ps);
}

BarItem* ButtonFor(MenuBarState& bar, UINT command) {
    for (BarItem& item : bar.items) {
        if (!item.isMenu && item.command == command)
            return &item;
    }
    return nullptr;
}

void Activate(HWND hwnd, MenuBarState& bar, int index) {
    BarItem item = bar.items[static_cast<std::size_t>(index)];
    if (item.isMenu) {
        HMENU popup = GetSubMenu(bar.menu, item.popup);
        POINT at{item.rect.left, 0};
        ClientToScreen(hwnd, &at);
        if (popup != nullptr)
            TrackPopupMenuEx(popup, TPM_LEFTALIGN | TPM_BOTTOMALIGN, at.x, at.y, bar.owner,
                             nullptr);
    } else if (item.enabled) {
        SendMessageW(bar.owner, WM_COMMAND, MAKEWPARAM(item.command, 0),
                     reinterpret_cast<LPARAM>(hwnd));
    }
}

}  // namespace

std::shared_ptr<const Image> GreyedImage(const Image& image) {
    auto grey = std::make_shared<Image>(image);
    for (std::size_t i = 0; i + 3 < grey->rgba.size(); i += 4) {
        int level = (grey->rgba[i] + grey->rgba[i + 1] + grey->rgba[i + 2]) / 3;
        BYTE value = static_cast<BYTE>(128 + level / 2);
        if (RGB(image.rgba[i], image.rgba[i + 1], image.rgba[i + 2]) == kButtonTransparent)
            value = GetRValue(kButtonTransparent);
        else if (value == GetRValue(kButtonTransparent))
            --value;
        grey->rgba[i] = grey->rgba[i + 1] = grey->rgba[i + 2] = value;
    }
    return grey;
}

LRESULT MenuBarProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    MenuBarState* bar = BarOf(hwnd);
    if (bar == nullptr)
        return DefWindowProcW(hwnd, message, wParam, lParam);
    if (std::optional<LRESULT> answer =
            AnswerBarMessage(*bar, message, wParam, lParam,
                             [](const MenuBarState& b, POINT p) { return ItemAt(b, p); }))
        return *answer;
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
        case WM_LBUTTONDBLCLK: {
            int at = ItemAt(*bar, {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
            if (at < 0)
                return 0;
            if (bar->items[static_cast<std::size_t>(at)].isMenu) {
                bar->pressed = at;
                InvalidateRect(hwnd, nullptr, FALSE);
                UpdateWindow(hwnd);
                Activate(hwnd, *bar, at);
                if ((bar = BarOf(hwnd)) != nullptr) {
                    bar->pressed = -1;
                    InvalidateRect(hwnd, nullptr, FALSE);
                }
                return 0;
            }
            // A button held shows its tip and sends nothing.
            POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
            std::u16string tip = bar->items[static_cast<std::size_t>(at)].tip;
            if (message == WM_LBUTTONDOWN && !tip.empty() &&
                CurrentBackend().IsTapAndHold(hwnd, point)) {
                if ((bar = BarOf(hwnd)) == nullptr)
                    return 0;
                const RECT& r = bar->items[static_cast<std::size_t>(at)].rect;
                POINT above{(r.left + r.right) / 2, r.top};
                ClientToScreen(hwnd, &above);
                bar->tipShown = true;
                CurrentBackend().ShowToolTip(hwnd, above, tip);
                return 0;
            }
            if (bar->items[static_cast<std::size_t>(at)].enabled) {
                bar->pressed = at;
                InvalidateRect(hwnd, nullptr, FALSE);
            }
            return 0;
        }
        case WM_LBUTTONUP: {
            if (std::exchange(bar->tipShown, false))
                CurrentBackend().ShowToolTip(hwnd, {}, u"");
            int pressed = std::exchange(bar->pressed, -1);
            InvalidateRect(hwnd, nullptr, FALSE);
            if (pressed >= 0 &&
                ItemAt(*bar, {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}) == pressed)
                Activate(hwnd, *bar, pressed);
            return 0;
        }
        case TB_ENABLEBUTTON:
        case TB_CHECKBUTTON: {
            BarItem* item = ButtonFor(*bar, static_cast<UINT>(wParam));
            if (item == nullptr)
                return FALSE;
            bool on = LOWORD(static_cast<DWORD>(lParam)) != 0;
            bool& flag = message == TB_ENABLEBUTTON ? item->enabled : item->checked;
            if (flag != on) {
                flag = on;
                InvalidateRect(hwnd, nullptr, FALSE);
            }
            return TRUE;
        }
        case TB_ISBUTTONENABLED:
        case TB_ISBUTTONCHECKED: {
            BarItem* item = ButtonFor(*bar, static_cast<UINT>(wParam));
            if (item == nullptr)
                return FALSE;
            return (message == TB_ISBUTTONENABLED ? item->enabled : item->checked) ? TRUE : FALSE;
        }
        case TB_GETITEMRECT: {
            auto* rect = reinterpret_cast<RECT*>(lParam);
            if (rect == nullptr || wParam >= bar->items.size())
                return FALSE;
            *rect = bar->items[wParam].rect;
            return TRUE;
        }
        default:
            return DefWindowProcW(hwnd, message, wParam, lParam);
    }
}

std::u16string ToolTipAt(HWND window, POINT point) {
    Window* w = Peek(window);
    if (w == nullptr || w->windowClass == nullptr || !w->windowClass->builtIn)
        return {};
    std::u16string tip;
    SendMessageW(window, kToolTipAt, reinterpret_cast<WPARAM>(&tip),
                 reinterpret_cast<LPARAM>(&point));
    return tip;
}

void PlaceMenuBar(HWND owner) {
    Window* w = Peek(owner);
    if (w == nullptr || Peek(w->menuBar) == nullptr)
        return;
    SIZE client = ClientSize(*w);
    MoveWindow(w->menuBar, 0, client.cy, client.cx, w->reservedBottom, TRUE);
}

}  // namespace ce::gui

namespace ce {

BOOL SHCreateMenuBar(SHMENUBARINFO* info) {
    if (info == nullptr || gui::Find(info->hwndParent) == nullptr)
        return FALSE;
    auto bar = std::make_unique<gui::MenuBarState>();
    bar->owner = info->hwndParent;
    if ((info->dwFlags & SHCMBF_EMPTYBAR) == 0) {
        HINSTANCE instance = info->hInstRes;
        if (instance == nullptr)
            return FALSE;
        UINT menuId = info->nToolBarId;
        const MenuBarResource* resource = nullptr;
        if ((info->dwFlags & SHCMBF_HMENU) == 0) {
            resource = instance->FindMenuBar(info->nToolBarId);
            if (resource == nullptr)
                return FALSE;
            menuId = resource->menuId;
        }
        bar->menu = LoadMenuW(instance, MAKEINTRESOURCE(menuId));
        if (bar->menu == nullptr)
            return FALSE;
        if (resource != nullptr) {
            for (const MenuBarItemResource& r : resource->items) {
                gui::BarItem item;
                item.isMenu = r.kind == MenuBarItemResource::Menu;
                item.popup = r.popup;
                item.command = r.command;
                item.image = r.image;
                if (r.tipString != 0) {
                    WCHAR tip[80] = {};
                    if (LoadStringW(instance, r.tipString, tip, 80) > 0)
                        item.tip = WideView(tip, 80);
                }
                if (item.isMenu) {
                    WCHAR caption[64] = {};
                    if (r.text != nullptr)
                        CopyWide(caption, WideView(r.text));
                    else
                        GetMenuStringW(bar->menu, static_cast<UINT>(r.popup), caption, 64,
                                       MF_BYPOSITION);
                    item.caption = WideView(caption);
                }
                bar->items.push_back(item);
            }
        } else {
            for (int i = 0; i < GetMenuItemCount(bar->menu); ++i) {
                gui::BarItem item;
                item.isMenu = true;
                item.popup = i;
                WCHAR caption[64] = {};
                GetMenuStringW(bar->menu, static_cast<UINT>(i), caption, 64, MF_BYPOSITION);
                item.caption = WideView(caption);
                bar->items.push_back(item);
            }
        }
        if (info->nBmpId != 0 && info->cBmpImages > 0) {
            HBITMAP bitmap =
                LoadBitmapW(instance, MAKEINTRESOURCE(static_cast<UINT>(info->nBmpId)));
            if (std::optional<gui::GdiObject> object = gui::ObjectCopy(bitmap);
                object && object->image) {
                bar->images = object->image;
                bar->greyImages = gui::GreyedImage(*object->image);
                // The images are square, side by side; the bar uses the
                // first cBmpImages of them.
                bar->imageWidth = object->image->height;
                bar->imageCount = std::min(
                    info->cBmpImages, object->image->width / std::max(1, object->image->height));
            }
            if (bitmap != nullptr)
                DeleteObject(bitmap);
        }
    }
    gui::Window* owner = gui::Peek(info->hwndParent);
    if (gui::Peek(owner->menuBar) != nullptr)
        DestroyWindow(owner->menuBar);
    owner = gui::Peek(info->hwndParent);
    int height = gui::CurrentBackend().Screen().menuBarHeight;
    owner->reservedBottom = height;
    SIZE client = gui::ClientSize(*owner);
    DWORD style = WS_CHILD | ((info->dwFlags & SHCMBF_HIDDEN) != 0 ? 0 : WS_VISIBLE);
    HWND hwnd = CreateWindowExW(0, gui::kMenuBarClassName, u"", style, 0, client.cy, client.cx,
                                height, info->hwndParent, nullptr, info->hInstRes, nullptr);
    if (hwnd == nullptr)
        return FALSE;
    gui::Peek(hwnd)->control = std::move(bar);
    SendMessageW(hwnd, WM_SIZE, 0, MAKELPARAM(client.cx, height));
    gui::Peek(info->hwndParent)->menuBar = hwnd;
    SendMessageW(info->hwndParent, WM_SIZE, SIZE_RESTORED, MAKELPARAM(client.cx, client.cy));
    info->hwndMB = hwnd;
    return TRUE;
}

HWND SHFindMenuBar(HWND hwnd) {
    gui::Window* w = gui::Peek(hwnd);
    return w != nullptr && gui::Peek(w->menuBar) != nullptr ? w->menuBar : nullptr;
}

BOOL SHInitDialog(SHINITDLGINFO* info) {
    if (info == nullptr || gui::Find(info->hDlg) == nullptr)
        return FALSE;
    gui::Window* w = gui::Peek(info->hDlg);
    if ((info->dwFlags &
         (SHIDIF_SIZEDLGFULLSCREEN | SHIDIF_SIZEDLG | SHIDIF_FULLSCREENNOMENUBAR)) != 0) {
        gui::ScreenMetrics screen = gui::CurrentBackend().Screen();
        MoveWindow(info->hDlg, 0, screen.workAreaTop, screen.width,
                   screen.height - screen.workAreaTop, TRUE);
    }
    bool done = (info->dwFlags & SHIDIF_DONEBUTTON) != 0;
    if (w->doneButton != done) {
        w->doneButton = done;
        gui::NotifyChanged(info->hDlg, gui::ChangedDoneButton);
    }
    return TRUE;
}

bool HasDoneButton(HWND hwnd) {
    gui::Window* w = gui::Peek(hwnd);
    return w != nullptr && w->doneButton;
}

DWORD SHRecognizeGesture(SHRGINFO* info) {
    if (info == nullptr || gui::Find(info->hwndClient) == nullptr)
        return 0;
    return gui::CurrentBackend().IsTapAndHold(info->hwndClient, info->ptDown) ? GN_CONTEXTMENU : 0;
}

BOOL SHHandleWMSettingChange(HWND hwnd, WPARAM, LPARAM, SHACTIVATEINFO*) {
    gui::Window* w = gui::Find(hwnd);
    if (w == nullptr)
        return FALSE;
    if (w->parent == nullptr) {
        gui::ScreenMetrics screen = gui::CurrentBackend().Screen();
        MoveWindow(hwnd, 0, screen.workAreaTop, screen.width, screen.height - screen.workAreaTop,
                   TRUE);
    }
    return TRUE;
}

BOOL SHHandleWMActivate(HWND hwnd, WPARAM, LPARAM, SHACTIVATEINFO*, DWORD) {
    return gui::Find(hwnd) != nullptr ? TRUE : FALSE;
}

BOOL SHSipPreference(HWND, SIPSTATE) {
    return TRUE;
}

BOOL SHInitExtraControls() {
    return TRUE;
}

}  // namespace ce
