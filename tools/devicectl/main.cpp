// devicectl: the companion command for a device directory. It works on the
// same volume through the same platform layer as the programs, and serves
// as "another process" in multi-process tests.

#include <clocale>
#include <cstdio>
#include <cstring>
#include <exception>
#include <string>
#include <vector>

#include "platform/device/DeviceDirectory.h"
#include "platform/device/Volume.h"
#include "tools/devicectl/Commands.h"

namespace {

using devicectl::Args;

struct Option {
    const char* name;
    bool takesValue;
};

struct Command {
    const char* name;
    int (*run)(const Args&);
    const char* arguments;  // as the usage shows them
    const char* summary;
    std::vector<Option> options;
    // Looking into a file needs no device volume.
    bool needsVolume = true;
    // A row of its own for one verb of a command ("reg backup").
    const char* verb = nullptr;
};

const std::vector<Command>& Commands() {
    static const std::vector<Command> commands = {
        {"info", devicectl::Info, "", "the device and its volume", {}},
        {"list", devicectl::List, "[--json]", "every database", {{"--json", false}}},
        {"create",
         devicectl::Create,
         "NAME [--type N] [--sort PROPID[:FLAGS]]...",
         "a new database (FLAGS: desc,nocase,unknownfirst)",
         {{"--type", true}, {"--sort", true}}},
        {"delete", devicectl::Delete, "NAME", "delete a database", {}},
        {"dump",
         devicectl::Dump,
         "NAME [--json]",
         "every record and property",
         {{"--json", false}}},
        {"add", devicectl::Add, "NAME ID:TYPE=VALUE...", "a new record", {}},
        {"set",
         devicectl::Set,
         "NAME RECORD ID:TYPE=VALUE...",
         "write properties into a record",
         {}},
        {"del-record", devicectl::DeleteRecord, "NAME RECORD", "delete a record", {}},
        {"edit",
         devicectl::Edit,
         "NAME [--record N] [--yes] STEP...",
         "the record editor's own operations on record N\n(1, the first, by default); a question "
         "is\n"
         "answered from standard input, or Yes with --yes",
         {{"--record", true}, {"--yes", false}, {"--match-case", false}, {"--numbers", false}}},
        {"reg", devicectl::Registry, "list|get|set|delete ...", "registry keys and values", {}},
        {"beam",
         devicectl::Beam,
         "send NAME [--timeout SECONDS]",
         "send a database to the device that receives",
         {{"--rename", true}, {"--overwrite", false}, {"--timeout", true}}},
        {"beam",
         devicectl::Beam,
         "receive [--rename NEW | --overwrite] [--timeout SECONDS]",
         "receive a database from the device that sends;\nNEW or --overwrite when the name exists "
         "here",
         {{"--rename", true}, {"--overwrite", false}, {"--timeout", true}}},
        {"reg",
         devicectl::RegistryBackupCommand,
         "backup FILE [--root HKCR|HKLM|HKCU]... [--password]",
         "back up registry roots (every one without\n--root) into a registry backup file",
         {{"--root", true}, {"--password", false}},
         true,
         "backup"},
        {"reg",
         devicectl::RegistryRestoreCommand,
         "restore FILE [--root HKCR|HKLM|HKCU]... [--yes]",
         "restore a registry backup (its roots, or only\nthose given); --yes agrees to overwriting",
         {{"--root", true}, {"--yes", false}},
         true,
         "restore"},
        {"export",
         devicectl::Export,
         "NAME FILE [--tab] [--unicode] [--force]",
         "a database as comma- (or tab-) separated text,\n8-bit or UNICODE; --force replaces FILE",
         {{"--tab", false}, {"--unicode", false}, {"--force", false}}},
        {"hold", devicectl::Hold, "NAME SECONDS", "keep a database open", {}},
        {"seed-demo", devicectl::SeedDemo, "", "fill the device with demo databases", {}},
        {"lzw",
         devicectl::Lzw,
         "c|d",
         "compress or decompress a raw stream,\nstandard input to standard output",
         {},
         false},
        {"archive",
         devicectl::Archive,
         "list FILE",
         "the databases of a backup archive",
         {},
         false},
        {"archive",
         devicectl::Archive,
         "verify FILE",
         "read every block and record of an archive",
         {},
         false},
        {"script", devicectl::Script, "show FILE", "an Autobackup script", {}, false},
        {"rbk", devicectl::Rbk, "list FILE", "the keys and values of a registry backup", {}, false},
    };
    return commands;
}

const char* kEditSteps =
    "STEP (edit): set ID=VALUE, add ID:TYPE=VALUE, add-record ID:TYPE=VALUE,\n"
    "delete-property ID, delete-record, copy ID, cut ID, paste, undo, find TEXT\n"
    "[--match-case] [--numbers], sort N|unsorted, reload, show, first, previous,\n"
    "next, last. VALUE is typed into the editor as a person types it.\n";

const char* kTypes =
    "TYPE: INT UINT LONG ULONG FLOAT BOOLEAN DATE TEXT BINARY (binary as hex, dates as\n"
    "2026-12-08T06:18:51Z or a FILETIME count, FLOAT also nan, inf, -inf; \"ID:TEXT\" alone\n"
    "is an absent text).\n";

std::string CommandLine(const Command& c) {
    std::string line = c.name;
    if (*c.arguments != 0)
        line += std::string(" ") + c.arguments;
    return line;
}

std::string FullUsage() {
    std::string text =
        "usage: devicectl [--device DIR] COMMAND [ARGS]\n\n"
        "The device is DIR, else $TESSALY_DEVICE, else ~/.local/share/tessaly/device.\n\n";
    constexpr std::size_t kColumn = 38;
    const std::string indent(kColumn + 2, ' ');
    for (const Command& c : Commands()) {
        std::string line = "  " + CommandLine(c);
        line +=
            line.size() < kColumn + 2 ? std::string(kColumn + 2 - line.size(), ' ') : "\n" + indent;
        for (const char* s = c.summary; *s != 0; ++s)
            line += *s == '\n' ? "\n" + indent : std::string(1, *s);
        text += line + "\n";
    }
    return text + "\n" + kTypes + kEditSteps;
}

// Every "--" argument must be one of the command's options.
bool CheckOptions(const Command& command, const Args& args) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i].rfind("--", 0) != 0)
            continue;
        const Option* option = nullptr;
        for (const Option& o : command.options) {
            if (args[i] == o.name)
                option = &o;
        }
        if (option == nullptr) {
            std::fprintf(stderr, "devicectl: unknown option \"%s\"\n", args[i].c_str());
            return false;
        }
        if (option->takesValue && ++i >= args.size()) {
            std::fprintf(stderr, "devicectl: option \"%s\" needs a value\n", option->name);
            return false;
        }
    }
    return true;
}

