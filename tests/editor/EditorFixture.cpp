#include "tests/editor/EditorFixture.h"

#include "appcore/Application.h"
#include "editor/RecordEditor.h"
#include "platform/core/Handles.h"
#include "platform/core/LocalMemory.h"
#include "platform/core/Text.h"
#include "platform/gui/CommCtrl.h"
#include "platform/gui/ShellUi.h"
#include "platform/gui/testing/UserInput.h"
#include "platform/objectstore/ObjectStore.h"
#include "resources/EditorIds.h"

namespace editor_test {

namespace {

PropertyValue Make(WORD id, WORD type, const std::function<void(CEPROPVAL&)>& fill) {
    CEPROPVAL value{};
    value.propid = MakePropID(id, type);
    fill(value);
    PropertyValue property;
    property.SetHeader(value);
    return property;
}

}  // namespace

PropertyValue Int(WORD id, SHORT v) {
    return Make(id, CEVT_I2, [v](CEPROPVAL& p) { p.val.iVal = v; });
}
PropertyValue UInt(WORD id, USHORT v) {
    return Make(id, CEVT_UI2, [v](CEPROPVAL& p) { p.val.uiVal = v; });
}
PropertyValue Long(WORD id, LONG v) {
    return Make(id, CEVT_I4, [v](CEPROPVAL& p) { p.val.lVal = v; });
}
PropertyValue ULong(WORD id, ULONG v) {
    return Make(id, CEVT_UI4, [v](CEPROPVAL& p) { p.val.ulVal = v; });
}
PropertyValue Float(WORD id, double v) {
    return Make(id, CEVT_R8, [v](CEPROPVAL& p) { p.val.dblVal = v; });
}
PropertyValue Bool(WORD id, BOOL v) {
    return Make(id, CEVT_BOOL, [v](CEPROPVAL& p) { p.val.boolVal = v; });
}
PropertyValue Date(WORD id, std::uint64_t fileTime) {
    return Make(id, CEVT_FILETIME, [fileTime](CEPROPVAL& p) {
        p.val.filetime.dwLowDateTime = static_cast<DWORD>(fileTime);
        p.val.filetime.dwHighDateTime = static_cast<DWORD>(fileTime >> 32);
    });
}
PropertyValue Text(WORD id, std::u16string text) {
    PropertyValue property = Make(id, CEVT_LPWSTR, [](CEPROPVAL&) {});
    property.SetText(std::move(text), true);
    return property;
}
PropertyValue AbsentText(WORD id) {
    return Make(id, CEVT_LPWSTR, [](CEPROPVAL&) {});
}
PropertyValue Blob(WORD id, std::vector<BYTE> bytes) {
    PropertyValue property = Make(id, CEVT_BLOB, [](CEPROPVAL&) {});
    property.SetBytes(std::move(bytes));
    return property;
}

HWND EditorWindow::list() const {
    return GetDlgItem(window_, res::IDC_PROPERTY_LIST);
}

void EditorWindow::Command(UINT id) {
    SendMessageW(window_, WM_COMMAND, MAKEWPARAM(id, 0), 0);
}

std::vector<std::u16string> EditorWindow::Rows() const {
    std::vector<std::u16string> rows;
    for (int row = 0; row < ListView_GetItemCount(list()); ++row) {
        std::u16string text;
        for (int column = 0; column < 3; ++column) {
            WCHAR cell[64] = {};
            ListView_GetItemText(list(), row, column, cell, 64);
            if (column > 0)
                text += u' ';
            text += cell;
        }
        rows.push_back(text);
    }
    return rows;
}

std::u16string EditorWindow::SelectedRow() const {
    int row = ListView_GetNextItem(list(), -1, LVNI_SELECTED);
    return row < 0 ? std::u16string() : Rows()[static_cast<std::size_t>(row)];
}

void EditorWindow::SelectProperty(WORD id, const char16_t* type) {
    std::vector<std::u16string> rows = Rows();
    for (std::size_t row = 0; row < rows.size(); ++row) {
        WCHAR cellId[16] = {};
        WCHAR cellType[16] = {};
        ListView_GetItemText(list(), static_cast<int>(row), 2, cellId, 16);
        ListView_GetItemText(list(), static_cast<int>(row), 0, cellType, 16);
        if (std::u16string(cellId) != Utf8ToWide(std::to_string(id)))
            continue;
        if (type != nullptr && std::u16string(cellType) != type)
            continue;
        ListView_SetItemState(list(), static_cast<int>(row), LVIS_SELECTED | LVIS_FOCUSED,
                              LVIS_SELECTED | LVIS_FOCUSED);
        gui::input::PumpMessages();
        return;
    }
    ADD_FAILURE() << "no property " << id;
}

std::u16string EditorWindow::Counter() const {
    return ControlText(res::IDC_RECORD_COUNTER);
}

std::u16string EditorWindow::ControlText(int id) const {
    WCHAR text[512] = {};
    GetDlgItemTextW(window_, id, text, 512);
    return text;
}

bool EditorWindow::Visible(int id) const {
    return IsWindowVisible(GetDlgItem(window_, id)) != FALSE;
}

bool EditorWindow::Enabled(int id) const {
    return IsWindowEnabled(GetDlgItem(window_, id)) != FALSE;
}

bool EditorWindow::Grayed(UINT command) const {
    HWND bar = SHFindMenuBar(window_);
    auto menu = reinterpret_cast<HMENU>(SendMessageW(bar, SHCMBM_GETMENU, 0, 0));
    SendMessageW(window_, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(menu), 0);
    return (GetMenuState(menu, command, MF_BYCOMMAND) & MF_GRAYED) != 0;
}

void EditorWindow::Type(int id, std::u16string_view text) {
    gui::input::EditText(GetDlgItem(window_, id), text);
    gui::input::PumpMessages();
}

void EditorWindow::Done() {
    gui::input::PressDone(window_);
}

void EditorWindow::Cancel() {
    Command(IDCANCEL);
}

EditorTest::EditorTest() {
    appcore::App().settings = std::make_unique<appcore::Settings>();
    appcore::App().settings->showWarning = 0;
    user().SetFailureHandler([](const std::string& what) { ADD_FAILURE() << what; });
}

EditorTest::~EditorTest() {
    appcore::App().settings.reset();
}

CEOID EditorTest::MakeDatabase(const char16_t* name, const std::vector<Record>& records,
                               std::vector<SORTORDERSPEC> sorts) {
    CEOID oid = CeCreateDatabase(name, 0, static_cast<WORD>(sorts.size()),
                                 sorts.empty() ? nullptr : sorts.data());
    EXPECT_NE(oid, 0u);
    CEOID opened = oid;
    HANDLE handle = CeOpenDatabase(&opened, nullptr, 0, 0, nullptr);
    for (const Record& record : records) {
        std::vector<CEPROPVAL> values;
        for (const PropertyValue& property : record)
            values.push_back(property.Value());
        EXPECT_NE(CeWriteRecordProps(handle, 0, static_cast<WORD>(values.size()), values.data()),
                  0u);
    }
    CloseHandle(handle);
    return oid;
}

std::vector<Record> EditorTest::Records(const char16_t* name) {
    std::vector<Record> records;
    CEOID oid = 0;
    HANDLE handle = CeOpenDatabase(&oid, name, 0, 0, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return records;
    DWORD index = 0;
    BYTE* buffer = nullptr;
    DWORD size = 0;
    for (CEOID at = CeSeekDatabase(handle, CEDB_SEEK_BEGINNING, 0, &index); at != 0;
         at = CeSeekDatabase(handle, CEDB_SEEK_CURRENT, 1, &index)) {
        WORD count = 0;
        if (CeReadRecordProps(handle, CEDB_ALLOWREALLOC, &count, nullptr, &buffer, &size) == 0)
            continue;
        Record record;
        for (WORD i = 0; i < count; ++i)
            record.emplace_back(reinterpret_cast<CEPROPVAL*>(buffer)[i]);
        records.push_back(std::move(record));
    }
    LocalFree(buffer);
    CloseHandle(handle);
    return records;
}

std::optional<PropertyValue> EditorTest::Find(const char16_t* name, std::size_t index,
                                              CEPROPID id) {
    std::vector<Record> records = Records(name);
    if (index >= records.size())
        return std::nullopt;
    for (const PropertyValue& property : records[index]) {
        if (property.propid() == id)
            return property;
    }
    return std::nullopt;
}

int EditorTest::RunEditor(const char16_t* name, std::function<void(EditorWindow&)> act) {
    auto action = [act](HWND dialog) {
        EditorWindow window(dialog);
        act(window);
    };
    user().OnDialog(res::IDD_EDITOR, action);
    return editor::RunRecordEditor(nullptr, name);
}

}  // namespace editor_test
