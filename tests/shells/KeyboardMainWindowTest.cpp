// The keyboard edition's main window: its menu band and toolbar band, the
// band sizes kept in the settings key from one start to the next (and a
// stored record that cannot be trusted left alone), the toolbar's commands
// and tips, the menus driven from the keyboard, and the four-column list.

#include <gtest/gtest.h>

#include <vector>

#include "app/MainWindow.h"
#include "appcore/Application.h"
#include "appcore/Settings.h"
#include "platform/core/ErrorCodes.h"
#include "platform/core/Text.h"
#include "platform/gui/CommandBar.h"
#include "platform/gui/NativeEvents.h"
#include "platform/gui/headless/HeadlessBackend.h"
#include "platform/gui/testing/UserInput.h"
#include "platform/registry/Registry.h"
#include "platform/registry/UniqueKey.h"
#include "resources/ControlIds.h"
#include "resources/KeyboardIds.h"
#include "tests/support/ScriptedSession.h"
#include "tests/support/SeedDatabases.h"
#include "tests/support/TempDevice.h"

namespace {

using namespace ce;

struct Expected {
    UINT command;
    std::u16string tip;
};

// The main toolbar's buttons, left to right, as a user reads them.
const std::vector<Expected> kMainButtons = {
    {res::IDM_DELETE, u"Delete Database (Ctrl+D)"},
    {res::IDM_COPY, u"Copy Database (Ctrl+C)"},
    {res::IDM_PROPERTIES, u"Properties (Enter)"},
    {res::IDM_SEND, u"Send Database (Ctrl+S)"},
    {res::IDM_RECEIVE, u"Receive Database (Ctrl+G)"},
    {res::IDM_VIEW_DETAILS, u"Details"},
    {res::IDM_VIEW_LIST, u"List"},
    {res::IDM_VIEW_SMALL_ICONS, u"Small Icons"},
    {res::IDM_KEYBOARD_LARGE_ICONS, u"Large Icons"},
    {res::IDM_BACKUP, u"Backup Database(s) (Ctrl+B)"},
    {res::IDM_KEYBOARD_AUTOBACKUP, u"Autobackup (Ctrl+A)"},
    {res::IDM_RESTORE, u"Restore Database(s) (Ctrl+T)"},
    {res::IDM_EXPORT, u"Export Database (Ctrl+Shift+S)"},
};

std::vector<UINT>& Recorded() {
    static std::vector<UINT> commands;
    return commands;
}

WNDPROC mainProcedure = nullptr;

// Stands in for the dispatcher: records each command and carries none out.
LRESULT RecordCommands(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND) {
        Recorded().push_back(LOWORD(static_cast<DWORD>(wParam)));
        return 0;
    }
    return CallWindowProcW(mainProcedure, window, message, wParam, lParam);
}

class KeyboardMainWindow : public ::testing::Test {
protected:
    KeyboardMainWindow() { app::RegisterMainClass(); }
    ~KeyboardMainWindow() override {
        if (IsWindow(appcore::App().mainWindow))
            DestroyWindow(appcore::App().mainWindow);
    }

