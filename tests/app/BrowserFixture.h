#pragma once
// A device, a scripted user and the real main window of the browser, with
// helpers that make databases of a chosen size and date and read the list
// back as a person sees it.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "appcore/Application.h"
#include "platform/core/Types.h"
#include "platform/gui/testing/ScriptedUser.h"
#include "tests/support/ScriptedSession.h"
#include "tests/support/SeedDatabases.h"
#include "tests/support/TempDevice.h"

namespace browser_test {

using namespace ce;

// A property of the records the helpers write.
inline constexpr CEPROPID kBlob = test_support::kSeedBlob;
inline constexpr CEPROPID kTextProperty = test_support::kSeedText;

class BrowserTest : public ::testing::Test {
protected:
    ~BrowserTest() override;

    gui::ScriptedUser& user() { return session_.user(); }

    // A database with `records` records; with `bytes` > 0 it holds one
    // record whose size makes the database exactly that large.
    CEOID MakeDatabase(const char16_t* name, int records = 1, DWORD type = 0, DWORD bytes = 0,
                       std::vector<SORTORDERSPEC> sorts = {});
    // Sets a database's last-modified time (days after 2026-01-01, UTC).
    void SetModifiedDay(const char16_t* name, int day);
    CEDBASEINFO Info(const char16_t* name);
    // Deletes a database as another program would.
    void Delete(const char16_t* name);
    bool Exists(const char16_t* name);

    // Starts the main window as the program does.
    HWND Start();
    // Closes it as the program does (the settings are written).
    void Close();
    HWND list() const { return appcore::App().list; }
    HWND main() const { return appcore::App().mainWindow; }

    std::u16string Text(int row, int column = 0);
    // Every row's text of a column, top to bottom.
    std::vector<std::u16string> Column(int column = 0);
    int Icon(int row);
    std::vector<int> SelectedRows();
    // Selects exactly these rows (the list's state, as taps leave it).
    void Select(std::initializer_list<int> rows);
    int RowOf(const char16_t* name);
    // Chooses a command from the menu bar (its popups or buttons).
    void Choose(UINT command);
    UINT MenuState(UINT command);

    testing_support::TempDevice device_;
    testing_support::ScriptedSession session_;
};

}  // namespace browser_test
