// The property list: one item per property of the current record (Type,
// Size and ID columns), sorted by the program-wide column and direction.

#include <unordered_map>

#include "app/HeaderDrawing.h"
#include "app/ListSorting.h"
#include "appcore/Application.h"
#include "editor/EditorState.h"
#include "platform/core/WideFormat.h"
#include "platform/gui/CommCtrl.h"
#include "resources/EditorIds.h"
#include "ui/MessageBoxes.h"
#include "ui/WaitCursor.h"

namespace editor {

using namespace ce;

namespace {

// The property list's sort column and direction, for the program's
// lifetime: a first editor lists by identifier, descending.
DWORD sortKey = app::kCompareNumbers;
bool sortAscending = false;
WNDPROC listProcedure = nullptr;

HWND List(const EditorState& state) {
    return state.list;
}

// The header's owner-drawn items carry the sort mark of the editor's order.
LRESULT ListProcedure(HWND list, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DRAWITEM) {
        const auto* request = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        if (request != nullptr && request->CtlType == ODT_HEADER) {
            app::DrawHeaderItem(request, sortKey, sortAscending);
            return TRUE;
        }
    }
    return CallWindowProcW(listProcedure, list, message, wParam, lParam);
}

int SortColumn() {
    return sortKey == app::kCompareSizes ? 1 : (sortKey == app::kCompareNumbers ? 2 : 0);
}

LPARAM ItemData(HWND list, int item) {
    LVITEMW lv{};
    lv.mask = LVIF_PARAM;
    lv.iItem = item;
    return ListView_GetItem(list, &lv) ? lv.lParam : -1;
}

void SelectItem(HWND list, int item) {
    ListView_SetItemState(list, item, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    ListView_EnsureVisible(list, item, FALSE);
}

int ItemOfProperty(HWND list, WORD index) {
    LVFINDINFOW find{};
    find.flags = LVFI_PARAM;
    find.lParam = index;
    return ListView_FindItem(list, -1, &find);
}

void ShowCounter(EditorState& state) {
    if (state.counterFormat.empty())
        state.counterFormat = ui::LoadText(res::IDS_RECORD_COUNTER);
    std::u16string counter = FormatWide(
        state.counterFormat,
        {static_cast<unsigned>(state.position + 1), static_cast<unsigned>(state.info.wNumRecords)});
    SetWindowTextW(state.counter, counter.c_str());
    InvalidateRect(state.counter, nullptr, TRUE);
}

// Whether the record read has the very properties the list shows, in the
// same order: then every item still stands for the same property.
bool ListsSameProperties(const EditorState& state, HWND list) {
    if (state.recordId == 0 || state.listedIds.size() != state.record.count ||
        ListView_GetItemCount(list) == 0)
        return false;
    for (WORD i = 0; i < state.record.count; ++i) {
        if (state.record.props()[i].propid != state.listedIds[i])
            return false;
    }
    return true;
}

// Notes what the list shows now.
void NoteListed(EditorState& state) {
    state.listedIds.clear();
    state.listedSizes.clear();
    if (state.recordId == 0)
        return;
    for (WORD i = 0; i < state.record.count; ++i) {
        state.listedIds.push_back(state.record.props()[i].propid);
        state.listedSizes.push_back(SizeOf(state.record.props()[i]).value_or(0));
    }
}

// A record of the same properties: the items stay where they are and only
// a changed size is written (and sorted, when the list goes by size); the
// item at the same place, or the one of `select`, is shown again.
void RefreshListedItems(EditorState& state, HWND list, std::optional<CEPROPID> select) {
    bool resort = false;
    for (WORD i = 0; i < state.record.count; ++i) {
        // Only texts and binary values differ in size from record to record.
        const CEPROPVAL& property = state.record.props()[i];
        WORD type = TypeFromPropID(property.propid);
        if (type != CEVT_LPWSTR && type != CEVT_BLOB)
            continue;
        unsigned size = SizeOf(property).value_or(0);
        if (size == state.listedSizes[i])
            continue;
        state.listedSizes[i] = size;
        int item = ItemOfProperty(list, i);
        if (item >= 0)
            ListView_SetItemText(list, item, 1, SizeText(property).c_str());
        resort = resort || sortKey == app::kCompareSizes;
    }
    // As after a refill: the item at the place selected before, unless a
    // property is asked for.
    int selected = ListView_GetNextItem(list, -1, LVNI_SELECTED);
    int position = std::max(0, selected);
    if (resort)
        SortPropertyList(state);
    if (select) {
        for (WORD i = 0; i < state.record.count; ++i) {
            int item = state.record.props()[i].propid == *select ? ItemOfProperty(list, i) : -1;
            if (item >= 0)
                position = item;
        }
    }
    if (resort || select)
        selected = ListView_GetNextItem(list, -1, LVNI_SELECTED);
    state.editedProperty = kNoProperty;
    if (position == selected) {
        // Still selected: no notification comes, so the pane is filled here.
        ShowSelected(state, static_cast<WORD>(ItemData(list, position)));
    } else {
        SelectItem(list, position);
    }
}

}  // namespace

void SetUpPropertyList(EditorState& state) {
    HWND list = List(state);
    RECT client{};
    GetClientRect(list, &client);
    int width = (client.right - client.left) / 3 - GetSystemMetrics(SM_CXVSCROLL) - 1;
    const UINT titles[] = {res::IDS_COLUMN_TYPE, res::IDS_COLUMN_PROPERTY_SIZE, res::IDS_COLUMN_ID};
    for (int column = 0; column < 3; ++column) {
        std::u16string title = ui::LoadText(titles[column]);
        LVCOLUMNW c{};
        c.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
        c.fmt = column == 0 ? LVCFMT_LEFT : LVCFMT_RIGHT;
        c.cx = std::max(width, 16);
        c.pszText = title.data();
        c.iSubItem = column;
        ListView_InsertColumn(list, column, &c);
    }
    ListView_SetExtendedListViewStyle(list, LVS_EX_FULLROWSELECT);
    HWND header = ListView_GetHeader(list);
    Header_SetImageList(header, appcore::App().headerImages);
    for (int column = 0; column < 3; ++column) {
        HDITEMW item{};
        item.mask = HDI_FORMAT;
        Header_GetItem(header, column, &item);
        item.fmt |= HDF_OWNERDRAW;
        Header_SetItem(header, column, &item);
    }
    listProcedure = reinterpret_cast<WNDPROC>(
        SetWindowLongW(list, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(&ListProcedure)));
}

void SortPropertyList(EditorState& state) {
    HWND list = List(state);
    app::SortParameters parameters;
    parameters.ascending = sortAscending;
    parameters.column = SortColumn();
    parameters.key = sortKey;
    parameters.list = list;
    std::unordered_map<LPARAM, int> rows;
    int count = ListView_GetItemCount(list);
    for (int row = 0; row < count; ++row)
        rows.emplace(ItemData(list, row), row);
    parameters.rows = &rows;
    ListView_SortItems(list, &app::CompareRows, reinterpret_cast<LPARAM>(&parameters));
    InvalidateRect(ListView_GetHeader(list), nullptr, TRUE);
}

void OnColumnClick(EditorState& state, int column) {
    DWORD key = column == 1 ? app::kCompareSizes
                            : (column == 2 ? app::kCompareNumbers : app::kCompareNames);
    if (key == sortKey)
        sortAscending = !sortAscending;
    sortKey = key;
    ui::WaitCursor wait;
    SortPropertyList(state);
}

void FillPropertyList(EditorState& state, std::optional<CEPROPID> select) {
    HWND list = List(state);
    state.recordId = state.database->ReadRecord(state.record);
    if (ListsSameProperties(state, list)) {
        RefreshListedItems(state, list, select);
        ShowCounter(state);
        return;
    }
    HideValueControls(state);
    int position = std::max(0, ListView_GetNextItem(list, -1, LVNI_SELECTED));
    SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    state.editedProperty = kNoProperty;
    state.shownPane = Pane::None;
    ListView_DeleteAllItems(list);
    if (state.recordId != 0) {
        int inserted = 0;
        for (WORD i = 0; i < state.record.count; ++i) {
            const CEPROPVAL& property = state.record.props()[i];
            const PropertyType* type = TypeOf(property.propid);
            if (type == nullptr)
                continue;
            LVITEMW item{};
            item.mask = LVIF_TEXT | LVIF_PARAM;
            item.iItem = inserted;
            item.pszText = const_cast<WCHAR*>(type->name);
            item.lParam = i;
            int at = ListView_InsertItem(list, &item);
            std::u16string size = SizeText(property);
            std::u16string id =
                FormatWide(u"%u", {static_cast<unsigned>(NumberOf(property.propid))});
            ListView_SetItemText(list, at, 1, size.c_str());
            ListView_SetItemText(list, at, 2, id.c_str());
            if (select && property.propid == *select)
                position = inserted;
            ++inserted;
        }
    }
    NoteListed(state);
    SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
    int count = ListView_GetItemCount(list);
    state.editedProperty = kNoProperty;
    if (select && position < count) {
        // The matching property (or the item at the old position) is found
        // in insertion order and followed through the sort.
        WORD property = static_cast<WORD>(ItemData(list, position));
        SortPropertyList(state);
        int item = ItemOfProperty(list, property);
        if (item >= 0)
            SelectItem(list, item);
    } else {
        SortPropertyList(state);
        if (count > 0)
            SelectItem(list, std::min(position, count - 1));
    }
    if (count == 0)
        EnableWindow(state.deleteButton, FALSE);
    ShowCounter(state);
}

WORD SelectedProperty(const EditorState& state) {
    HWND list = List(state);
    int item = ListView_GetNextItem(list, -1, LVNI_SELECTED);
    if (item < 0)
        return kNoProperty;
    LPARAM data = ItemData(list, item);
    return data >= 0 && data < state.record.count ? static_cast<WORD>(data) : kNoProperty;
}

void SelectPropertyItem(EditorState& state, CEPROPID id) {
    HWND list = List(state);
    for (WORD i = 0; i < state.record.count; ++i) {
        if (state.record.props()[i].propid != id)
            continue;
        int item = ItemOfProperty(list, i);
        if (item >= 0) {
            SelectItem(list, item);
            SetFocus(list);
        }
        return;
    }
}

void OnSelectionChanged(EditorState& state) {
    WORD index = SelectedProperty(state);
    if (state.Property(index) == nullptr) {
        EnableWindow(state.deleteButton, FALSE);
        return;
    }
    if (index == state.editedProperty)
        return;
    if (state.editedProperty != kNoProperty) {
        WORD left = state.editedProperty;
        state.editedProperty = kNoProperty;
        state.refused = false;
        CEPROPID chosen = state.Property(index)->propid;
        if (SavePendingEdit(state, left, false)) {
            // The refill selects and shows the property chosen, whatever the order.
            FillPropertyList(state, chosen);
            return;
        }
        if (state.refused) {
            // The refused input stays in its field, with its property selected.
            state.editedProperty = left;
            int item = ItemOfProperty(List(state), left);
            if (item >= 0)
                SelectItem(List(state), item);
            return;
        }
    }
    ShowSelected(state, index);
    UpdateCommandStates(state);
}

void ShowSelected(EditorState& state, WORD index) {
    if (state.Property(index) == nullptr) {
        EnableWindow(state.deleteButton, FALSE);
        return;
    }
    ShowValue(state, index);
    EnableWindow(state.deleteButton, TRUE);
    state.editedProperty = index;
}

}  // namespace editor