    HWND Start() {
        EXPECT_TRUE(app::CreateMainWindow());
        gui::input::PumpMessages();
        return appcore::App().mainWindow;
    }
    void Close() {
        gui::input::RequestClose(appcore::App().mainWindow);
        EXPECT_FALSE(IsWindow(appcore::App().mainWindow));
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        }
    }

    static HWND Strip() { return GetDlgItem(appcore::App().mainWindow, res::IDC_COMMAND_BANDS); }
    static HWND Toolbar() { return CommandBands_GetCommandBar(Strip(), 1); }
    static UINT Width(UINT id) {
        REBARBANDINFOW band{};
        band.cbSize = sizeof band;
        band.fMask = RBBIM_SIZE;
        auto index = SendMessageW(Strip(), RB_IDTOINDEX, id, 0);
        EXPECT_GE(index, 0);
        SendMessageW(Strip(), RB_GETBANDINFOW, static_cast<WPARAM>(index),
                     reinterpret_cast<LPARAM>(&band));
        return band.cx;
    }
    static RECT BandRect(int index) {
        RECT r{};
        SendMessageW(Strip(), RB_GETRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&r));
        return r;
    }
    static LONG ListTop() {
        RECT r{};
        GetWindowRect(appcore::App().list, &r);
        RECT main{};
        GetWindowRect(appcore::App().mainWindow, &main);
        return r.top - main.top;
    }
    static void Drag(POINT from, POINT to) {
        gui::PostPointer(Strip(), WM_LBUTTONDOWN, from, MK_LBUTTON);
        gui::PostPointer(Strip(), WM_MOUSEMOVE, to, MK_LBUTTON);
        gui::PostPointer(Strip(), WM_LBUTTONUP, to, 0);
        gui::input::PumpMessages();
    }

    static std::vector<BYTE> Stored(const WCHAR* name, DWORD* type = nullptr) {
        HKEY key = 0;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, appcore::kSettingsKey, 0, KEY_READ, &key) !=
            ERROR_SUCCESS)
            return {};
        UniqueKey owner(key);
        std::vector<BYTE> bytes(256);
        DWORD size = 256;
        DWORD kind = 0;
        if (RegQueryValueExW(key, name, nullptr, &kind, bytes.data(), &size) != ERROR_SUCCESS)
            return {};
        if (type != nullptr)
            *type = kind;
        bytes.resize(size);
        return bytes;
    }
    static void Store(const WCHAR* name, DWORD type, const std::vector<BYTE>& bytes) {
        HKEY key = 0;
        DWORD disposition = 0;
        ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, appcore::kSettingsKey, 0, u"", 0,
                                  KEY_ALL_ACCESS, nullptr, &key, &disposition),
                  ERROR_SUCCESS);
        UniqueKey owner(key);
        ASSERT_EQ(
            RegSetValueExW(key, name, 0, type, bytes.data(), static_cast<DWORD>(bytes.size())),
            ERROR_SUCCESS);
    }

    testing_support::KeyboardSession session_;
};

TEST_F(KeyboardMainWindow, WithoutStoredValuesTheMenuBandFitsItsMenusAndTheToolbarBandIs60) {
    Start();
    HWND menuBar = CommandBands_GetCommandBar(Strip(), 0);
    EXPECT_EQ(appcore::App().menuBar, menuBar);
    int menus = CommandBar_MenuBarWidth(menuBar);
    EXPECT_GT(menus, 0);
    EXPECT_EQ(Width(res::IDC_MENU_BAND), static_cast<UINT>(menus + 4));
    EXPECT_EQ(Width(res::IDC_TOOLBAR_BAND), 60u);
    EXPECT_EQ(BandRect(1).left, menus + 4);
    auto height = SendMessageW(Strip(), RB_GETBARHEIGHT, 0, 0);
    EXPECT_EQ(ListTop(), height + 1);
    EXPECT_EQ(appcore::App().topOffset, height);
}

