#include "appcore/Settings.h"

#include <cstring>

#include "appcore/EditionShell.h"
#include "platform/core/ErrorCodes.h"
#include "platform/core/Text.h"
#include "platform/core/WideFormat.h"
#include "platform/gui/Gdi.h"
#include "platform/registry/Registry.h"
#include "platform/registry/UniqueKey.h"
#include "platform/shell/Shell.h"

namespace appcore {
namespace {

using namespace ce;

constexpr StoredSetting kStored[] = {
    {u"ShowSysDb", SettingKind::Flag, &Settings::showSystemDatabases},
    {u"Sort", SettingKind::Number, nullptr, &Settings::sortKey},
    {u"SortOrder", SettingKind::Flag, &Settings::sortAscending},
    {u"Style", SettingKind::Number, nullptr, &Settings::style},
    {u"Bold", SettingKind::Number, nullptr, &Settings::boldList},
    {u"Selection", SettingKind::Selection},
    {u"FullRow", SettingKind::Number, nullptr, &Settings::fullRow},
    {u"SearchNumProp", SettingKind::Number, nullptr, &Settings::searchNumericProperties},
    {u"MatchCase", SettingKind::Number, nullptr, &Settings::matchCase},
    {u"PromptScript", SettingKind::Number, nullptr, &Settings::promptScript},
    {u"ShowWarning", SettingKind::Number, nullptr, &Settings::showWarning},
    {u"DoubleTap", SettingKind::Number, nullptr, &Settings::doubleTap},
    {u"ScriptName", SettingKind::Text},
};

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

void ReadSelection(HKEY key, const WCHAR* name, BYTE (&selection)[kSelectionSlots]) {
    DWORD size = sizeof selection;
    BYTE stored[kSelectionSlots];
    if (RegQueryValueExW(key, name, nullptr, nullptr, stored, &size) == ERROR_SUCCESS)
        std::memcpy(selection, stored, size);
}

void ReadText(HKEY key, const WCHAR* name, WCHAR (&text)[MAX_PATH]) {
    BYTE bytes[MAX_PATH * sizeof(WCHAR)];
    DWORD size = sizeof bytes;
    if (RegQueryValueExW(key, name, nullptr, nullptr, bytes, &size) != ERROR_SUCCESS)
        return;
    std::u16string read;
    for (DWORD i = 0; i + 1 < size; i += 2) {
        char16_t c = static_cast<char16_t>(bytes[i] | (bytes[i + 1] << 8));
        if (c == 0)
            break;
        read.push_back(c);
    }
    CopyWide(text, read);
}

LONG WriteDword(HKEY key, const WCHAR* name, DWORD value) {
    BYTE bytes[4];
    std::memcpy(bytes, &value, sizeof bytes);
    return RegSetValueExW(key, name, 0, REG_DWORD, bytes, sizeof bytes);
}

LONG WriteText(HKEY key, const WCHAR* name, const WCHAR (&text)[MAX_PATH]) {
    std::size_t length = WideLengthBounded(text, MAX_PATH - 1);
    BYTE bytes[MAX_PATH * sizeof(WCHAR)];
    for (std::size_t i = 0; i <= length; ++i) {
        WCHAR c = i < length ? text[i] : 0;
        bytes[2 * i] = static_cast<BYTE>(c);
        bytes[2 * i + 1] = static_cast<BYTE>(c >> 8);
    }
    return RegSetValueExW(key, name, 0, REG_DWORD, bytes,
                          static_cast<DWORD>((length + 1) * sizeof(WCHAR)));
}

}  // namespace

std::span<const StoredSetting> StoredSettings() {
    return kStored;
}

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
    doubleTap = Shell().DoubleTapDefault() ? 1 : 0;
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
    for (const StoredSetting& stored : kStored) {
        switch (stored.kind) {
            case SettingKind::Flag:
                ReadFlagByte(key, stored.name, this->*stored.flag);
                break;
            case SettingKind::Number:
                ReadDword(key, stored.name, this->*stored.number);
                break;
            case SettingKind::Selection:
                ReadSelection(key, stored.name, selection);
                break;
            case SettingKind::Text:
                ReadText(key, stored.name, scriptName);
                break;
        }
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
    LONG textWritten = ERROR_SUCCESS;
    for (const StoredSetting& stored : kStored) {
        switch (stored.kind) {
            case SettingKind::Flag:
                WriteDword(key, stored.name, this->*stored.flag ? 1 : 0);
                break;
            case SettingKind::Number:
                WriteDword(key, stored.name, this->*stored.number);
                break;
            case SettingKind::Selection:
                RegSetValueExW(key, stored.name, 0, REG_BINARY, selection, sizeof selection);
                break;
            case SettingKind::Text:
                textWritten = WriteText(key, stored.name, scriptName);
                break;
        }
    }
    return textWritten == ERROR_SUCCESS;
}

void Settings::MakeListFont() {
    if (listFont != nullptr)
        DeleteObject(listFont);
    listFont = MakeSystemFont(boldList ? FW_BOLD : FW_NORMAL);
}

}  // namespace appcore
