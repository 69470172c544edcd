#include "app/ListSorting.h"

#include "app/DatabaseList.h"
#include "app/MenuState.h"
#include "appcore/Application.h"
#include "platform/core/Text.h"
#include "platform/gui/CommCtrl.h"
#include "store/Database.h"
#include "ui/WaitCursor.h"

namespace app {

using namespace ce;
using namespace appcore;

namespace {

constexpr int kTextRoom = 260;

int Sign(std::int64_t value) {
    return value < 0 ? -1 : (value > 0 ? 1 : 0);
}

int Directed(int order, bool ascending) {
    return ascending ? order : -order;
}

std::int64_t LeadingNumber(std::u16string_view text) {
    std::int64_t value = 0;
    for (char16_t c : text) {
        if (c < u'0' || c > u'9')
            break;
        value = value * 10 + (c - u'0');
        if (value > 0x7FFFFFFFFFFFLL)
            break;
    }
    return value;
}

// "9.50KB" is 950: the whole number times 100 plus the hundredths after the
// last ".".
std::int64_t SizeValue(std::u16string_view text) {
    std::size_t dot = text.find_last_of(u'.');
    if (dot == std::u16string_view::npos)
        return LeadingNumber(text) * 100;
    return LeadingNumber(text.substr(0, dot)) * 100 + LeadingNumber(text.substr(dot + 1));
}

std::u16string_view BeforeLastDot(std::u16string_view text) {
    std::size_t dot = text.find_last_of(u'.');
    return dot == std::u16string_view::npos ? text : text.substr(0, dot);
}

bool ModifiedTime(const WCHAR* name, std::uint64_t& time) {
    store::Database database;
    database.SetReportErrors(false);
    CEDBASEINFO info{};
    if (database.Open(name) == INVALID_HANDLE_VALUE || !database.GetInfo(info))
        return false;
    time = (static_cast<std::uint64_t>(info.ftLastModified.dwHighDateTime) << 32) |
           info.ftLastModified.dwLowDateTime;
    return true;
}

int CompareDates(HWND list, int rowA, int rowB, bool ascending) {
    WCHAR a[kTextRoom] = {};
    WCHAR b[kTextRoom] = {};
    ListView_GetItemText(list, rowA, kNameColumn, a, kTextRoom);
    ListView_GetItemText(list, rowB, kNameColumn, b, kTextRoom);
    std::uint64_t timeA = 0;
    std::uint64_t timeB = 0;
    if (!ModifiedTime(a, timeA) || !ModifiedTime(b, timeB))
        return 0;
    int order = timeA < timeB ? -1 : (timeA > timeB ? 1 : 0);
    return Directed(order, ascending);
}

int FindRow(const SortParameters& parameters, LPARAM value) {
    if (parameters.rows != nullptr) {
        auto it = parameters.rows->find(value);
        return it == parameters.rows->end() ? -1 : it->second;
    }
    HWND list = parameters.list;
    LVFINDINFOW find{};
    find.flags = LVFI_PARAM;
    find.lParam = value;
    return ListView_FindItem(list, -1, &find);
}

void Sort(int column) {
    Application& application = App();
    SortParameters parameters;
    parameters.ascending = application.settings->sortAscending;
    parameters.column = column;
    parameters.key = application.settings->sortKey;
    parameters.list = application.list;
    std::unordered_map<LPARAM, int> rows;
    int count = ListView_GetItemCount(application.list);
    rows.reserve(static_cast<std::size_t>(count));
    for (int row = 0; row < count; ++row) {
        LVITEMW item{};
        item.mask = LVIF_PARAM;
        item.iItem = row;
        ListView_GetItem(application.list, &item);
        rows.emplace(item.lParam, row);
    }
    parameters.rows = &rows;
    ListView_SortItems(application.list, &CompareRows, reinterpret_cast<LPARAM>(&parameters));
    InvalidateRect(ListView_GetHeader(application.list), nullptr, TRUE);
}

}  // namespace

int CompareRows(LPARAM a, LPARAM b, LPARAM parameterPointer) {
    const auto& parameters = *reinterpret_cast<const SortParameters*>(parameterPointer);
    if (a == b)
        return 0;
    bool topA = (static_cast<std::uint32_t>(a) & 0x80000000u) != 0;
    bool topB = (static_cast<std::uint32_t>(b) & 0x80000000u) != 0;
    if (topA != topB)
        return topA ? -1 : 1;
    int rowA = FindRow(parameters, a);
    int rowB = FindRow(parameters, b);
    if (rowA == rowB)
        return 0;
    if (parameters.key == kCompareDates)
        return CompareDates(parameters.list, rowA, rowB, parameters.ascending);
    WCHAR textA[kTextRoom] = {};
    WCHAR textB[kTextRoom] = {};
    ListView_GetItemText(parameters.list, rowA, parameters.column, textA, kTextRoom);
    ListView_GetItemText(parameters.list, rowB, parameters.column, textB, kTextRoom);
    std::u16string_view viewA = WideView(textA, kTextRoom);
    std::u16string_view viewB = WideView(textB, kTextRoom);
    switch (parameters.key) {
        case kCompareNames:
        case kCompareNamesToo:
            return Directed(Sign(CompareWideIgnoreCase(BeforeLastDot(viewA), BeforeLastDot(viewB))),
                            parameters.ascending);
        case kCompareSizes:
            return Directed(Sign(SizeValue(viewA) - SizeValue(viewB)), parameters.ascending);
        case kCompareNumbers:
            return Directed(Sign(LeadingNumber(viewA) - LeadingNumber(viewB)),
                            parameters.ascending);
        default:
            return 0;
    }
}

void SortList() {
    DWORD key = App().settings->sortKey;
    Sort(key == kCompareSizes ? 1 : (key == kCompareDates ? 3 : 0));
}

void SortByColumnClick(int column) {
    Settings& settings = *App().settings;
    DWORD key = column == kSizeColumn ? kCompareSizes
                                      : (column == DateColumn() ? kCompareDates : kCompareNames);
    if (key == settings.sortKey)
        settings.sortAscending = !settings.sortAscending;
    settings.sortKey = key;
    {
        ui::WaitCursor wait;
        Sort(column);
    }
    UpdateMenus(nullptr);
}

void ArrangeBy(DWORD key) {
    Settings& settings = *App().settings;
    if (key == settings.sortKey)
        return;
    settings.sortKey = key;
    ui::WaitCursor wait;
    SortList();
}

}  // namespace app