TEST_F(KeyboardMainWindow, TheBandLayoutComesBackAtTheNextStart) {
    Start();
    UINT menuWidth = Width(res::IDC_MENU_BAND);
    POINT grip{BandRect(1).left + 3, 5};
    Drag(grip, {grip.x + 30, 5});
    EXPECT_EQ(Width(res::IDC_MENU_BAND), menuWidth + 30);
    Close();

    DWORD type = 0;
    std::vector<BYTE> first = Stored(u"MainBar1", &type);
    EXPECT_EQ(type, REG_BINARY);
    ASSERT_EQ(first.size(), kBandRecordSize);
    std::optional<REBARBANDINFOW> band = ReadBandRecord(first);
    ASSERT_TRUE(band);
    EXPECT_EQ(band->wID, res::IDC_MENU_BAND);
    EXPECT_EQ(band->cx, menuWidth + 30);
    std::vector<BYTE> second = Stored(u"MainBar2", &type);
    EXPECT_EQ(type, REG_BINARY);
    ASSERT_EQ(second.size(), kBandRecordSize);
    EXPECT_EQ(ReadBandRecord(second)->wID, res::IDC_TOOLBAR_BAND);

    Start();
    EXPECT_EQ(Width(res::IDC_MENU_BAND), menuWidth + 30);
    EXPECT_EQ(BandRect(1).left, static_cast<LONG>(menuWidth + 30));

    // The toolbar band on a row of its own: the list moves down with it,
    // and so it starts next time.
    auto row = static_cast<LONG>(SendMessageW(Strip(), RB_GETBARHEIGHT, 0, 0));
    grip = {BandRect(1).left + 3, 5};
    Drag(grip, {grip.x, 5 + row});
    EXPECT_EQ(SendMessageW(Strip(), RB_GETBARHEIGHT, 0, 0), 2 * row);
    EXPECT_EQ(ListTop(), 2 * row + 1);
    Close();
    Start();
    EXPECT_EQ(SendMessageW(Strip(), RB_GETBARHEIGHT, 0, 0), 2 * row);
    EXPECT_EQ(BandRect(1).top, row);
    EXPECT_EQ(ListTop(), 2 * row + 1);
}

TEST_F(KeyboardMainWindow, BandsDraggedIntoAnotherOrderComeBackInThatOrder) {
    auto idAt = [](int index) {
        REBARBANDINFOW band{};
        band.cbSize = sizeof band;
        band.fMask = RBBIM_ID;
        SendMessageW(Strip(), RB_GETBANDINFOW, static_cast<WPARAM>(index),
                     reinterpret_cast<LPARAM>(&band));
        return band.wID;
    };
    Start();
    UINT menuWidth = Width(res::IDC_MENU_BAND);
    POINT grip{BandRect(1).left + 3, 5};
    Drag(grip, {2, 5});
    ASSERT_EQ(idAt(0), res::IDC_TOOLBAR_BAND) << "the toolbar band went in front";
    EXPECT_EQ(idAt(1), res::IDC_MENU_BAND);
    UINT toolbarWidth = Width(res::IDC_TOOLBAR_BAND);
    Close();
    EXPECT_EQ(ReadBandRecord(Stored(u"MainBar1"))->wID, res::IDC_TOOLBAR_BAND)
        << "the values hold the bands as they stand, first to last";
    EXPECT_EQ(ReadBandRecord(Stored(u"MainBar2"))->wID, res::IDC_MENU_BAND);

    Start();
    EXPECT_EQ(idAt(0), res::IDC_TOOLBAR_BAND);
    EXPECT_EQ(idAt(1), res::IDC_MENU_BAND);
    EXPECT_EQ(Width(res::IDC_TOOLBAR_BAND), toolbarWidth);
    EXPECT_EQ(BandRect(1).left, static_cast<LONG>(toolbarWidth));
    EXPECT_EQ(Width(res::IDC_MENU_BAND), menuWidth);
    // The menus still open from the band that now comes second.
    EXPECT_NE(CommandBar_GetMenu(CommandBands_GetCommandBar(Strip(), 1), 0), nullptr);

    // Dragged back past the middle of the menu band, the toolbar band is second again.
    grip = {BandRect(0).left + 3, 5};
    RECT menuBand = BandRect(1);
    Drag(grip, {(menuBand.left + menuBand.right) / 2 + 1, 5});
    EXPECT_EQ(idAt(0), res::IDC_MENU_BAND);
    Close();
    Start();
    EXPECT_EQ(idAt(0), res::IDC_MENU_BAND);
}

