// devicectl export: a database as comma- or tab-separated text, written by
// the program's own export code.

#include <algorithm>
#include <string>

#include "appcore/Application.h"
#include "export/TextExport.h"
#include "platform/core/Text.h"
#include "platform/files/Files.h"
#include "platform/shell/Shell.h"
#include "resources/Editions.h"
#include "resources/StringIds.h"
#include "shells/palm/PalmShell.h"
#include "tools/devicectl/Commands.h"
#include "tools/devicectl/ProgramCommands.h"
#include "ui/MessageBoxes.h"

namespace devicectl {

ProgramSession::ProgramSession()
    : shell_(std::make_unique<appcore::ScopedShell>(shells::MakePalmShell())) {
    appcore::App().instance = res::PalmEdition();
    ce::SetShellMessageCaption(ui::LoadText(res::IDS_PRODUCT).c_str());
}

ProgramSession::~ProgramSession() = default;

std::vector<std::string> Positional(const std::vector<std::string>& args,
                                    std::initializer_list<const char*> valued) {
    std::vector<std::string> plain;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i].rfind("--", 0) != 0) {
            plain.push_back(args[i]);
        } else if (std::any_of(valued.begin(), valued.end(),
                               [&](const char* o) { return args[i] == o; })) {
            ++i;
        }
    }
    return plain;
}

bool HasFlag(const std::vector<std::string>& args, const char* flag) {
    return std::find(args.begin(), args.end(), flag) != args.end();
}

int Export(const Args& args) {
    std::vector<std::string> plain = Positional(args);
    if (plain.size() != 2)
        return Usage("export");
    std::u16string name = ce::Utf8ToWide(plain[0]);
    std::u16string path = ce::Utf8ToWide(plain[1]);
    if (name.empty() || name.size() >= ce::CEDB_MAXDBASENAMELEN)
        return Fail("a database name has 1 to 31 characters");
    if (path.size() >= ce::MAX_PATH)
        return Fail("the file name is longer than 259 characters");
    if (ce::GetFileAttributesW(path.c_str()) != ce::INVALID_FILE_ATTRIBUTES &&
        !HasFlag(args, "--force")) {
        return Fail("\"" + plain[1] + "\" exists; --force replaces it");
    }

    ProgramSession session;
    textexport::ExportOptions options;
    options.fileType =
        HasFlag(args, "--tab") ? textexport::kTabSeparated : textexport::kCommaSeparated;
    options.unicode = HasFlag(args, "--unicode");
    ce::CopyWide(options.fileName, path);
    options.file = ce::CreateFileW(path.c_str(), ce::GENERIC_WRITE, 0, nullptr, ce::CREATE_ALWAYS,
                                   ce::FILE_ATTRIBUTE_NORMAL, nullptr);
    if (options.file == ce::INVALID_HANDLE_VALUE) {
        ui::MessageByIdWith(nullptr, res::IDS_CANT_CREATE_BACKUP, path.c_str(), ui::kErrorStyle);
        return 1;
    }
    return textexport::WriteExport(name.c_str(), options) ? 0 : 1;
}

}  // namespace devicectl
