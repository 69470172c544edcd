#include "appcore/Settings.h"

#include <gtest/gtest.h>
#include <cstring>

#include "platform/core/ErrorCodes.h"
#include "platform/core/Text.h"
#include "platform/gui/Gdi.h"
#include "platform/registry/Registry.h"
#include "platform/shell/Shell.h"
#include "tests/support/ScriptedSession.h"
#include "tests/support/TempDevice.h"

namespace {

using namespace ce;

class SettingsTest : public ::testing::Test {
protected:
    void TearDown() override { SetSpecialFolderFailureForTests(false, false); }

    void Store(const char16_t* name, DWORD type, std::vector<BYTE> data) {
        HKEY key;
        DWORD disposition;
        ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, appcore::kSettingsKey, 0, u"", 0,
                                  KEY_ALL_ACCESS, nullptr, &key, &disposition),
                  ERROR_SUCCESS);
        ASSERT_EQ(RegSetValueExW(key, name, 0, type, data.data(), static_cast<DWORD>(data.size())),
                  ERROR_SUCCESS);
        RegCloseKey(key);
    }
    void StoreDword(const char16_t* name, DWORD v) {
        Store(name, REG_DWORD, {BYTE(v), BYTE(v >> 8), BYTE(v >> 16), BYTE(v >> 24)});
    }
    // The stored value, or nothing.
    bool Read(const char16_t* name, DWORD& type, std::vector<BYTE>& data) {
        HKEY key;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, appcore::kSettingsKey, 0, KEY_READ, &key) !=
            ERROR_SUCCESS) {
            return false;
        }
        DWORD size = 0;
        LONG rc = RegQueryValueExW(key, name, nullptr, &type, nullptr, &size);
        data.resize(size);
        if (rc == ERROR_SUCCESS)
            rc = RegQueryValueExW(key, name, nullptr, &type, data.data(), &size);
        RegCloseKey(key);
        return rc == ERROR_SUCCESS;
    }

    testing_support::TempDevice device_;
    // The palm-size edition's defaults.
    appcore::ScopedShell shell_{testing_support::MakeShell(testing_support::Edition::Palm)};
};

TEST_F(SettingsTest, DefaultsOnADeviceWithoutTheKey) {
    appcore::Settings settings;
    EXPECT_EQ(settings.style, appcore::kDetails);
    EXPECT_EQ(settings.sortKey, appcore::kSortByName);
    EXPECT_TRUE(settings.sortAscending);
    EXPECT_EQ(settings.fullRow, 1u);
    EXPECT_FALSE(settings.showSystemDatabases);
    EXPECT_EQ(settings.showWarning, 1u);
    EXPECT_EQ(settings.doubleTap, 0u);  // the palm-size edition's default
    EXPECT_EQ(settings.showDialogs, 1u);
    EXPECT_EQ(std::u16string(settings.documentsFolder), u"\\My Documents");
    EXPECT_EQ(std::u16string(settings.scriptName), u"\\My Documents\\autobackup.abk");
    for (BYTE slot : settings.selection)
        ASSERT_EQ(slot, appcore::kFreeSlot);
    ASSERT_NE(settings.listFont, nullptr);
    EXPECT_EQ(FontDescription(settings.listFont)->lfWeight, FW_NORMAL);
    EXPECT_EQ(FontDescription(settings.boldFont)->lfWeight, FW_BOLD);
}

TEST_F(SettingsTest, WithoutADocumentsFolderTheScriptGoesToWindows) {
    SetSpecialFolderFailureForTests(false, true);  // the location works, its path does not
    appcore::Settings a;
    EXPECT_EQ(std::u16string(a.scriptName), u"\\windows\\autobackup.abk");
    SetSpecialFolderFailureForTests(true, false);
    appcore::Settings b;
    EXPECT_EQ(std::u16string(b.documentsFolder), u"\\windows");
}

