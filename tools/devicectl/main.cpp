// devicectl: the companion command for a device directory. It works on the
// same volume through the same platform layer as the programs, and serves
// as "another process" in multi-process tests.

#include <clocale>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>

#include "platform/device/DeviceDirectory.h"
#include "platform/device/Volume.h"
#include "tools/devicectl/Commands.h"

namespace {

const char* kUsage =
    "usage: devicectl [--device DIR] COMMAND [ARGS]\n"
    "\n"
    "The device is DIR, else $TESSALY_DEVICE, else ~/.local/share/tessaly/device.\n"
    "\n"
    "  info                                  the device and its volume\n"
    "  list                                  every database\n"
    "  create NAME [--type N] [--sort PROPID[:FLAGS]]...\n"
    "                                        a new database (FLAGS: desc,nocase,unknownfirst)\n"
    "  delete NAME                           delete a database\n"
    "  dump NAME [--json]                    every record and property\n"
    "  add NAME ID:TYPE=VALUE...             a new record\n"
    "  set NAME RECORD ID:TYPE=VALUE...      write properties into a record\n"
    "  del-record NAME RECORD                delete a record\n"
    "  reg list|get|set|delete ...           registry keys and values\n"
    "  hold NAME SECONDS                     keep a database open\n"
    "  seed-demo                             fill the device with demo databases\n"
    "  lzw c|d                               compress or decompress a raw stream,\n"
    "                                        standard input to standard output\n"
    "  archive list FILE                     the databases of a backup archive\n"
    "  archive verify FILE                   read every block and record of an archive\n"
    "  script show FILE                      an Autobackup script\n"
    "  rbk list FILE                         the keys and values of a registry backup\n"
    "\n"
    "TYPE: INT UINT LONG ULONG FLOAT BOOLEAN DATE TEXT BINARY (binary as hex, dates as\n"
    "2026-12-08T06:18:51Z or a FILETIME count; \"ID:TEXT\" alone is an absent text).\n";

}  // namespace

int main(int argc, char** argv) {
    std::setlocale(LC_ALL, "");
    int i = 1;
    if (i + 1 < argc && std::strcmp(argv[i], "--device") == 0) {
        ce::device::SetDeviceDirectory(argv[i + 1]);
        i += 2;
    }
    if (i >= argc || std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
        std::fputs(kUsage, i >= argc ? stderr : stdout);
        return i >= argc ? 2 : 0;
    }
    std::string command = argv[i++];
    devicectl::Args args(argv + i, argv + argc);

    static const std::map<std::string, int (*)(const devicectl::Args&)> commands = {
        {"info", devicectl::Info},
        {"list", devicectl::List},
        {"create", devicectl::Create},
        {"delete", devicectl::Delete},
        {"dump", devicectl::Dump},
        {"add", devicectl::Add},
        {"set", devicectl::Set},
        {"del-record", devicectl::DeleteRecord},
        {"reg", devicectl::Registry},
        {"hold", devicectl::Hold},
        {"seed-demo", devicectl::SeedDemo},
    };
    // Looking into a file needs no device volume.
    static const std::map<std::string, int (*)(const devicectl::Args&)> fileCommands = {
        {"lzw", devicectl::Lzw},
        {"archive", devicectl::Archive},
        {"script", devicectl::Script},
        {"rbk", devicectl::Rbk},
    };
    if (auto file = fileCommands.find(command); file != fileCommands.end())
        return file->second(args);
    auto it = commands.find(command);
    if (it == commands.end()) {
        std::fprintf(stderr, "devicectl: unknown command \"%s\"\n\n%s", command.c_str(), kUsage);
        return 2;
    }
    std::string problem;
    if (!ce::device::EnsureDevice(&problem) || !ce::device::CheckVolume(&problem)) {
        return devicectl::Fail(problem);
    }
    return it->second(args);
}
