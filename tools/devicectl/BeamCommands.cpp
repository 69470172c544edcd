// devicectl beam: the infrared transfer's two roles on the console host. The
// sender's and receiver's code is the program's own (transfer/); status lines
// and messages go to standard error, and the receiver's "already exists"
// question is read from standard input unless an option answers it.

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>

#include "appcore/Application.h"
#include "appcore/EditionShell.h"
#include "platform/core/Text.h"
#include "platform/core/UniqueResource.h"
#include "platform/core/WideFormat.h"
#include "platform/gui/headless/ConsoleHost.h"
#include "platform/gui/headless/HeadlessBackend.h"
#include "platform/objectstore/ObjectStore.h"
#include "platform/shell/Shell.h"
#include "resources/Editions.h"
#include "resources/StringIds.h"
#include "shells/palm/PalmShell.h"
#include "tools/devicectl/Commands.h"
#include "transfer/Transfer.h"
#include "transfer/TransferWindow.h"
#include "ui/MessageBoxes.h"

namespace devicectl {
namespace {

using ce::WCHAR;
using transfer::ExistsAnswer;

void CancelOnSignal(int) {
    transfer::RequestCancelFromSignal();
}

// The program's setting for a transfer: its resources and shell, and the
// headless backend whose user is this console.
class ConsoleProgram {
public:
    ConsoleProgram() {
        appcore::InstallShell(shells::MakePalmShell());
        appcore::App().instance = res::PalmEdition();
        ce::SetShellMessageCaption(ui::LoadText(res::IDS_PRODUCT).c_str());
        auto backend =
            std::make_unique<ce::gui::HeadlessBackend>(std::make_shared<ce::gui::ConsoleHost>());
        backend->UseRealClock();
        ce::gui::InstallBackend(std::move(backend));
        // An interrupt cancels the transfer as a confirmed Cancel would.
        std::signal(SIGINT, &CancelOnSignal);
        std::signal(SIGTERM, &CancelOnSignal);
    }
};

struct BeamOptions {
    std::string name;
    std::optional<std::string> rename;
    bool overwrite = false;
    int timeoutMs = 0;
};

bool DatabaseExists(const std::u16string& name) {
    ce::CEOID oid = 0;
    ce::UniqueHandle handle(ce::CeOpenDatabase(&oid, name.c_str(), 0, 0, nullptr));
    return static_cast<bool>(handle);
}

// A name for a database: 1 to 31 UTF-16 units.
bool ValidName(const std::u16string& name) {
    return !name.empty() && name.size() <= ce::CEDB_MAXDBASENAMELEN - 1;
}

bool NewName(const std::u16string& name, WCHAR (&target)[store::kDatabaseNameUnits]) {
    if (!ValidName(name)) {
        Fail("a database name has 1 to 31 characters");
        return false;
    }
    if (DatabaseExists(name)) {
        Fail("database \"" + ce::WideToUtf8(name) + "\" exists too");
        return false;
    }
    ce::CopyWide(target, name);
    return true;
}

ExistsAnswer AskOnConsole(const WCHAR* name) {
    ce::gui::ConsoleHost* console = ce::gui::CurrentConsole();
    std::u16string question = ce::FormatWide(ui::LoadText(res::IDS_DATABASE_EXISTS), {name});
    std::optional<std::u16string> line = console->ReadLine(
        u"Tessaly: " + question + u" Rename, Overwrite or Cancel? [r/o/c] ", false);
    if (!line || line->empty())
        return ExistsAnswer::Cancel;
    char16_t c = (*line)[0];
    if (c == u'r' || c == u'R')
        return ExistsAnswer::Rename;
    if (c == u'o' || c == u'O')
        return ExistsAnswer::Overwrite;
    return ExistsAnswer::Cancel;
}

transfer::ReceiveQuestions QuestionsFor(const BeamOptions& options) {
    transfer::ReceiveQuestions questions;
    questions.askExists = [&options](const WCHAR* name, ce::HWND) {
        if (options.rename)
            return ExistsAnswer::Rename;
        if (options.overwrite)
            return ExistsAnswer::Overwrite;
        return AskOnConsole(name);
    };
    questions.askNewName = [&options](const WCHAR*, WCHAR(&target)[store::kDatabaseNameUnits],
                                      ce::HWND) {
        if (options.rename)
            return NewName(ce::Utf8ToWide(*options.rename), target);
        std::optional<std::u16string> line =
            ce::gui::CurrentConsole()->ReadLine(u"Tessaly: New name: ", false);
        return line && NewName(*line, target);
    };
    return questions;
}

int Finish(transfer::Outcome outcome, const BeamOptions& options) {
    if (outcome == transfer::Outcome::Completed)
        return 0;
    if (outcome == transfer::Outcome::NoPeer) {
        return Fail("no device found within " + std::to_string(options.timeoutMs / 1000) +
                    " seconds");
    }
    return 1;
}

// Reads the options after "send NAME" or "receive"; false after a usage message.
bool ParseOptions(const Args& args, bool sending, BeamOptions& options) {
    std::size_t i = 1;
    if (sending) {
        if (args.size() < 2 || args[1].rfind("--", 0) == 0)
            return false;
        options.name = args[1];
        i = 2;
    }
    for (; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--timeout" && i + 1 < args.size()) {
            char* end = nullptr;
            long seconds = std::strtol(args[++i].c_str(), &end, 10);
            if (*end != 0 || seconds <= 0 || seconds > 86400 || args[i].empty())
                return false;
            options.timeoutMs = static_cast<int>(seconds * 1000);
        } else if (!sending && a == "--rename" && i + 1 < args.size() && !options.overwrite) {
            options.rename = args[++i];
        } else if (!sending && a == "--overwrite" && !options.rename) {
            options.overwrite = true;
        } else {
            return false;
        }
    }
    return true;
}

}  // namespace

int Beam(const Args& args) {
    bool sending = !args.empty() && args[0] == "send";
    bool receiving = !args.empty() && args[0] == "receive";
    BeamOptions options;
    if ((!sending && !receiving) || !ParseOptions(args, sending, options)) {
        Usage("beam");
        return 2;
    }
    if (sending && !ValidName(ce::Utf8ToWide(options.name)))
        return Fail("a database name has 1 to 31 characters");
    ConsoleProgram program;
    transfer::SearchLimit limit{options.timeoutMs};
    if (sending) {
        std::u16string name = ce::Utf8ToWide(options.name);
        return Finish(transfer::SendDatabase(nullptr, name.c_str(), limit), options);
    }
    return Finish(transfer::ReceiveDatabase(nullptr, QuestionsFor(options), limit), options);
}

}  // namespace devicectl