// A sound stored record of the toolbar band, `width` wide.
std::vector<BYTE> ToolbarBandRecord(UINT width) {
    REBARBANDINFOW toolbar{};
    toolbar.cbSize = sizeof toolbar;
    toolbar.fMask = RBBIM_SIZE | RBBIM_STYLE | RBBIM_ID;
    toolbar.cx = width;
    toolbar.wID = res::IDC_TOOLBAR_BAND;
    std::array<BYTE, kBandRecordSize> image = BandRecordImage(toolbar);
    return std::vector<BYTE>(image.begin(), image.end());
}

TEST_F(KeyboardMainWindow, TwoRecordsNamingOneBandLeaveTheOrderAsItIs) {
    std::vector<BYTE> bytes = ToolbarBandRecord(200);
    Store(u"MainBar1", REG_BINARY, bytes);
    Store(u"MainBar2", REG_BINARY, bytes);
    Start();
    EXPECT_EQ(SendMessageW(Strip(), RB_IDTOINDEX, res::IDC_MENU_BAND, 0), 0);
    EXPECT_EQ(Width(res::IDC_TOOLBAR_BAND), 200u) << "MainBar2 is the toolbar band's own record";
}

TEST_F(KeyboardMainWindow, AStoredRecordThatCannotBeTrustedLeavesTheBandAtItsDefaultWidth) {
    std::vector<BYTE> valid = ToolbarBandRecord(300);
    auto changed = [&](std::size_t at, BYTE value) {
        std::vector<BYTE> bytes = valid;
        bytes[at] = value;
        return bytes;
    };
    struct Case {
        const char* what;
        DWORD type;
        std::vector<BYTE> bytes;
    };
    std::vector<BYTE> longer = valid;
    longer.push_back(0);
    const Case cases[] = {
        {"short", REG_BINARY, std::vector<BYTE>(valid.begin(), valid.end() - 1)},
        {"oversized", REG_BINARY, longer},
        {"not binary", REG_DWORD, std::vector<BYTE>(valid.begin(), valid.begin() + 4)},
        {"wrong record size", REG_BINARY, changed(0, 60)},
        {"another band's record", REG_BINARY, changed(52, 0x17)},
        {"unknown style", REG_BINARY, changed(11, 0x80)},
        {"width beyond any screen", REG_BINARY, changed(47, 0x80)},
        {"no width", REG_BINARY, changed(4, 0x01)},
    };
    for (const Case& c : cases) {
        Store(u"MainBar2", c.type, c.bytes);
        Start();
        EXPECT_EQ(Width(res::IDC_TOOLBAR_BAND), 60u) << c.what;
        DestroyWindow(appcore::App().mainWindow);
        gui::input::PumpMessages();
    }
    Store(u"MainBar2", REG_BINARY, valid);
    Start();
    EXPECT_EQ(Width(res::IDC_TOOLBAR_BAND), 300u) << "the valid record is applied";
}