int Run(int argc, char** argv) {
    std::setlocale(LC_ALL, "");
    int i = 1;
    if (i < argc && std::strcmp(argv[i], "--device") == 0) {
        if (i + 1 >= argc) {
            std::fprintf(stderr, "devicectl: option \"--device\" needs a value\n\n%s",
                         FullUsage().c_str());
            return 2;
        }
        ce::device::SetDeviceDirectory(argv[i + 1]);
        i += 2;
    }
    if (i >= argc || std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
        std::fputs(FullUsage().c_str(), i >= argc ? stderr : stdout);
        return i >= argc ? 2 : 0;
    }
    std::string name = argv[i++];
    Args args(argv + i, argv + argc);
    const Command* command = nullptr;
    for (const Command& c : Commands()) {
        if (name == c.name && c.verb != nullptr && !args.empty() && args[0] == c.verb)
            command = &c;
    }
    for (const Command& c : Commands()) {
        if (name == c.name && c.verb == nullptr && command == nullptr)
            command = &c;
    }
    if (command == nullptr) {
        std::fprintf(stderr, "devicectl: unknown command \"%s\"\n\n%s", name.c_str(),
                     FullUsage().c_str());
        return 2;
    }
    if (!CheckOptions(*command, args)) {
        std::fprintf(stderr, "%s\n", devicectl::UsageLine(name).c_str());
        return 2;
    }
    if (command->needsVolume) {
        std::string problem;
        if (!ce::device::EnsureDevice(&problem) || !ce::device::CheckVolume(&problem))
            return devicectl::Fail(problem);
    }
    return command->run(args);
}

}  // namespace

namespace devicectl {

std::string UsageLine(const std::string& command) {
    std::string usage;
    for (const Command& c : Commands()) {
        if (command == c.name)
            usage += std::string(usage.empty() ? "usage: devicectl " : " | ") + CommandLine(c);
    }
    return usage;
}

int Usage(const std::string& command) {
    return Fail(UsageLine(command));
}

}  // namespace devicectl

int main(int argc, char** argv) {
    // Whatever goes wrong inside, the caller gets a message and a status.
    try {
        return Run(argc, argv);
    } catch (const std::exception& e) {
        return devicectl::Fail(std::string("unexpected failure: ") + e.what());
    } catch (...) {
        return devicectl::Fail("unexpected failure");
    }
}
