#pragma once
// A device, a scripted user and the real record editor on the headless
// backend: databases made of chosen properties, the editor run with what the
// person does in it, and its window read back as a person sees it.

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "editor/PropertyValue.h"
#include "platform/core/Types.h"
#include "platform/gui/testing/ScriptedUser.h"
#include "tests/support/ScriptedSession.h"
#include "tests/support/TempDevice.h"

namespace editor_test {

using namespace ce;
using editor::PropertyValue;

// Property values to build records from.
PropertyValue Int(WORD id, SHORT v);
PropertyValue UInt(WORD id, USHORT v);
PropertyValue Long(WORD id, LONG v);
PropertyValue ULong(WORD id, ULONG v);
PropertyValue Float(WORD id, double v);
PropertyValue Bool(WORD id, BOOL v);
PropertyValue Date(WORD id, std::uint64_t fileTime);
PropertyValue Text(WORD id, std::u16string text);
PropertyValue AbsentText(WORD id);
PropertyValue Blob(WORD id, std::vector<BYTE> bytes);

using Record = std::vector<PropertyValue>;

// The editor's window as a test drives it.
class EditorWindow {
public:
    explicit EditorWindow(HWND window) : window_(window) {}
    HWND hwnd() const { return window_; }
    HWND list() const;

    void Command(UINT id);
    // Selects the list item whose ID column reads `id` (and type `type` when given).
    void SelectProperty(WORD id, const char16_t* type = nullptr);
    // The list's rows: "TYPE size id", top to bottom.
    std::vector<std::u16string> Rows() const;
    std::u16string SelectedRow() const;
    std::u16string Counter() const;
    std::u16string ControlText(int id) const;
    bool Visible(int id) const;
    bool Enabled(int id) const;
    // Whether a command is greyed in the editor's menus or on its bar.
    bool Grayed(UINT command) const;
    // Types into a field as a person does (the field reports a change).
    void Type(int id, std::u16string_view text);
    void Done();
    void Cancel();

private:
    HWND window_;
};

class EditorTest : public ::testing::Test {
protected:
    EditorTest();
    ~EditorTest() override;

    gui::ScriptedUser& user() { return session_.user(); }

    CEOID MakeDatabase(const char16_t* name, const std::vector<Record>& records,
                       std::vector<SORTORDERSPEC> sorts = {});
    // Every record of the database in creation order.
    std::vector<Record> Records(const char16_t* name);
    // The value of one property of record `index`, or nothing.
    std::optional<PropertyValue> Find(const char16_t* name, std::size_t index, CEPROPID id);

    // Runs the editor on `name`; `act` runs when its window first waits for
    // input. Returns the close code.
    int RunEditor(const char16_t* name, std::function<void(EditorWindow&)> act);

    testing_support::TempDevice device_;
    testing_support::ScriptedSession session_;
};

}  // namespace editor_test
