#pragma once
// The user's preferences, stored under HKEY_CURRENT_USER
// "Software\Corvane\Tessaly\Settings"; the run-time switches of an
// unattended run; and the two fonts the user interface shares.
//
// The constructor reads the registry; the destructor writes it back. Nothing
// is written in between.

#include <span>

#include "platform/core/Types.h"
#include "platform/gui/WinTypes.h"

namespace appcore {

using ce::BOOL;
using ce::BYTE;
using ce::DWORD;
using ce::HFONT;
using ce::WCHAR;

inline constexpr const WCHAR* kSettingsKey = u"Software\\Corvane\\Tessaly\\Settings";
inline constexpr int kSelectionSlots = 250;
inline constexpr BYTE kFreeSlot = 255;

enum SortKey : DWORD { kSortByName = 0, kSortBySize = 1, kSortByDate = 2 };
enum ViewStyle : DWORD { kLargeIcons = 0, kDetails = 1, kSmallIcons = 2, kList = 3 };

class Settings {
public:
    Settings();
    virtual ~Settings();
    Settings(const Settings&) = delete;
    Settings& operator=(const Settings&) = delete;

    // Reads the stored values; a missing key or value keeps the current one.
    void Load();
    // Writes the thirteen stored values; returns whether the text value
    // ("ScriptName", written last) was written.
    bool Save();
    // Releases the list font and makes it again from the bold-list setting.
    void MakeListFont();
    // Whether the destructor writes the registry (an invalid command line
    // ends without writing anything).
    void SetWriteOnDestroy(bool write) { writeOnDestroy_ = write; }

    DWORD sortKey = kSortByName;
    bool sortAscending = true;
    bool showSystemDatabases = false;
    DWORD style = kDetails;
    DWORD boldList = 0;
    HFONT listFont = nullptr;
    HFONT boldFont = nullptr;
    BYTE selection[kSelectionSlots];
    DWORD fullRow = 1;
    WCHAR scriptName[ce::MAX_PATH] = {};
    WCHAR documentsFolder[ce::MAX_PATH] = {};
    DWORD promptScript = 0;
    // Run-time switches of an unattended run; never stored.
    DWORD showDialogs = 1;
    DWORD silent = 0;
    DWORD noProgress = 0;
    DWORD includeSystemDatabases = 0;
    DWORD showWarning = 1;
    DWORD searchNumericProperties = 0;
    DWORD matchCase = 0;
    DWORD doubleTap = 0;

private:
    void FindDocumentsFolder();
    bool writeOnDestroy_ = true;
};

// How a stored value is kept in the registry.
enum class SettingKind {
    // A REG_DWORD of 0 or 1, of which only the low byte counts on reading.
    Flag,
    // A REG_DWORD.
    Number,
    // The selection slots as REG_BINARY, read only when they fit.
    Selection,
    // The script name as UTF-16 text with its terminator, under REG_DWORD
    // (the type is not looked at on reading).
    Text,
};

// One stored value: its name, its kind and the member that holds it (`flag`
// for a Flag, `number` for a Number; Selection and Text have one member each).
struct StoredSetting {
    const WCHAR* name;
    SettingKind kind;
    bool Settings::*flag = nullptr;
    DWORD Settings::*number = nullptr;
};

// The thirteen stored values, in the order they are written.
std::span<const StoredSetting> StoredSettings();

// A font made from the platform's stock system font with the given weight
// (nullptr when the stock font cannot be had).
HFONT MakeSystemFont(ce::LONG weight);

}  // namespace appcore