TEST_F(SettingsTest, TheDestructorWritesAllThirteenValuesInTheirStoredForms) {
    {
        appcore::Settings settings;
        settings.selection[0] = 3;
        settings.selection[1] = 7;
        CopyWide(settings.scriptName, u"\\My Documents\\nightly.abk");
        settings.sortAscending = false;
        settings.silent = 1;  // run-time switches are never stored
    }
    ASSERT_EQ(appcore::StoredSettings().size(), 13u);
    for (const appcore::StoredSetting& stored : appcore::StoredSettings()) {
        std::string name = WideToUtf8(stored.name);
        DWORD type;
        std::vector<BYTE> data;
        ASSERT_TRUE(Read(stored.name, type, data)) << name;
        switch (stored.kind) {
            case appcore::SettingKind::Selection:
                EXPECT_EQ(type, REG_BINARY);
                ASSERT_EQ(data.size(), 250u);
                EXPECT_EQ(data[0], 3);
                EXPECT_EQ(data[1], 7);
                EXPECT_EQ(data[2], 255);
                break;
            case appcore::SettingKind::Text: {
                EXPECT_EQ(type, REG_DWORD) << name;  // text stored under the number type
                std::u16string text = u"\\My Documents\\nightly.abk";
                ASSERT_EQ(data.size(), (text.size() + 1) * 2);
                EXPECT_EQ(data[0], '\\');
                EXPECT_EQ(data[data.size() - 1], 0);
                EXPECT_EQ(data[data.size() - 2], 0);
                break;
            }
            case appcore::SettingKind::Flag:
            case appcore::SettingKind::Number:
                EXPECT_EQ(type, REG_DWORD) << name;
                ASSERT_EQ(data.size(), 4u) << name;
                break;
        }
    }
    DWORD type;
    std::vector<BYTE> data;
    ASSERT_TRUE(Read(u"SortOrder", type, data));
    EXPECT_EQ(data[0], 0);
    EXPECT_FALSE(Read(u"Silent", type, data));
}

TEST_F(SettingsTest, StoredValuesAreReadBackAndOnlyTheLowByteOfFlagsCounts) {
    StoreDword(u"SortOrder", 0);
    StoreDword(u"ShowSysDb", 0x100);  // low byte 0: hidden
    StoreDword(u"Sort", 2);
    StoreDword(u"Style", 0);
    StoreDword(u"Bold", 1);
    std::u16string script = u"/home/me/all.abk";
    std::vector<BYTE> text;
    for (char16_t c : script) {
        text.push_back(BYTE(c));
        text.push_back(BYTE(c >> 8));
    }
    text.push_back(0);
    text.push_back(0);
    Store(u"ScriptName", REG_SZ, text);                          // the type is not looked at
    Store(u"Selection", REG_BINARY, std::vector<BYTE>(251, 1));  // too long: kept default
    appcore::Settings settings;
    EXPECT_FALSE(settings.sortAscending);
    EXPECT_FALSE(settings.showSystemDatabases);
    EXPECT_EQ(settings.sortKey, appcore::kSortByDate);
    EXPECT_EQ(settings.style, appcore::kLargeIcons);
    EXPECT_EQ(FontDescription(settings.listFont)->lfWeight, FW_BOLD);
    EXPECT_EQ(std::u16string(settings.scriptName), script);
    EXPECT_EQ(settings.selection[0], appcore::kFreeSlot);
}

TEST_F(SettingsTest, EveryStoredValueComesBackFromItsOwnName) {
    // Distinct values in every member, none of them a default.
    DWORD next = 100;
    {
        appcore::Settings settings;
        for (const appcore::StoredSetting& stored : appcore::StoredSettings()) {
            if (stored.kind == appcore::SettingKind::Flag)
                settings.*stored.flag = !(settings.*stored.flag);
            else if (stored.kind == appcore::SettingKind::Number)
                settings.*stored.number = next++;
        }
    }
    appcore::Settings settings;
    next = 100;
    EXPECT_FALSE(settings.sortAscending);
    EXPECT_TRUE(settings.showSystemDatabases);
    for (const appcore::StoredSetting& stored : appcore::StoredSettings()) {
        if (stored.kind != appcore::SettingKind::Number)
            continue;
        EXPECT_EQ(settings.*stored.number, next) << WideToUtf8(stored.name);
        DWORD type;
        std::vector<BYTE> data;
        ASSERT_TRUE(Read(stored.name, type, data));
        EXPECT_EQ(data, (std::vector<BYTE>{BYTE(next), 0, 0, 0})) << WideToUtf8(stored.name);
        ++next;
    }
}

TEST_F(SettingsTest, AnOverlongStoredScriptNameIsCutAndTerminated) {
    std::vector<BYTE> text(520, 'a');  // 260 units without a terminator
    for (std::size_t i = 1; i < text.size(); i += 2)
        text[i] = 0;
    Store(u"ScriptName", REG_DWORD, text);
    appcore::Settings settings;
    EXPECT_EQ(WideLengthBounded(settings.scriptName, MAX_PATH), MAX_PATH - 1);
}

TEST_F(SettingsTest, MakeListFontFollowsTheBoldSetting) {
    appcore::Settings settings;
    std::size_t live = LiveGdiObjectCount();
    settings.boldList = 1;
    settings.MakeListFont();
    EXPECT_EQ(FontDescription(settings.listFont)->lfWeight, FW_BOLD);
    settings.boldList = 0;
    settings.MakeListFont();
    EXPECT_EQ(FontDescription(settings.listFont)->lfWeight, FW_NORMAL);
    EXPECT_EQ(LiveGdiObjectCount(), live);  // the old font was released
}

}  // namespace
