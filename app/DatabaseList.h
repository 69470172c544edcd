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
// The column of the modified date: the last one (after Type where the
// edition's list has that column).
int DateColumn();

// Builds the list in the main window (while it is created) and fills it.
bool CreateList(HWND mainWindow);
// Refills the list from the object store. The rows the user chose stay
// chosen by name (a database renamed through NoteRenamed under its new
// name); when none of them is left, the row at the first one's place is
// chosen. A list that had nothing chosen (at start) takes the saved
// selection.
void RefreshList();
// The next refill finds the chosen database `from` under the name `to`.
void NoteRenamed(const WCHAR* from, const WCHAR* to);
// Whether a database of that name is in the object store.
bool DatabaseExists(const WCHAR* name);
// Refills the list when the database is no longer in the object store (a
// command on a row that another program deleted).
void RefreshIfGone(const WCHAR* name);
// Refreshes icon, size and date of every selected row.
void UpdateSelectedRows();
void SaveSelection();
// Selects the rows of the saved slots; whether any was selected. A free
// slot (255) selects nothing, even in a list longer than 255 rows.
bool RestoreSelection();
// The first selected row's name; false when no row is selected.
bool SelectedName(WCHAR (&name)[store::kDatabaseNameUnits]);
int SelectedCount();
// Whether exactly one row is selected: the rule of the commands on one database.
bool OneRowSelected();
// Places the list in the main window's client area.
void ResizeList();
// Shares `width` among the columns: size and date as wide as their texts
// and titles need in the list's font, the name the rest.
void SetColumnWidths(int width);
// The same for the list's own width (after a refill, a font change, a resize).
void FitColumns();
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
