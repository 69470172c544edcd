// devicectl edit: the record editor's own operations on the console host.
// The editor opens on the database as in the program; the script then acts
// in its window as a person would (selects a property, types a value, picks
// a command, answers the Find dialog and the Add Property wizard), so every
// check, message and write is the editor's. Messages reach standard error
// as "Tessaly: text"; questions are read from standard input unless --yes
// answers them.

#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "appcore/Application.h"
#include "appcore/Settings.h"
#include "editor/AddPropertyWizard.h"
#include "editor/EditorState.h"
#include "editor/RecordEditor.h"
#include "platform/core/Text.h"
#include "platform/gui/Backend.h"
#include "platform/gui/Clipboard.h"
#include "platform/gui/CommCtrl.h"
#include "platform/gui/NativeEvents.h"
#include "platform/gui/headless/ConsoleHost.h"
#include "platform/gui/headless/HeadlessBackend.h"
#include "resources/ControlIds.h"
#include "resources/EditorIds.h"
#include "store/Formatting.h"
#include "tools/devicectl/Commands.h"
#include "tools/devicectl/ProgramCommands.h"
#include "tools/devicectl/PropertyValues.h"

namespace devicectl {
namespace {

using ce::CEOID;
using ce::HWND;
using ce::UINT;
using ce::WORD;
using editor::EditorState;

// The console, with questions answered Yes when the command line says so;
// it notes whether the program reported an error.
class EditConsole : public ce::gui::ConsoleHost {
public:
    explicit EditConsole(bool yes) : yes_(yes) {}
    int AnswerMessageBox(const ce::gui::MessageBoxRequest& request) override {
        UINT icon = request.style & ce::MB_ICONMASK;
        UINT type = request.style & ce::MB_TYPEMASK;
        // The editor's errors are plain messages with the exclamation mark;
        // the last record's deletion closes the editor with one as well.
        if (type == ce::MB_OK && (icon == ce::MB_ICONEXCLAMATION || icon == ce::MB_ICONERROR) &&
            request.stringId != res::IDS_LAST_RECORD_DELETED)
            errors_ = true;
        if (request.stringId == res::IDS_TEXT_NOT_FOUND)
            notFound_ = true;
        if (type == ce::MB_OK)
            return ConsoleHost::AnswerMessageBox(request);
        int answer = type == ce::MB_OKCANCEL ? ce::IDOK : ce::IDYES;
        if (yes_)
            std::fprintf(stderr, "%s y\n", OneLine(request).c_str());
        else
            answer = ConsoleHost::AnswerMessageBox(request);
        if (answer != ce::IDYES && answer != ce::IDOK)
            declined_ = true;
        return answer;
    }
    // Whether an error was reported since the last call.
    bool TakeErrors() { return std::exchange(errors_, false); }
    bool TakeNotFound() { return std::exchange(notFound_, false); }
    // Whether a question was answered No or Cancel since the last call.
    bool TakeDeclined() { return std::exchange(declined_, false); }

private:
    bool yes_;
    bool errors_ = false;
    bool notFound_ = false;
    bool declined_ = false;
};

struct Options {
    unsigned record = 1;
    bool matchCase = false;
    bool numbersToo = false;
};

struct Step {
    std::string verb;
    std::string argument;
};

// What the steps act on.
struct Session {
    EditorState& state;
    EditConsole& console;
    const Options& options;
};

// What one step does in the open editor; false (with a message) when it failed.
using StepRun = bool (*)(Session&, const Step&);

struct StepKind {
    const char* verb;
    bool takesArgument;
    StepRun run;
};

HWND List(const EditorState& state) {
    return ce::GetDlgItem(state.window, res::IDC_PROPERTY_LIST);
}

bool Command(EditorState& state, UINT id) {
    ce::SendMessageW(state.window, ce::WM_COMMAND, id, 0);
    return ce::IsWindow(state.window) != 0;
}

bool Refused(const std::string& what) {
    Fail(what);
    return false;
}

// The list item of the property with this number, or -1.
int ItemOfNumber(const EditorState& state, WORD number) {
    for (WORD i = 0; i < state.record.count; ++i) {
        if (editor::NumberOf(state.record.props()[i].propid) != number)
            continue;
        ce::LVFINDINFOW find{};
        find.flags = ce::LVFI_PARAM;
        find.lParam = i;
        return ce::ListView_FindItem(List(state), -1, &find);
    }
    return -1;
}

bool ReadNumberArgument(const std::string& text, WORD& number) {
    long long value = 0;
    if (!ParseNumber(text, value) || value < 0 || value > 0xFFFF)
        return Refused("\"" + text + "\" is no property number (0 to 65535)");
    number = static_cast<WORD>(value);
    return true;
}

// Selects the property as a tap on its row does.
bool SelectProperty(EditorState& state, WORD number) {
    int item = ItemOfNumber(state, number);
    if (item < 0)
        return Refused("record " + std::to_string(state.position + 1) + " has no property " +
                       std::to_string(number));
    ce::ListView_SetItemState(List(state), item, ce::LVIS_SELECTED | ce::LVIS_FOCUSED,
                              ce::LVIS_SELECTED | ce::LVIS_FOCUSED);
    // A refused edit of the property left keeps the selection where it was.
    return editor::SelectedProperty(state) != editor::kNoProperty &&
           editor::NumberOf(state.Property(editor::SelectedProperty(state))->propid) == number;
}

// Selects the property whose number the step names.
bool SelectNamedProperty(EditorState& state, const std::string& argument, WORD& number) {
    return ReadNumberArgument(argument, number) && SelectProperty(state, number);
}

// A date as devicectl writes it (ISO UTC or a FILETIME count), as the
// pickers show it: local time.
bool ReadDate(const std::string& text, ce::SYSTEMTIME& local) {
    ParsedProperty parsed;
    std::string error;
    if (!ParseProperty("0:DATE=" + text, parsed, error))
        return Refused(error);
    local = store::DateTime::FromFileTime(parsed.value.val.filetime).time();
    return true;
}

bool ReadBoolean(const std::string& text, bool& on) {
    std::string lower;
    for (char c : text)
        lower.push_back(static_cast<char>(std::tolower(static_cast<unsigned char>(c))));
    if (lower == "true" || lower == "1") {
        on = true;
        return true;
    }
    if (lower == "false" || lower == "0") {
        on = false;
        return true;
    }
    return Refused("\"" + text + "\" is no BOOLEAN value (true or false)");
}

void SetPickers(HWND dialog, const ce::SYSTEMTIME& local) {
    ce::DateTime_SetSystemtime(ce::GetDlgItem(dialog, res::IDC_DATE_PICKER), ce::GDT_VALID, &local);
    ce::DateTime_SetSystemtime(ce::GetDlgItem(dialog, res::IDC_TIME_PICKER), ce::GDT_VALID, &local);
}

// Puts a value of `type` into the controls of a value pane or wizard page.
bool EnterValue(HWND dialog, WORD type, const std::string& text) {
    switch (type) {
        case ce::CEVT_LPWSTR:
            return ce::SetDlgItemTextW(dialog, res::IDC_VALUE_TEXT, ce::Utf8ToWide(text).c_str());
        case ce::CEVT_BOOL: {
            bool on = false;
            if (!ReadBoolean(text, on))
                return false;
            ce::CheckRadioButton(dialog, res::IDC_VALUE_TRUE, res::IDC_VALUE_FALSE,
                                 on ? res::IDC_VALUE_TRUE : res::IDC_VALUE_FALSE);
            return true;
        }
        case ce::CEVT_FILETIME: {
            ce::SYSTEMTIME local{};
            if (!ReadDate(text, local))
                return false;
            SetPickers(dialog, local);
            return true;
        }
        case ce::CEVT_BLOB:
            return Refused("a BINARY value is not edited in the editor");
        default:
            // Numbers are typed as text: the editor reads and checks them.
            return ce::SetDlgItemTextW(dialog, res::IDC_VALUE_NUMBER, ce::Utf8ToWide(text).c_str());
    }
}

// "ID:TYPE" of a property to add.
struct Addition {
    WORD number = 0;
    WORD type = 0;
    std::string value;
};

// "ID:TYPE=VALUE" for the wizard: the number and type as devicectl reads
// them, the value as it is typed.
bool ReadAddition(const std::string& argument, Addition& addition) {
    std::size_t colon = argument.find(':');
    std::size_t equals = argument.find('=');
    if (colon == std::string::npos || equals == std::string::npos || equals < colon)
        return Refused("a property to add is ID:TYPE=VALUE");
    if (!ReadNumberArgument(argument.substr(0, colon), addition.number))
        return false;
    std::string typeName = argument.substr(colon + 1, equals - colon - 1);
    std::optional<WORD> type = TypeFromName(typeName);
    if (!type)
        return Refused("unknown property type \"" + typeName + "\"");
    if (*type == ce::CEVT_BLOB)
        return Refused("the Add Property wizard adds no BINARY property");
    addition.type = *type;
    addition.value = argument.substr(equals + 1);
    return true;
}

// The wizard's pages answered as a person would; a page that refuses its
// input is cancelled, so that the wizard ends.
void AnswerWizard(EditConsole& console, const Addition& addition, bool newRecord) {
    auto press = [](HWND dialog, UINT button) {
        ce::SendMessageW(dialog, ce::WM_COMMAND, button, 0);
        if (!ce::gui::DialogEnded(dialog))
            ce::SendMessageW(dialog, ce::WM_COMMAND, ce::IDCANCEL, 0);
    };
    console.AnswerDialog(res::IDD_WIZARD_TYPE, [=](HWND dialog, ce::gui::ConsoleHost&) {
        HWND list = ce::GetDlgItem(dialog, res::IDC_PROPERTY_TYPE);
        ce::LVFINDINFOW find{};
        find.flags = ce::LVFI_PARAM;
        find.lParam = addition.type;
        int item = ce::ListView_FindItem(list, -1, &find);
        if (item >= 0)
            ce::ListView_SetItemState(list, item, ce::LVIS_SELECTED | ce::LVIS_FOCUSED,
                                      ce::LVIS_SELECTED | ce::LVIS_FOCUSED);
        ce::SetDlgItemTextW(dialog, res::IDC_PROPERTY_ID,
                            ce::Utf8ToWide(std::to_string(addition.number)).c_str());
        if (ce::IsWindowEnabled(ce::GetDlgItem(dialog, res::IDC_NEW_RECORD)))
            ce::CheckDlgButton(dialog, res::IDC_NEW_RECORD,
                               newRecord ? ce::BST_CHECKED : ce::BST_UNCHECKED);
        press(dialog, res::IDC_WIZARD_NEXT);
    });
    auto valuePage = [=](HWND dialog, ce::gui::ConsoleHost&) {
        if (!EnterValue(dialog, addition.type, addition.value)) {
            ce::SendMessageW(dialog, ce::WM_COMMAND, ce::IDCANCEL, 0);
            return;
        }
        press(dialog, res::IDC_WIZARD_FINISH);
    };
    for (UINT page : {res::IDD_WIZARD_DATE, res::IDD_WIZARD_NUMBER, res::IDD_WIZARD_TEXT,
                      res::IDD_WIZARD_BOOLEAN})
        console.AnswerDialog(page, valuePage);
}

// ---- The steps ----

bool SetValue(Session& session, const Step& step) {
    EditorState& state = session.state;
    std::size_t equals = step.argument.find('=');
    WORD number = 0;
    if (equals == std::string::npos)
        return Refused("set needs ID=VALUE");
    if (!ReadNumberArgument(step.argument.substr(0, equals), number) ||
        !SelectProperty(state, number))
        return false;
    WORD index = editor::SelectedProperty(state);
    WORD type = ce::TypeFromPropID(state.Property(index)->propid);
    if (!EnterValue(state.window, type, step.argument.substr(equals + 1)))
        return false;
    state.refused = false;
    editor::SavePendingEdit(state, index, true);
    return !state.refused && !session.console.TakeErrors();
}

bool Add(Session& session, const Step& step, bool newRecord) {
    EditorState& state = session.state;
    Addition addition;
    if (!ReadAddition(step.argument, addition))
        return false;
    AnswerWizard(session.console, addition, newRecord);
    ce::DWORD records = state.info.wNumRecords;
    CEOID before = state.recordId;
    if (!Command(state, res::IDC_ADD_PROPERTY))
        return Refused("the editor closed");
    if (session.console.TakeErrors())
        return false;
    bool added = newRecord ? state.info.wNumRecords > records
                           : state.recordId == before && ItemOfNumber(state, addition.number) >= 0;
    return added || Refused("the property was not added");
}

bool AddToRecord(Session& session, const Step& step) {
    return Add(session, step, false);
}

bool AddRecord(Session& session, const Step& step) {
    return Add(session, step, true);
}

bool DeleteProperty(Session& session, const Step& step) {
    EditorState& state = session.state;
    WORD number = 0;
    if (!SelectNamedProperty(state, step.argument, number))
        return false;
    CEOID record = state.recordId;
    bool open = Command(state, res::IDC_DELETE_PROPERTY);
    if (session.console.TakeErrors())
        return false;
    if (open && state.recordId == record && ItemOfNumber(state, number) >= 0)
        return Refused("property " + std::to_string(number) + " was not deleted");
    return true;
}

bool DeleteRecord(Session& session, const Step&) {
    EditorState& state = session.state;
    ce::DWORD records = state.info.wNumRecords;
    bool open = Command(state, res::IDM_RECORD_DELETE);
    if (session.console.TakeErrors())
        return false;
    return !open || state.info.wNumRecords < records || Refused("the record was not deleted");
}

bool Find(Session& session, const Step& step) {
    EditorState& state = session.state;
    std::u16string text = ce::Utf8ToWide(step.argument);
    if (text.empty() || text.size() >= editor::kFindTextUnits)
        return Refused("the text to find has 1 to 259 characters");
    Options options = session.options;
    session.console.AnswerDialog(res::IDD_FIND, [=](HWND dialog, ce::gui::ConsoleHost&) {
        ce::SetDlgItemTextW(dialog, res::IDC_FIND_TEXT, text.c_str());
        ce::CheckDlgButton(dialog, res::IDC_MATCH_CASE,
                           options.matchCase ? ce::BST_CHECKED : ce::BST_UNCHECKED);
        ce::CheckDlgButton(dialog, res::IDC_SEARCH_NUMBERS,
                           options.numbersToo ? ce::BST_CHECKED : ce::BST_UNCHECKED);
        ce::SendMessageW(dialog, ce::WM_COMMAND, ce::IDOK, 0);
    });
    session.console.TakeNotFound();
    if (!Command(state, res::IDM_FIND))
        return Refused("the editor closed");
    if (session.console.TakeNotFound() || session.console.TakeErrors())
        return false;
    const ce::CEPROPVAL* found = state.Property(editor::SelectedProperty(state));
    std::printf("found in record %u, property %u\n", state.position + 1,
                found != nullptr ? editor::NumberOf(found->propid) : 0u);
    return true;
}

// The record as the editor lists it, in the list's order.
bool Show(Session& session, const Step&) {
    EditorState& state = session.state;
    std::printf("record %u of %u (oid 0x%08X)\n", state.position + 1, state.info.wNumRecords,
                state.recordId);
    HWND list = List(state);
    for (int item = 0; item < ce::ListView_GetItemCount(list); ++item) {
        ce::LVITEMW lv{};
        lv.mask = ce::LVIF_PARAM;
        lv.iItem = item;
        ce::ListView_GetItem(list, &lv);
        const ce::CEPROPVAL* property = state.Property(static_cast<WORD>(lv.lParam));
        if (property == nullptr)
            continue;
        ce::WCHAR type[16] = {};
        ce::WCHAR size[16] = {};
        ce::ListView_GetItemText(list, item, 0, type, 16);
        ce::ListView_GetItemText(list, item, 1, size, 16);
        std::printf("  %u %s (%s) %s\n", editor::NumberOf(property->propid),
                    ce::WideToUtf8(ce::WideView(type, 16)).c_str(),
                    ce::WideToUtf8(ce::WideView(size, 16)).c_str(), ShowValue(*property).c_str());
    }
    std::fflush(stdout);
    return true;
}

bool Copy(Session& session, const Step& step) {
    WORD number = 0;
    if (!SelectNamedProperty(session.state, step.argument, number))
        return false;
    Command(session.state, res::IDM_EDIT_COPY);
    return ce::IsClipboardFormatAvailable(editor::ClipboardFormat()) != 0 ||
           Refused("nothing was copied");
}

bool Cut(Session& session, const Step& step) {
    WORD number = 0;
    if (!SelectNamedProperty(session.state, step.argument, number))
        return false;
    CEOID record = session.state.recordId;
    bool open = Command(session.state, res::IDM_EDIT_CUT);
    if (session.console.TakeErrors())
        return false;
    return !open || session.state.recordId != record || ItemOfNumber(session.state, number) < 0 ||
           Refused("property " + std::to_string(number) + " was not cut");
}

bool Paste(Session& session, const Step&) {
    if (ce::IsClipboardFormatAvailable(editor::ClipboardFormat()) == 0)
        return Refused("no property was copied or cut before paste");
    session.console.TakeDeclined();
    Command(session.state, res::IDM_EDIT_PASTE);
    if (session.console.TakeErrors())
        return false;
    return !session.console.TakeDeclined() || Refused("nothing was pasted");
}

bool Undo(Session& session, const Step&) {
    if (!session.state.undo)
        return Refused("there is nothing to undo");
    Command(session.state, res::IDM_EDIT_UNDO);
    return !session.console.TakeErrors();
}

bool SortBy(Session& session, const Step& step) {
    UINT command = res::IDM_SORT_UNSORTED;
    if (step.argument != "unsorted") {
        long long order = 0;
        if (!ParseNumber(step.argument, order) || order < 1 ||
            order > session.state.info.wNumSortOrder)
            return Refused("the database has " + std::to_string(session.state.info.wNumSortOrder) +
                           " sort orders (sort 1 to that, or sort unsorted)");
        command = res::IDM_SORT_FIRST + static_cast<UINT>(order - 1);
    }
    return Command(session.state, command) || Refused("the editor closed");
}

bool Reload(Session& session, const Step&) {
    return Command(session.state, res::IDM_RELOAD) || Refused("the editor closed");
}

template <UINT Id>
bool Move(Session& session, const Step& step) {
    ce::DWORD from = session.state.position;
    if (!Command(session.state, Id))
        return Refused("the editor closed");
    return session.state.position != from ||
           Refused("there is no record to go to with " + step.verb);
}

constexpr StepKind kSteps[] = {
    {"set", true, &SetValue},
    {"add", true, &AddToRecord},
    {"add-record", true, &AddRecord},
    {"delete-property", true, &DeleteProperty},
    {"delete-record", false, &DeleteRecord},
    {"find", true, &Find},
    {"show", false, &Show},
    {"copy", true, &Copy},
    {"cut", true, &Cut},
    {"paste", false, &Paste},
    {"undo", false, &Undo},
    {"sort", true, &SortBy},
    {"reload", false, &Reload},
    {"first", false, &Move<res::IDM_RECORD_FIRST>},
    {"previous", false, &Move<res::IDM_RECORD_PREVIOUS>},
    {"next", false, &Move<res::IDM_RECORD_NEXT>},
    {"last", false, &Move<res::IDM_RECORD_LAST>},
};

const StepKind* KindOf(const std::string& verb) {
    for (const StepKind& kind : kSteps) {
        if (verb == kind.verb)
            return &kind;
    }
    return nullptr;
}

bool ReadSteps(const std::vector<std::string>& words, std::vector<Step>& steps) {
    for (std::size_t i = 0; i < words.size(); ++i) {
        const StepKind* kind = KindOf(words[i]);
        if (kind == nullptr)
            return Refused("unknown editor step \"" + words[i] + "\"");
        Step step{words[i], {}};
        if (kind->takesArgument) {
            if (++i >= words.size())
                return Refused(std::string(kind->verb) + " needs a value");
            step.argument = words[i];
        }
        steps.push_back(step);
    }
    return !steps.empty() || Refused("no editor step given");
}

// Goes to the record the command line names, then runs the steps; closes
// the editor with Done (which saves what is pending) when they all
// succeeded, with Cancel otherwise.
bool RunSteps(HWND dialog, EditConsole& console, const std::vector<Step>& steps,
              const Options& options) {
    EditorState* state = editor::StateOf(dialog);
    bool succeeded = state != nullptr;
    if (succeeded && options.record > state->info.wNumRecords)
        succeeded =
            Refused("the database has " + std::to_string(state->info.wNumRecords) + " records");
    for (unsigned n = 1; succeeded && n < options.record; ++n)
        Command(*state, res::IDM_RECORD_NEXT);
    for (const Step& step : steps) {
        if (!succeeded)
            break;
        if (!ce::IsWindow(dialog)) {
            succeeded = Refused("the editor closed before \"" + step.verb + "\"");
            break;
        }
        Session session{*state, console, options};
        succeeded = KindOf(step.verb)->run(session, step);
    }
    if (ce::IsWindow(dialog))
        ce::SendMessageW(dialog, ce::WM_COMMAND, succeeded ? ce::IDOK : ce::IDCANCEL, 0);
    if (ce::IsWindow(dialog))
        ce::SendMessageW(dialog, ce::WM_COMMAND, ce::IDCANCEL, 0);
    return succeeded;
}

// An empty database gets its first record from the wizard, as the program's
// list offers.
bool AddFirstRecord(const std::u16string& name, EditConsole& console, const Step& step) {
    Addition addition;
    if (!ReadAddition(step.argument, addition))
        return false;
    AnswerWizard(console, addition, true);
    return editor::AddFirstRecord(nullptr, name.c_str()) && !console.TakeErrors();
}

bool IsEmpty(const std::u16string& name) {
    store::Database database;
    database.SetReportErrors(false);
    if (database.Open(name.c_str()) == ce::INVALID_HANDLE_VALUE)
        return false;
    ce::CEDBASEINFO info{};
    return database.GetInfo(info) && info.wNumRecords == 0;
}

// The application's settings for the session, read from the device and not
// written back.
class SessionSettings {
public:
    SessionSettings() {
        appcore::App().settings = std::make_unique<appcore::Settings>();
        appcore::App().settings->SetWriteOnDestroy(false);
    }
    ~SessionSettings() { appcore::App().settings.reset(); }
    SessionSettings(const SessionSettings&) = delete;
    SessionSettings& operator=(const SessionSettings&) = delete;
};

}  // namespace

int Edit(const Args& args) {
    std::vector<std::string> plain = Positional(args, {"--record"});
    if (plain.size() < 2)
        return Usage("edit");
    std::u16string name = ce::Utf8ToWide(plain[0]);
    if (name.empty() || name.size() >= ce::CEDB_MAXDBASENAMELEN)
        return Fail("a database name has 1 to 31 characters");
    Options options;
    for (std::size_t i = 0; i + 1 < args.size(); ++i) {
        if (args[i] != "--record")
            continue;
        long long record = 0;
        if (!ParseNumber(args[i + 1], record) || record < 1 || record > 0xFFFF)
            return Fail("--record needs a record number from 1 to 65535");
        options.record = static_cast<unsigned>(record);
    }
    options.matchCase = HasFlag(args, "--match-case");
    options.numbersToo = HasFlag(args, "--numbers");
    std::vector<Step> steps;
    if (!ReadSteps(std::vector<std::string>(plain.begin() + 1, plain.end()), steps))
        return 1;

    ProgramSession program;
    auto console = std::make_shared<EditConsole>(HasFlag(args, "--yes"));
    ce::gui::ScopedBackend backend(std::make_unique<ce::gui::HeadlessBackend>(console));
    SessionSettings settings;
    if (steps.front().verb == "add-record" && IsEmpty(name)) {
        if (!AddFirstRecord(name, *console, steps.front()))
            return 1;
        steps.erase(steps.begin());
        if (steps.empty())
            return 0;
    }
    bool succeeded = false;
    auto act = [&](HWND dialog, ce::gui::ConsoleHost&) {
        succeeded = RunSteps(dialog, *console, steps, options);
    };
    console->AnswerDialog(res::IDD_EDITOR, act);
    console->AnswerDialog(res::IDD_EDITOR_WIDE, act);
    int closed = editor::RunRecordEditor(nullptr, name.c_str());
    return succeeded && closed == editor::kClosedDone ? 0 : 1;
}

}  // namespace devicectl
