#pragma once
// Program resources loaded by number: strings, dialog templates, menus,
// menu-bar descriptions, accelerator tables and bitmaps. A program builds one
// module from the common resources and its edition's own, which replace
// common entries of the same number.
//
// Resources are plain data tables compiled into the program (resources/);
// bitmaps are embedded PNG files.

#include <map>
#include <span>
#include <string_view>
#include <vector>

#include "platform/gui/WinTypes.h"

namespace ce {

// Resource names are numbers passed where the platform takes a name.
inline const WCHAR* MAKEINTRESOURCE(UINT id) {
    return reinterpret_cast<const WCHAR*>(static_cast<std::uintptr_t>(id));
}
inline bool IS_INTRESOURCE(const WCHAR* name) {
    return (reinterpret_cast<std::uintptr_t>(name) >> 16) == 0;
}
inline UINT ResourceId(const WCHAR* name) {
    return static_cast<UINT>(reinterpret_cast<std::uintptr_t>(name));
}

struct StringResource {
    UINT id;
    const char16_t* text;
};

// One control of a dialog template; position and size in dialog units.
struct DialogItemResource {
    const char16_t* className;  // u"BUTTON", u"EDIT", u"STATIC", u"SysListView32", ...
    const char16_t* text;
    UINT id;
    short x, y, cx, cy;
    DWORD style;
    DWORD exStyle = 0;
};

struct DialogResource {
    UINT id;
    DWORD style;
    DWORD exStyle;
    short x, y, cx, cy;
    const char16_t* caption;
    const char16_t* fontName;  // nullptr: the system font
    WORD fontPointSize;
    std::vector<DialogItemResource> items;
};

// A menu item: a command, a separator (id 0 and no text), or a popup
// (children not empty). Flags are MF_GRAYED / MF_CHECKED as initial states.
struct MenuItemResource {
    const char16_t* text;
    UINT id;
    UINT flags = 0;
    std::vector<MenuItemResource> children = {};
};

struct MenuResource {
    UINT id;
    std::vector<MenuItemResource> items;  // the top level: usually popups
};

// The palm-size shell's menu bar: menus (popups of a menu resource) and image
// buttons, left to right.
struct MenuBarItemResource {
    enum Kind { Menu, Button } kind;
    int popup;                       // Menu: index of the popup in the bar's menu
    UINT command;                    // Button: the command it sends
    int image;                       // Button: index into the bar's bitmap
    UINT tipString;                  // Button: string id of its tooltip (0: none)
    const char16_t* text = nullptr;  // Menu: the caption; nullptr: the popup's text
    UINT textString = 0;             // Menu: string id of the caption, used when not 0
};

struct MenuBarResource {
    UINT id;
    UINT menuId;
    std::vector<MenuBarItemResource> items;
};

struct AcceleratorEntry {
    BYTE fVirt;  // FVIRTKEY | FCONTROL | FSHIFT | FALT
    WORD key;    // a virtual-key code
    WORD cmd;
};

struct AcceleratorResource {
    UINT id;
    std::vector<AcceleratorEntry> entries;
};

struct BitmapResource {
    UINT id;
    std::span<const BYTE> png;
};

// One picture of an icon: an icon has pictures of several sizes (square,
// `size` pixels across) under one number.
struct IconResource {
    UINT id;
    int size;
    std::span<const BYTE> png;
};

class ResourceModule {
public:
    // Later additions replace earlier entries with the same id. A string
    // added under an id that already holds another text is remembered as a
    // clash (two tables gave one number two meanings); ReplaceStrings is for
    // an edition re-wording texts it shares with the other.
    void AddStrings(std::span<const StringResource> strings);
    void ReplaceStrings(std::span<const StringResource> strings);
    // The ids that AddStrings found already holding a different text.
    const std::vector<UINT>& StringClashes() const { return stringClashes_; }
    void AddDialog(DialogResource dialog);
    void AddMenu(MenuResource menu);
    void AddMenuBar(MenuBarResource bar);
    void AddAccelerators(AcceleratorResource table);
    void AddBitmap(BitmapResource bitmap);
    // A picture of the same size as one the icon has replaces it.
    void AddIcon(IconResource icon);

    // The resource by id, or nullptr when the module has none.
    const char16_t* FindString(UINT id) const;
    const DialogResource* FindDialog(UINT id) const;
    const MenuResource* FindMenu(UINT id) const;
    const MenuBarResource* FindMenuBar(UINT id) const;
    const AcceleratorResource* FindAccelerators(UINT id) const;
    const BitmapResource* FindBitmap(UINT id) const;
    // The icon's picture for `size` pixels: that size, else the smallest
    // larger one, else the largest; nullptr when the module has no such icon.
    const IconResource* FindIcon(UINT id, int size) const;

private:
    std::map<UINT, std::u16string_view> strings_;
    std::vector<UINT> stringClashes_;
    std::map<UINT, DialogResource> dialogs_;
    std::map<UINT, MenuResource> menus_;
    std::map<UINT, MenuBarResource> menuBars_;
    std::map<UINT, AcceleratorResource> accelerators_;
    std::map<UINT, BitmapResource> bitmaps_;
    std::map<UINT, std::map<int, IconResource>> icons_;  // by id, then size
};

// Copies string `id` into `buffer` (cchBufferMax units, truncating, always
// terminated). Returns the units copied without the terminator; 0 when the
// string does not exist.
int LoadStringW(HINSTANCE instance, UINT id, LPWSTR buffer, int cchBufferMax);

}  // namespace ce