TEST_F(KeyboardMainWindow, EveryToolbarButtonSendsItsCommandAndHasItsTip) {
    HWND window = Start();
    HWND toolbar = Toolbar();
    ASSERT_EQ(SendMessageW(toolbar, TB_BUTTONCOUNT, 0, 0), 19);
    mainProcedure = reinterpret_cast<WNDPROC>(
        SetWindowLongW(window, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(&RecordCommands)));
    Recorded().clear();
    std::vector<Expected> seen;
    for (int position = 0; position < 19; ++position) {
        TBBUTTON button{};
        ASSERT_TRUE(SendMessageW(toolbar, TB_GETBUTTON, static_cast<WPARAM>(position),
                                 reinterpret_cast<LPARAM>(&button)));
        RECT r{};
        SendMessageW(toolbar, TB_GETITEMRECT, static_cast<WPARAM>(position),
                     reinterpret_cast<LPARAM>(&r));
        POINT middle{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
        if ((button.fsStyle & TBSTYLE_SEP) != 0) {
            EXPECT_EQ(gui::ToolTipAt(toolbar, middle), u"") << position;
            continue;
        }
        EXPECT_NE(button.fsState & TBSTATE_ENABLED, 0) << position;
        seen.push_back({static_cast<UINT>(button.idCommand), gui::ToolTipAt(toolbar, middle)});
        gui::input::Tap(toolbar, middle);
    }
    ASSERT_EQ(seen.size(), kMainButtons.size());
    for (std::size_t i = 0; i < seen.size(); ++i) {
        EXPECT_EQ(seen[i].command, kMainButtons[i].command) << i;
        EXPECT_EQ(seen[i].tip, kMainButtons[i].tip) << i;
    }
    std::vector<UINT> sent;
    for (const Expected& e : kMainButtons)
        sent.push_back(e.command);
    EXPECT_EQ(Recorded(), sent);
    SetWindowLongW(window, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(mainProcedure));
}

TEST_F(KeyboardMainWindow, AltAndALetterOpenAMenuAndALetterPicksItsItem) {
    HWND window = Start();
    std::u16string first;
    session_.user().OnNextPopup([&](HMENU menu) {
        WCHAR text[64] = {};
        GetMenuStringW(menu, 0, text, 64, MF_BYPOSITION);
        first = WideView(text, 64);
        return gui::MenuCommandForAccessKey(menu, u'x');
    });
    gui::input::PressKey('F', MK_ALT);
    EXPECT_EQ(first, u"View/Modify\tEnter");
    gui::input::PumpMessages();
    EXPECT_FALSE(IsWindow(window)) << "File, Exit closes the program";
}

TEST_F(KeyboardMainWindow, TheToolsAndHelpMenusOpenFromTheirLetters) {
    Start();
    std::vector<std::u16string> opened;
    for (WCHAR key : {u'T', u'H', u'V'}) {
        session_.user().OnNextPopup([&](HMENU menu) {
            WCHAR text[64] = {};
            GetMenuStringW(menu, 0, text, 64, MF_BYPOSITION);
            opened.emplace_back(WideView(text, 64));
            return 0u;
        });
        gui::input::PressKey(key, MK_ALT);
    }
    EXPECT_EQ(opened, (std::vector<std::u16string>{u"&Backup...\tCtrl+B", u"&Topics...\tCtrl+H",
                                                   u"&Small Icons"}));
}

TEST_F(KeyboardMainWindow, TheListHasATypeColumnThatTellsSystemDatabasesFromOthers) {
    appcore::Settings settings;
    settings.showSystemDatabases = true;
    settings.Save();
    test_support::MakeDatabase(u"\\Sys", 1);
    test_support::MakeDatabase(u"Plain", 1);
    Start();
    HWND list = appcore::App().list;
    HWND header = ListView_GetHeader(list);
    ASSERT_EQ(Header_GetItemCount(header), 4);
    std::vector<std::u16string> titles;
    for (int column = 0; column < 4; ++column) {
        WCHAR text[32] = {};
        HDITEMW item{};
        item.mask = HDI_TEXT;
        item.pszText = text;
        item.cchTextMax = 32;
        Header_GetItem(header, column, &item);
        titles.emplace_back(WideView(text, 32));
    }
    EXPECT_EQ(titles, (std::vector<std::u16string>{u"Name", u"Size", u"Type", u"Modified"}));
    for (int row = 0; row < ListView_GetItemCount(list); ++row) {
        WCHAR name[40] = {};
        WCHAR type[40] = {};
        WCHAR modified[40] = {};
        ListView_GetItemText(list, row, 0, name, 40);
        ListView_GetItemText(list, row, 2, type, 40);
        ListView_GetItemText(list, row, 3, modified, 40);
        EXPECT_EQ(WideView(type, 40), name[0] == u'\\' ? u"System" : u"Database") << row;
        // The date, a blank and the time without seconds.
        std::u16string when(WideView(modified, 40));
        EXPECT_NE(when.find(u' '), std::u16string::npos) << row;
    }
}

}  // namespace
