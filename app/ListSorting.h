#pragma once
// Sorting the database list: the row comparison (shared with the record
// editor's property list), the sort by the stored key and direction, and
// the header click that reverses the direction of the current key.

#include <unordered_map>

#include "platform/gui/WinTypes.h"

namespace app {

// Keys of CompareRows: the list's three and the record editor's numbers.
inline constexpr ce::DWORD kCompareNames = 0;
inline constexpr ce::DWORD kCompareSizes = 1;
inline constexpr ce::DWORD kCompareDates = 2;
inline constexpr ce::DWORD kCompareNamesToo = 3;
inline constexpr ce::DWORD kCompareNumbers = 4;

struct SortParameters {
    bool ascending = true;
    int column = 0;  // whose texts are compared
    ce::DWORD key = kCompareNames;
    ce::HWND list = nullptr;
    // Rows by item value, made before a sort (the list keeps its rows in
    // place while it sorts); without it rows are searched for.
    const std::unordered_map<ce::LPARAM, int>* rows = nullptr;
};

// The list's sort callback: negative when the row of item value `a` sorts
// before the row of `b`. `parameters` points to SortParameters.
int CompareRows(ce::LPARAM a, ce::LPARAM b, ce::LPARAM parameters);

// Sorts by the stored key and direction and redraws the header's mark.
void SortList();
// A click on a column's header: sorts by its key, reversing the direction
// when it is the current key.
void SortByColumnClick(int column);
// The Arrange commands: sorts by `key` unless it is the current key.
void ArrangeBy(ce::DWORD key);

}  // namespace app
