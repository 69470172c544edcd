#include "app/Settings.h"

#include <cstring>

#include "app/EditionShell.h"
#include "platform/core/ErrorCodes.h"
#include "platform/core/Text.h"
#include "platform/core/WideFormat.h"
#include "platform/gui/Gdi.h"
#include "platform/registry/Registry.h"
#include "platform/registry/UniqueKey.h"
#include "platform/shell/Shell.h"

namespace app {
namespace {

using namespace ce;

void ReadDword(HKEY key, const WCHAR* name, DWORD& value) {
    DWORD data = 0;
    DWORD size = sizeof data;
    BYTE bytes[4] = {};
    if (RegQueryValueExW(key, name, nullptr, nullptr, bytes, &size) == ERROR_SUCCESS) {
        std::memcpy(&data, bytes, sizeof data);
        value = data;
    }
}

// Of these only the low byte counts.
void ReadFlagByte(HKEY key, const WCHAR* name, bool& value) {
    DWORD data = value ? 1 : 0;
    ReadDword(key, name, data);
    value = (data & 0xFF) != 0;
}

LONG WriteDword(HKEY key, const WCHAR* name, DWORD value) {
    BYTE bytes[4];
    std::memcpy(bytes, &value, sizeof bytes);
    return RegSetValueExW(key, name, 0, REG_DWORD, bytes, sizeof bytes);
}

}  // namespace

HFONT MakeSystemFont(LONG weight) {
    HGDIOBJ stock = GetStockObject(SYSTEM_FONT);
    LOGFONTW font;
    if (stock == nullptr || GetObjectW(stock, sizeof font, &font) != sizeof font)
        return nullptr;
    font.lfWeight = weight;
    return CreateFontIndirectW(&font);
}

Settings::Settings() {
    std::memset(selection, kFreeSlot, sizeof selection);
    doubleTap = shell::DoubleTapDefault() ? 1 : 0;
    FindDocumentsFolder();
    FormatWideInto(scriptName, u"%s\\autobackup.abk", {documentsFolder});
    Load();
    boldFont = MakeSystemFont(FW_BOLD);
    MakeListFont();
}

Settings::~Settings() {
    if (writeOnDestroy_)
        Save();
    if (listFont != nullptr)
        DeleteObject(listFont);
    if (boldFont != nullptr)
        DeleteObject(boldFont);
}

void Settings::FindDocumentsFolder() {
    CopyWide(documentsFolder, u"\\windows");
    LPITEMIDLIST location = nullptr;
    if (SHGetSpecialFolderLocation(nullptr, CSIDL_PERSONAL, &location) != S_OK)
        return;
    WCHAR path[MAX_PATH];
    if (SHGetPathFromIDList(location, path))
        CopyWide(documentsFolder, WideView(path, MAX_PATH));
    IMalloc* allocator = nullptr;
    if (SHGetMalloc(&allocator) == S_OK && allocator != nullptr) {
        allocator->Free(location);
        allocator->Release();
    }
}

void Settings::Load() {
    HKEY key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kSettingsKey, 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return;
    }
    UniqueKey owner(key);
    ReadFlagByte(key, u"ShowSysDb", showSystemDatabases);
    ReadDword(key, u"Sort", sortKey);
    ReadFlagByte(key, u"SortOrder", sortAscending);
    ReadDword(key, u"MatchCase", matchCase);
    ReadDword(key, u"SearchNumProp", searchNumericProperties);
    ReadDword(key, u"Style", style);
    ReadDword(key, u"Bold", boldList);
    DWORD size = sizeof selection;
    BYTE stored[kSelectionSlots];
    if (RegQueryValueExW(key, u"Selection", nullptr, nullptr, stored, &size) == ERROR_SUCCESS) {
        std::memcpy(selection, stored, size);
    }
    ReadDword(key, u"FullRow", fullRow);
    ReadDword(key, u"PromptScript", promptScript);
    ReadDword(key, u"DoubleTap", doubleTap);
    ReadDword(key, u"ShowWarning", showWarning);
    // Stored as UTF-16 text under type REG_DWORD; the type is not looked at.
    BYTE name[MAX_PATH * sizeof(WCHAR)];
    size = sizeof name;
    if (RegQueryValueExW(key, u"ScriptName", nullptr, nullptr, name, &size) == ERROR_SUCCESS) {
        std::u16string text;
        for (DWORD i = 0; i + 1 < size; i += 2) {
            char16_t c = static_cast<char16_t>(name[i] | (name[i + 1] << 8));
            if (c == 0)
                break;
            text.push_back(c);
        }
        CopyWide(scriptName, text);
    }
}

bool Settings::Save() {
    HKEY key;
    DWORD disposition;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, kSettingsKey, 0, u"", 0, KEY_ALL_ACCESS, nullptr, &key,
                        &disposition) != ERROR_SUCCESS) {
        return false;
    }
    UniqueKey owner(key);
    WriteDword(key, u"ShowSysDb", showSystemDatabases ? 1 : 0);
    WriteDword(key, u"Sort", sortKey);
    WriteDword(key, u"SortOrder", sortAscending ? 1 : 0);
    WriteDword(key, u"Style", style);
    WriteDword(key, u"Bold", boldList);
    RegSetValueExW(key, u"Selection", 0, REG_BINARY, selection, sizeof selection);
    WriteDword(key, u"FullRow", fullRow);
    WriteDword(key, u"SearchNumProp", searchNumericProperties);
    WriteDword(key, u"MatchCase", matchCase);
    WriteDword(key, u"PromptScript", promptScript);
    WriteDword(key, u"ShowWarning", showWarning);
    WriteDword(key, u"DoubleTap", doubleTap);
    std::size_t length = WideLengthBounded(scriptName, MAX_PATH - 1);
    BYTE name[MAX_PATH * sizeof(WCHAR)];
    for (std::size_t i = 0; i <= length; ++i) {
        WCHAR c = i < length ? scriptName[i] : 0;
        name[2 * i] = static_cast<BYTE>(c);
        name[2 * i + 1] = static_cast<BYTE>(c >> 8);
    }
    LONG result = RegSetValueExW(key, u"ScriptName", 0, REG_DWORD, name,
                                 static_cast<DWORD>((length + 1) * sizeof(WCHAR)));
    return result == ERROR_SUCCESS;
}

void Settings::MakeListFont() {
    if (listFont != nullptr)
        DeleteObject(listFont);
    listFont = MakeSystemFont(boldList ? FW_BOLD : FW_NORMAL);
}

}  // namespace app
