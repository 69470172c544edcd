#include "app/DatabaseList.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "app/HeaderDrawing.h"
#include "app/ListSorting.h"
#include "appcore/Application.h"
#include "appcore/EditionShell.h"
#include "platform/core/ErrorCodes.h"
#include "platform/core/Handles.h"
#include "platform/core/LastError.h"
#include "platform/core/Text.h"
#include "platform/core/UniqueResource.h"
#include "platform/gui/CommCtrl.h"
#include "platform/gui/Gdi.h"
#include "platform/gui/Resources.h"
#include "platform/gui/ShellUi.h"
#include "platform/objectstore/ObjectStore.h"
#include "resources/ControlIds.h"
#include "resources/DialogIds.h"
#include "resources/StringIds.h"
#include "store/Database.h"
#include "store/Formatting.h"
#include "ui/MessageBoxes.h"
#include "ui/WaitCursor.h"

namespace app {

using namespace ce;
using namespace appcore;

namespace {

HWND List() {
    return App().list;
}

std::span<const ListColumn> Columns() {
    return Shell().DatabaseListColumns();
}

int ColumnShowing(ListColumnContent content) {
    std::span<const ListColumn> columns = Columns();
    for (std::size_t i = 0; i < columns.size(); ++i) {
        if (columns[i].content == content)
            return static_cast<int>(i);
    }
    return -1;
}

DWORD ViewOf(DWORD style) {
    switch (style) {
        case kLargeIcons:
            return LVS_ICON;
        case kSmallIcons:
            return LVS_SMALLICON;
        case kList:
            return LVS_LIST;
        default:
            return LVS_REPORT;
    }
}

void SetRowTexts(int row, const CEDBASEINFO& info) {
    std::u16string size = store::SizeText(static_cast<std::int32_t>(info.dwSize));
    ListView_SetItemText(List(), row, kSizeColumn, size.c_str());
    if (int type = ColumnShowing(ListColumnContent::Type); type >= 0) {
        bool system = info.szDbaseName[0] == u'\\';
        std::u16string text = ui::LoadText(system ? res::IDS_TYPE_SYSTEM : res::IDS_TYPE_DATABASE);
        ListView_SetItemText(List(), row, type, text.c_str());
    }
    store::DateTime date = store::DateTime::FromFileTime(info.ftLastModified);
    std::u16string when = date.ShortDate();
    if (Columns()[static_cast<std::size_t>(DateColumn())].content ==
        ListColumnContent::ModifiedDateAndTime) {
        when += u' ';
        when += date.TimeText(false);
    }
    ListView_SetItemText(List(), row, DateColumn(), when.c_str());
}

void SetRowIcon(int row, int icon) {
    LVITEMW item{};
    item.mask = LVIF_IMAGE;
    item.iItem = row;
    item.iImage = icon;
    ListView_SetItem(List(), &item);
}

void InsertRow(int position, const CEDBASEINFO& info) {
    WCHAR name[store::kDatabaseNameUnits] = {};
    CopyWide(name, WideView(info.szDbaseName, store::kDatabaseNameUnits));
    LVITEMW item{};
    item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM;
    item.iItem = position;
    item.pszText = name;
    item.iImage = RowIcon(name, info);
    item.lParam = position;
    int row = ListView_InsertItem(List(), &item);
    if (row >= 0)
        SetRowTexts(row, info);
}

void FillRows() {
    bool showSystem = App().settings->showSystemDatabases;
    UniqueHandle enumeration(CeFindFirstDatabase(0));
    if (!enumeration)
        return;
    int position = 0;
    for (CEOID oid = CeFindNextDatabase(enumeration.get()); oid != 0;
         oid = CeFindNextDatabase(enumeration.get())) {
        CEOIDINFO info{};
        if (!CeOidGetInfo(oid, &info) || info.wObjType != OBJTYPE_DATABASE)
            continue;
        if (info.infDatabase.szDbaseName[0] == u'\\' && !showSystem)
            continue;
        InsertRow(position++, info.infDatabase);
    }
}

HIMAGELIST LoadImages(UINT bitmap, int width, COLORREF transparent) {
    return ImageList_LoadImage(App().instance, MAKEINTRESOURCE(bitmap), width, 0, transparent,
                               IMAGE_BITMAP, 0);
}

void OpenContextMenu(POINT point) {
    HMENU menu = LoadMenuW(App().instance, MAKEINTRESOURCE(Shell().ListMenuId()));
    if (menu == nullptr)
        return;
    ClientToScreen(List(), &point);
    TrackPopupMenu(GetSubMenu(menu, 0), TPM_LEFTALIGN, point.x, point.y, 0, App().mainWindow,
                   nullptr);
    DestroyMenu(menu);
}

void PostViewModify() {
    PostMessageW(App().mainWindow, WM_COMMAND, MAKEWPARAM(res::IDM_VIEW_MODIFY, 0), 0);
}

// The list's window procedure in front of its own.
LRESULT ListProcedure(HWND list, UINT message, WPARAM wParam, LPARAM lParam) {
    Application& application = App();
    switch (message) {
        case WM_DRAWITEM: {
            auto* request = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
            if (request != nullptr && request->CtlType == ODT_HEADER && application.settings) {
                DrawHeaderItem(request, application.settings->sortKey,
                               application.settings->sortAscending);
                return TRUE;
            }
            break;
        }
        case WM_KEYDOWN:
            if (wParam == VK_RETURN) {
                PostViewModify();
                return 0;
            }
            break;
        case WM_RBUTTONDOWN:
            // A desktop's right button: the row is selected and its menu opens.
            CallWindowProcW(application.listProcedure, list, message, wParam, lParam);
            OpenContextMenu({GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
            return 0;
        case WM_LBUTTONDOWN: {
            SHRGINFO gesture{};
            gesture.cbSize = sizeof gesture;
            gesture.hwndClient = list;
            gesture.ptDown = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
            gesture.dwFlags = SHRG_RETURNCMD;
            if (SHRecognizeGesture(&gesture) == GN_CONTEXTMENU) {
                PostMessageW(list, WM_LBUTTONUP, 0, lParam);
                CallWindowProcW(application.listProcedure, list, message, wParam, lParam);
                OpenContextMenu(gesture.ptDown);
                return 0;
            }
            LRESULT result =
                CallWindowProcW(application.listProcedure, list, message, wParam, lParam);
            if (application.settings != nullptr && application.settings->doubleTap == 0)
                PostViewModify();
            return result;
        }
        default:
            break;
    }
    return CallWindowProcW(application.listProcedure, list, message, wParam, lParam);
}

// The width a column needs to show its title (with the sort mark) and
// every row's text whole, in the list's font.
int NeededWidth(int column) {
    HWND list = List();
    // The header draws a blank before its text and two after, past the mark.
    int blank = ListView_GetStringWidth(list, u" ");
    int mark = App().highResolution ? 20 : 10;
    std::u16string title = ui::LoadText(Columns()[static_cast<std::size_t>(column)].title);
    int needed = 2 + mark + 2 + 3 * blank + ListView_GetStringWidth(list, title.c_str()) + 2;
    // A cell keeps 6 pixels free on either side.
    WCHAR text[64];
    for (int row = 0; row < ListView_GetItemCount(list); ++row) {
        ListView_GetItemText(list, row, column, text, 64);
        needed = std::max(needed, ListView_GetStringWidth(list, text) + 12);
    }
    return needed;
}

// The rows the user chose, by name: a refill keeps them whatever moved.
struct ChosenRows {
    std::vector<std::u16string> names;
    std::u16string focused;
};

// A rename waiting for the next refill, so that the chosen row keeps
// being chosen under its new name.
std::pair<std::u16string, std::u16string>& PendingRename() {
    static std::pair<std::u16string, std::u16string> renamed;
    return renamed;
}

std::u16string RowName(int row) {
    WCHAR name[store::kDatabaseNameUnits] = {};
    ListView_GetItemText(List(), row, kNameColumn, name, store::kDatabaseNameUnits);
    return std::u16string(WideView(name, store::kDatabaseNameUnits));
}

ChosenRows RowsTheUserChose() {
    ChosenRows chosen;
    HWND list = List();
    for (int row = ListView_GetNextItem(list, -1, LVNI_SELECTED); row >= 0;
         row = ListView_GetNextItem(list, row, LVNI_SELECTED))
        chosen.names.push_back(RowName(row));
    int focused = ListView_GetNextItem(list, -1, LVNI_FOCUSED);
    if (focused >= 0)
        chosen.focused = RowName(focused);
    auto [from, to] = std::exchange(PendingRename(), {});
    if (!from.empty()) {
        std::replace(chosen.names.begin(), chosen.names.end(), from, to);
        if (chosen.focused == from)
            chosen.focused = to;
    }
    return chosen;
}

bool SelectByName(const ChosenRows& chosen) {
    HWND list = List();
    bool any = false;
    for (int row = 0; row < ListView_GetItemCount(list); ++row) {
        if (std::find(chosen.names.begin(), chosen.names.end(), RowName(row)) !=
            chosen.names.end()) {
            ListView_SetItemState(list, row, LVIS_SELECTED, LVIS_SELECTED);
            any = true;
        }
    }
    return any;
}

// The keyboard cursor on the row that had it when that row is still
// selected, else on the first selected row.
void FocusSelection(const std::u16string& focused) {
    HWND list = List();
    int target = ListView_GetNextItem(list, -1, LVNI_SELECTED);
    for (int row = target; row >= 0; row = ListView_GetNextItem(list, row, LVNI_SELECTED)) {
        if (RowName(row) == focused) {
            target = row;
            break;
        }
    }
    if (target < 0)
        return;
    ListView_SetItemState(list, target, LVIS_FOCUSED, LVIS_FOCUSED);
    ListView_EnsureVisible(list, target, FALSE);
}

bool NothingSaved() {
    const auto& slots = App().settings->selection;
    return std::all_of(std::begin(slots), std::end(slots),
                       [](BYTE slot) { return slot == kFreeSlot; });
}

}  // namespace

int DateColumn() {
    int date = ColumnShowing(ListColumnContent::ModifiedDateAndTime);
    return date >= 0 ? date : ColumnShowing(ListColumnContent::ModifiedDate);
}

int RowIcon(const WCHAR* name, const CEDBASEINFO& info) {
    if (name[0] == u'\\')
        return kIconSystem;
    if (info.wNumRecords == 0)
        return kIconEmpty;
    CEOID oid = 0;
    UniqueHandle handle(CeOpenDatabase(&oid, name, 0, 0, nullptr));
    return handle ? kIconOrdinary : kIconUnopenable;
}

bool CreateList(HWND mainWindow) {
    Application& application = App();
    INITCOMMONCONTROLSEX controls{
        sizeof(INITCOMMONCONTROLSEX),
        ICC_LISTVIEW_CLASSES | ICC_DATE_CLASSES | ICC_BAR_CLASSES | ICC_COOL_CLASSES};
    InitCommonControlsEx(&controls);
    RECT client{};
    GetClientRect(mainWindow, &client);
    HWND list =
        CreateWindowExW(0, WC_LISTVIEWW, u"",
                        WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_EDITLABELS | LVS_SHOWSELALWAYS, 0,
                        application.topOffset + 1, client.right,
                        std::max<LONG>(0, client.bottom - application.topOffset - 1), mainWindow,
                        reinterpret_cast<HMENU>(std::uintptr_t{res::IDC_DATABASE_LIST}),
                        application.instance, nullptr);
    if (list == nullptr)
        return false;
    application.list = list;
    ApplyListAppearance();
    application.listProcedure = reinterpret_cast<WNDPROC>(
        SetWindowLongW(list, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(&ListProcedure)));

    bool large = application.highResolution;
    application.largeImages = LoadImages(large ? res::IDB_ICONS_LARGE : res::IDB_ICONS,
                                         large ? 64 : 32, RGB(192, 192, 192));
    application.smallImages = LoadImages(large ? res::IDB_ICONS : res::IDB_ICONS_SMALL,
                                         large ? 32 : 16, RGB(192, 192, 192));
    application.headerImages = LoadImages(large ? res::IDB_SORT_MARKS_LARGE : res::IDB_SORT_MARKS,
                                          large ? 20 : 10, RGB(255, 255, 255));
    ListView_SetImageList(list, application.largeImages, LVSIL_NORMAL);
    ListView_SetImageList(list, application.smallImages, LVSIL_SMALL);
    HWND header = ListView_GetHeader(list);
    Header_SetImageList(header, application.headerImages);

    int unit = GetSystemMetrics(SM_CXSCREEN) / 16;
    std::span<const ListColumn> columns = Columns();
    for (int column = 0; column < static_cast<int>(columns.size()); ++column) {
        const ListColumn& shown = columns[static_cast<std::size_t>(column)];
        std::u16string title = ui::LoadText(shown.title);
        LVCOLUMNW c{};
        c.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
        c.fmt = LVCFMT_LEFT;
        c.cx = unit * shown.weight;
        c.pszText = title.data();
        c.iSubItem = column;
        ListView_InsertColumn(list, column, &c);
    }
    for (int column = 0; column < Header_GetItemCount(header); ++column) {
        HDITEMW item{};
        item.mask = HDI_FORMAT;
        Header_GetItem(header, column, &item);
        item.fmt |= HDF_OWNERDRAW;
        Header_SetItem(header, column, &item);
    }
    if (application.settings->style != kDetails)
        SetListView(application.settings->style);
    RefreshList();
    return true;
}

void SetColumnWidths(int width) {
    HWND list = List();
    if (list == nullptr)
        return;
    // The scroll bar covers the right edge while the rows overflow the page.
    if (ListView_GetItemCount(list) > ListView_GetCountPerPage(list))
        width -= GetSystemMetrics(SM_CXVSCROLL);
    int unit = width / 16;
    // The name takes the rest, and keeps a share of its own however wide the others are.
    int others = 0;
    int count = static_cast<int>(Columns().size());
    for (int column = kNameColumn + 1; column < count; ++column) {
        int needed = NeededWidth(column);
        ListView_SetColumnWidth(list, column, needed);
        others += needed;
    }
    ListView_SetColumnWidth(list, kNameColumn, std::max(width - others, unit * 5));
}

void FitColumns() {
    RECT client{};
    if (List() != nullptr && GetClientRect(List(), &client) && client.right > 1)
        SetColumnWidths(client.right);
}

void ApplyListAppearance() {
    Application& application = App();
    if (application.list == nullptr || !application.settings)
        return;
    DWORD extended = ListView_GetExtendedListViewStyle(application.list);
    if (application.settings->fullRow != 0)
        extended |= LVS_EX_FULLROWSELECT;
    else
        extended &= ~LVS_EX_FULLROWSELECT;
    ListView_SetExtendedListViewStyle(application.list, extended);
    if (application.settings->listFont != nullptr)
        SendMessageW(application.list, WM_SETFONT,
                     reinterpret_cast<WPARAM>(application.settings->listFont), TRUE);
    FitColumns();
}

void SetListView(DWORD style) {
    HWND list = List();
    LONG_PTR current = GetWindowLongW(list, GWL_STYLE);
    SetWindowLongW(list, GWL_STYLE,
                   (current & ~static_cast<LONG_PTR>(LVS_TYPEMASK)) | ViewOf(style));
}

void RefreshList() {
    HWND list = List();
    if (list == nullptr)
        return;
    {
        ui::WaitCursor wait;
        SendMessageW(list, WM_SETREDRAW, FALSE, 0);
        int remembered = std::max(0, ListView_GetNextItem(list, -1, LVNI_SELECTED));
        int top = ListView_GetTopIndex(list);
        ChosenRows chosen = RowsTheUserChose();
        ListView_DeleteAllItems(list);
        FillRows();
        SortList();
        FitColumns();
        int count = ListView_GetItemCount(list);
        bool kept = !chosen.names.empty() ? SelectByName(chosen) : RestoreSelection();
        if (kept) {
            int last = std::min(count - 1, top + ListView_GetCountPerPage(list) - 1);
            if (last >= 0)
                ListView_EnsureVisible(list, last, FALSE);
            FocusSelection(chosen.focused);
        } else if (count > 0 && (!chosen.names.empty() || NothingSaved())) {
            // The chosen rows are gone (or nothing was ever chosen): the row
            // at the same place, never a saved position that no longer fits.
            int row = std::min(remembered, count - 1);
            ListView_SetItemState(list, row, LVIS_SELECTED | LVIS_FOCUSED,
                                  LVIS_SELECTED | LVIS_FOCUSED);
            ListView_EnsureVisible(list, std::min(top, count - 1), FALSE);
            ListView_EnsureVisible(list, row, FALSE);
        }
    }
    SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
    SetFocus(list);
}

void NoteRenamed(const WCHAR* from, const WCHAR* to) {
    PendingRename() = {std::u16string(WideView(from, store::kDatabaseNameUnits)),
                       std::u16string(WideView(to, store::kDatabaseNameUnits))};
}

bool DatabaseExists(const WCHAR* name) {
    CEOID oid = 0;
    UniqueHandle handle(CeOpenDatabase(&oid, name, 0, 0, nullptr));
    return handle || GetLastError() != ERROR_FILE_NOT_FOUND;
}

void RefreshIfGone(const WCHAR* name) {
    if (!DatabaseExists(name))
        RefreshList();
}

void UpdateSelectedRows() {
    HWND list = List();
    for (int row = ListView_GetNextItem(list, -1, LVNI_SELECTED); row >= 0;
         row = ListView_GetNextItem(list, row, LVNI_SELECTED)) {
        WCHAR name[store::kDatabaseNameUnits] = {};
        ListView_GetItemText(list, row, kNameColumn, name, store::kDatabaseNameUnits);
        store::Database database;
        database.SetReportErrors(false);
        CEDBASEINFO info{};
        if (database.Open(name) == INVALID_HANDLE_VALUE || !database.GetInfo(info))
            continue;
        database.Close();
        SetRowIcon(row, RowIcon(name, info));
        SetRowTexts(row, info);
    }
}

void SaveSelection() {
    Settings& settings = *App().settings;
    std::memset(settings.selection, kFreeSlot, sizeof settings.selection);
    int slot = 0;
    HWND list = List();
    for (int row = ListView_GetNextItem(list, -1, LVNI_SELECTED);
         row >= 0 && slot < kSelectionSlots; row = ListView_GetNextItem(list, row, LVNI_SELECTED)) {
        // A byte tells positions up to 254 from a free slot; later rows are not kept.
        if (row >= kFreeSlot)
            break;
        settings.selection[slot++] = static_cast<BYTE>(row);
    }
}

bool RestoreSelection() {
    HWND list = List();
    int count = ListView_GetItemCount(list);
    bool any = false;
    for (BYTE slot : App().settings->selection) {
        // A free slot is no position, however long the list is.
        if (slot != kFreeSlot && slot < count) {
            ListView_SetItemState(list, slot, LVIS_SELECTED, LVIS_SELECTED);
            any = true;
        }
    }
    return any;
}

bool SelectedName(WCHAR (&name)[store::kDatabaseNameUnits]) {
    name[0] = 0;
    int row = ListView_GetNextItem(List(), -1, LVNI_SELECTED);
    if (row < 0)
        return false;
    ListView_GetItemText(List(), row, kNameColumn, name, store::kDatabaseNameUnits);
    return true;
}

int SelectedCount() {
    return List() != nullptr ? ListView_GetSelectedCount(List()) : 0;
}

bool OneRowSelected() {
    return SelectedCount() == 1;
}

void ResizeList() {
    Application& application = App();
    if (application.list == nullptr)
        return;
    RECT client{};
    GetClientRect(application.mainWindow, &client);
    MoveWindow(application.list, 0, application.topOffset + 1, client.right,
               std::max<LONG>(0, client.bottom - application.topOffset - 1), TRUE);
    FitColumns();
}

void ReleaseListImages() {
    Application& application = App();
    for (HIMAGELIST* images :
         {&application.largeImages, &application.smallImages, &application.headerImages}) {
        if (*images != nullptr)
            ImageList_Destroy(*images);
        *images = nullptr;
    }
}

}  // namespace app
