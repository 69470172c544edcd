#pragma once
// Inside the list view: its items and state, and what its parts share. The
// parts are the layout (ListViewLayout, pure geometry), the items and
// columns (ListViewItems.cpp), painting (ListViewPainting.cpp), input and
// selection (ListViewInput.cpp) and the messages (ListViewMessages.cpp).
//
// Every part works on a ListView&, taken once per message from the window.
// The window system keeps a window's memory until its procedure returns, so
// the reference stays good when the parent destroys the list while the list
// tells it of something: what the list does after that reaches no window
// (every call on its handle fails), and it returns.

#include <string>
#include <vector>

#include "platform/gui/controls/ListViewLayout.h"
#include "platform/gui/windowing/WindowSystem.h"

namespace ce::gui {

struct ListItem {
    std::vector<std::u16string> texts;  // by subitem
    int image = 0;
    UINT state = 0;
    LPARAM lParam = 0;
};

struct ListView : ControlState {
    HWND hwnd = nullptr;
    std::vector<ListItem> items;
    std::vector<int> columnSubItems;
    HWND header = nullptr;
    HWND edit = nullptr;
    int editItem = -1;
    HIMAGELIST normal = nullptr;
    HIMAGELIST small = nullptr;
    HIMAGELIST stateImages = nullptr;
    DWORD exStyle = 0;
    int top = 0;  // the scroll position (ListLayout)
    int selectionMark = -1;
    int editCandidate = -1;
    bool clickPending = false;

    int Count() const { return static_cast<int>(items.size()); }
    bool Valid(int i) const { return i >= 0 && i < Count(); }
    ListItem& Item(int i) { return items[static_cast<std::size_t>(i)]; }
};

inline constexpr UINT kEditTimer = 0x7E01;
inline constexpr UINT kEditDelay = 500;
inline constexpr int kWheelRows = 3;

// ---- ListViewItems.cpp ----
const std::u16string& TextOf(const ListItem& item, int subItem);
void SetText(ListItem& item, int subItem, std::u16string_view text);
int TextWidth(HWND hwnd, std::u16string_view text);
DWORD ViewOf(const ListView& lv);
bool HasStyle(const ListView& lv, DWORD style);
// The layout of the list as its window, font, images and header now are.
ListLayout MakeLayout(const ListView& lv);
void Redraw(const ListView& lv);
// Tells the parent of something that happened to an item.
void NotifyItem(ListView& lv, UINT code, int item, POINT at);
LRESULT InsertItem(ListView& lv, const LVITEMW* in);
LRESULT DeleteItem(ListView& lv, int i);
LRESULT DeleteAllItems(ListView& lv);
LRESULT SortItems(ListView& lv, LPARAM parameter, PFNLVCOMPARE compare);
LRESULT FindItem(const ListView& lv, int start, const LVFINDINFOW* info);
void CopyItemOut(const ListItem& item, LVITEMW* out);
// Keeps the header along the top of a report view and hides it otherwise.
void LayoutHeader(ListView& lv);
// LVM_INSERTCOLUMNW, LVM_DELETECOLUMN, LVM_GETCOLUMNW, LVM_SETCOLUMNW,
// LVM_GETCOLUMNWIDTH and LVM_SETCOLUMNWIDTH.
LRESULT ColumnMessage(ListView& lv, UINT message, WPARAM wParam, LPARAM lParam);

// ---- ListViewPainting.cpp ----
void Paint(ListView& lv);

// ---- ListViewInput.cpp ----
// Changes item states with their notifications; item -1 is every item.
void SetItemState(ListView& lv, int i, UINT state, UINT mask);
void EnsureVisible(ListView& lv, int i);
void Scroll(ListView& lv, int amount);
void PenDown(ListView& lv, LPARAM lParam, WPARAM keys, bool doubleClick);
void PenUp(ListView& lv, LPARAM lParam);
void RightPenDown(ListView& lv, LPARAM lParam);
void KeyDown(ListView& lv, WPARAM key);
// In-place label editing with an edit child.
HWND EditLabel(ListView& lv, int i);
void EndEdit(ListView& lv, bool keep);
// The edit timer: a second tap on the focused item's label starts editing.
void EditTimerFired(ListView& lv);

}  // namespace ce::gui
