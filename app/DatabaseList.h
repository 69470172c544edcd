#pragma once
// The main window's list of databases: one row per database with its name,
// size, date and icon; its refill, the selection kept across refills and
// runs, and the list's own gestures (tap, tap-and-hold, Enter).

#include "platform/core/Types.h"
#include "platform/gui/WinTypes.h"
#include "store/Database.h"

namespace app {

using ce::HWND;
using ce::WCHAR;

// Row icons, indexes into both image lists.
inline constexpr int kIconOrdinary = 0;
inline constexpr int kIconSystem = 1;
inline constexpr int kIconUnopenable = 2;
inline constexpr int kIconEmpty = 4;

inline constexpr int kNameColumn = 0;
inline constexpr int kSizeColumn = 1;
inline constexpr int kDateColumn = 2;

// Builds the list in the main window (while it is created) and fills it.
bool CreateList(HWND mainWindow);
// Refills the list from the object store, keeping the selection.
void RefreshList();
// Refreshes icon, size and date of every selected row.
void UpdateSelectedRows();
void SaveSelection();
// Selects the rows of the saved slots; whether any was selected.
bool RestoreSelection();
// The first selected row's name; false when no row is selected.
bool SelectedName(WCHAR (&name)[store::kDatabaseNameUnits]);
int SelectedCount();
// Whether exactly one row is selected: the rule of the commands on one database.
bool OneRowSelected();
// Places the list in the main window's client area.
void ResizeList();
// Sets the columns' widths to their sixteenths of `width`.
void SetColumnWidths(int width);
// Switches the list to a view style (0 large icons, 1 details, 2 small
// icons, 3 list).
void SetListView(ce::DWORD style);
// Applies the settings' list font and full-row selection.
void ApplyListAppearance();
// Releases the image lists.
void ReleaseListImages();

// The icon of a database by the rule table: system, empty, unopenable,
// ordinary (tested in that order).
int RowIcon(const WCHAR* name, const ce::CEDBASEINFO& info);

}  // namespace app
