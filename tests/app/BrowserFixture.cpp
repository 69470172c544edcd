#include "tests/app/BrowserFixture.h"

#include <algorithm>

#include "app/DatabaseList.h"
#include "app/MainWindow.h"
#include "platform/core/Handles.h"
#include "platform/core/Text.h"
#include "platform/gui/CommCtrl.h"
#include "platform/gui/ShellUi.h"
#include "platform/gui/testing/UserInput.h"
#include "platform/objectstore/ObjectStore.h"
#include "tests/support/SeedDatabases.h"

namespace browser_test {

BrowserTest::~BrowserTest() {
    if (IsWindow(main()))
        DestroyWindow(main());
}

CEOID BrowserTest::MakeDatabase(const char16_t* name, int records, DWORD type, DWORD bytes,
                                std::vector<SORTORDERSPEC> sorts) {
    return test_support::MakeDatabase(name, records, type, bytes, sorts);
}

void BrowserTest::SetModifiedDay(const char16_t* name, int day) {
    CEOID oid = 0;
    HANDLE handle = CeOpenDatabase(&oid, name, 0, 0, nullptr);
    ASSERT_NE(handle, INVALID_HANDLE_VALUE);
    CloseHandle(handle);
    // 2026-01-01 00:00 UTC in 100-nanosecond units since 1601.
    std::uint64_t time = 134116992000000000ULL + static_cast<std::uint64_t>(day) * 864000000000ULL;
    CEDBASEINFO info{};
    info.dwFlags = CEDB_VALIDMODTIME;
    info.ftLastModified.dwLowDateTime = static_cast<DWORD>(time);
    info.ftLastModified.dwHighDateTime = static_cast<DWORD>(time >> 32);
    ASSERT_TRUE(CeSetDatabaseInfo(oid, &info));
}

CEDBASEINFO BrowserTest::Info(const char16_t* name) {
    return test_support::DatabaseInfo(name);
}

void BrowserTest::Delete(const char16_t* name) {
    CEOID oid = 0;
    HANDLE handle = CeOpenDatabase(&oid, name, 0, 0, nullptr);
    ASSERT_NE(handle, INVALID_HANDLE_VALUE);
    CloseHandle(handle);
    ASSERT_TRUE(CeDeleteDatabase(oid));
}

bool BrowserTest::Exists(const char16_t* name) {
    return test_support::DatabaseExists(name);
}

HWND BrowserTest::Start() {
    app::RegisterMainClass();
    EXPECT_TRUE(app::CreateMainWindow());
    gui::input::PumpMessages();
    return main();
}

void BrowserTest::Close() {
    gui::input::RequestClose(main());
    EXPECT_FALSE(IsWindow(main()));
    // The program's loop would end here; the quit stays for nobody.
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    }
}

std::u16string BrowserTest::Text(int row, int column) {
    WCHAR text[260] = {};
    ListView_GetItemText(list(), row, column, text, 260);
    return std::u16string(WideView(text, 260));
}

std::vector<std::u16string> BrowserTest::Column(int column) {
    std::vector<std::u16string> texts;
    for (int row = 0; row < ListView_GetItemCount(list()); ++row)
        texts.push_back(Text(row, column));
    return texts;
}

int BrowserTest::Icon(int row) {
    LVITEMW item{};
    item.mask = LVIF_IMAGE;
    item.iItem = row;
    ListView_GetItem(list(), &item);
    return item.iImage;
}

std::vector<int> BrowserTest::SelectedRows() {
    std::vector<int> rows;
    for (int row = ListView_GetNextItem(list(), -1, LVNI_SELECTED); row >= 0;
         row = ListView_GetNextItem(list(), row, LVNI_SELECTED))
        rows.push_back(row);
    return rows;
}

void BrowserTest::Select(std::initializer_list<int> rows) {
    ListView_SetItemState(list(), -1, 0, LVIS_SELECTED);
    for (int row : rows)
        ListView_SetItemState(list(), row, LVIS_SELECTED | LVIS_FOCUSED,
                              LVIS_SELECTED | LVIS_FOCUSED);
    gui::input::PumpMessages();
}

int BrowserTest::RowOf(const char16_t* name) {
    std::vector<std::u16string> names = Column(0);
    auto it = std::find(names.begin(), names.end(), std::u16string(name));
    return it == names.end() ? -1 : static_cast<int>(it - names.begin());
}

void BrowserTest::Choose(UINT command) {
    gui::input::ChooseMenuCommand(main(), command);
}

UINT BrowserTest::MenuState(UINT command) {
    HWND bar = SHFindMenuBar(main());
    auto menu = reinterpret_cast<HMENU>(SendMessageW(bar, SHCMBM_GETMENU, 0, 0));
    return GetMenuState(menu, command, MF_BYCOMMAND);
}

}  // namespace browser_test
