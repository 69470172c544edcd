// The unattended backup, Autobackup and restore as cron and a shell meet
// them: real programs on real devices, other processes holding databases
// open or writing meanwhile, and the exit statuses.

#include <gtest/gtest.h>
#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "backup/ArchiveFormat.h"
#include "backup/LzwCodec.h"
#include "backup/Password.h"
#include "backup/ScriptFile.h"
#include "platform/core/Text.h"
#include "tests/support/Process.h"
#include "tests/support/TempDevice.h"

namespace {

using testing_support::BackgroundProcess;
using testing_support::BuiltProgram;
using testing_support::ProcessResult;
using testing_support::RunProgram;
using testing_support::TempDirectory;

class BackupCommandLineTest : public ::testing::Test {
protected:
    std::string Device(const char* name) const { return (directory_.path() / name).string(); }
    std::string File(const char* name) const { return (directory_.path() / name).string(); }

    ProcessResult Tessaly(const char* device, const std::vector<std::string>& args,
                          const std::string& input = {}) {
        return RunProgram(BuiltProgram("tessaly"), args, {"TESSALY_DEVICE=" + Device(device)},
                          input);
    }
    ProcessResult Devicectl(const char* device, const std::vector<std::string>& args) {
        std::vector<std::string> all = {"--device", Device(device)};
        all.insert(all.end(), args.begin(), args.end());
        return RunProgram(BuiltProgram("devicectl"), all);
    }

    // The names of the device's databases, without the system ones.
    std::set<std::string> Names(const char* device) {
        ProcessResult r = Devicectl(device, {"list", "--json"});
        EXPECT_EQ(r.exitCode, 0) << r.err;
        std::set<std::string> names;
        std::regex name("\"name\":\"((?:[^\"\\\\]|\\\\.)*)\"");
        for (auto it = std::sregex_iterator(r.out.begin(), r.out.end(), name);
             it != std::sregex_iterator(); ++it) {
            std::string n = (*it)[1];
            if (n.rfind("\\\\", 0) != 0)
                names.insert(n);
        }
        return names;
    }

    // A database's records and properties, without the record identifiers.
    std::string Contents(const char* device, const std::string& name) {
        ProcessResult r = Devicectl(device, {"dump", name, "--json"});
        EXPECT_EQ(r.exitCode, 0) << r.err;
        return std::regex_replace(r.out, std::regex("\"oid\":[0-9]+"), "\"oid\":0");
    }

    std::string Oid(const char* device, const std::string& name) {
        ProcessResult r = Devicectl(device, {"list", "--json"});
        std::smatch m;
        std::regex row("\\{\"oid\":([0-9]+),\"name\":\"" + name + "\"");
        return std::regex_search(r.out, m, row) ? m[1].str() : std::string();
    }

    void ExpectSameDatabases(const char* original, const char* restored) {
        std::set<std::string> names = Names(original);
        ASSERT_FALSE(names.empty());
        EXPECT_EQ(Names(restored), names);
        for (const std::string& name : names)
            EXPECT_EQ(Contents(restored, name), Contents(original, name)) << name;
    }

    TempDirectory directory_;
};

TEST_F(BackupCommandLineTest, ADemoDeviceComesBackWholeOnAFreshDevice) {
    ASSERT_EQ(Devicectl("a", {"seed-demo"}).exitCode, 0);
    ProcessResult backup = Tessaly("a", {"/B", File("x.bkp"), "/D", "/I"});
    ASSERT_EQ(backup.exitCode, 0) << backup.err;
    EXPECT_EQ(backup.err, "");
    EXPECT_EQ(Devicectl("a", {"archive", "verify", File("x.bkp")}).exitCode, 0);
    ProcessResult restore = Tessaly("b", {"/R", File("x.bkp"), "/D", "/I", "/S"});
    ASSERT_EQ(restore.exitCode, 0) << restore.err;
    ExpectSameDatabases("a", "b");
}

// The same archive uncompressed, every block's header and records unpacked
// (the command line only writes compressed ones). Empty when `packed` is
// not a compressed archive this test can read.
std::vector<ce::BYTE> Unpacked(const std::vector<ce::BYTE>& packed) {
    using namespace backup;
    auto at = [&](std::size_t offset, std::size_t length) {
        return offset <= packed.size() && length <= packed.size() - offset;
    };
    if (!at(0, kArchiveHeaderSize))
        return {};
    ArchiveHeader header = DecodeArchiveHeader(
        std::span<const ce::BYTE, kArchiveHeaderSize>(packed.data(), kArchiveHeaderSize));
    if (!header.IsCompressed() || !at(0, header.firstBlock))
        return {};
    header.compressed = 0;
    auto encoded = EncodeArchiveHeader(header);
    std::vector<ce::BYTE> out(encoded.begin(), encoded.end());
    out.insert(out.end(), packed.begin() + kArchiveHeaderSize, packed.begin() + header.firstBlock);
    LzwCodec codec;
    if (!codec.AllocateWorkArea())
        return {};
    std::size_t block = header.firstBlock;
    for (ce::DWORD i = 0; i < header.databaseCount; ++i) {
        if (!at(block, kBlockPrefixSize))
            return {};
        BlockPrefix prefix = DecodeBlockPrefix(
            std::span<const ce::BYTE, kBlockPrefixSize>(&packed[block], kBlockPrefixSize));
        std::size_t from = block + kBlockPrefixSize;
        if (!at(from, prefix.headerLength) ||
            !codec.Decompress(&packed[from], prefix.headerLength) ||
            codec.OutputLength() != kDatabaseHeaderSize)
            return {};
        DatabaseHeader database = DecodeDatabaseHeader(
            std::span<const ce::BYTE, kDatabaseHeaderSize>(codec.Output(), kDatabaseHeaderSize));
        std::size_t headerAt = out.size();
        out.resize(out.size() + kDatabaseHeaderSize);
        from += prefix.headerLength;
        for (ce::WORD r = 0; r < database.info.wNumRecords; ++r) {
            if (!at(from, kRecordHeaderSize))
                return {};
            RecordHeader record = DecodeRecordHeader(
                std::span<const ce::BYTE, kRecordHeaderSize>(&packed[from], kRecordHeaderSize));
            from += kRecordHeaderSize;
            if (!at(from, record.length) || !codec.Decompress(&packed[from], record.length))
                return {};
            from += record.length;
            record.length = static_cast<ce::DWORD>(codec.OutputLength());
            auto bytes = EncodeRecordHeader(record);
            out.insert(out.end(), bytes.begin(), bytes.end());
            out.insert(out.end(), codec.Output(), codec.Output() + codec.OutputLength());
        }
        database.nextBlock = static_cast<ce::DWORD>(out.size());
        auto bytes = EncodeDatabaseHeader(database);
        std::copy(bytes.begin(), bytes.end(), out.begin() + static_cast<long>(headerAt));
        block = prefix.nextBlock;
    }
    return out;
}

std::vector<ce::BYTE> ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<ce::BYTE>(std::istreambuf_iterator<char>(in), {});
}

void WriteBytes(const std::string& path, const std::vector<ce::BYTE>& bytes) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<long>(bytes.size()));
}

TEST_F(BackupCommandLineTest, AnUncompressedArchiveComesBackWholeOnAFreshDevice) {
    ASSERT_EQ(Devicectl("a", {"seed-demo"}).exitCode, 0);
    ASSERT_EQ(Tessaly("a", {"/B", File("x.bkp"), "/D", "/I"}).exitCode, 0);
    std::vector<ce::BYTE> plain = Unpacked(ReadBytes(File("x.bkp")));
    ASSERT_FALSE(plain.empty());
    WriteBytes(File("plain.bkp"), plain);
    ProcessResult listed = Devicectl("a", {"archive", "list", File("plain.bkp")});
    ASSERT_EQ(listed.exitCode, 0) << listed.err;
    EXPECT_NE(listed.out.find("not compressed"), std::string::npos) << listed.out;
    EXPECT_EQ(Devicectl("a", {"archive", "verify", File("plain.bkp")}).exitCode, 0);
    ProcessResult restore = Tessaly("b", {"/R", File("plain.bkp"), "/D", "/I", "/S"});
    ASSERT_EQ(restore.exitCode, 0) << restore.err;
    ExpectSameDatabases("a", "b");
}

TEST_F(BackupCommandLineTest, AProtectedArchiveFromAScriptNeedsItsPassword) {
    ASSERT_EQ(Devicectl("a", {"seed-demo"}).exitCode, 0);
    // A script naming every demo database, protected by a password.
    backup::ScriptHeader header;
    ce::CopyWide(header.archiveName, ce::Utf8ToWide(File("locked.bkp")));
    std::u16string password = u"open sesame";
    ce::CopyWide(header.password, password);
    backup::ScramblePassword(header.password);
    std::set<std::string> names = Names("a");
    header.databaseCount = static_cast<ce::DWORD>(names.size());
    {
        std::ofstream script(File("run.abk"), std::ios::binary);
        auto bytes = backup::EncodeScriptHeader(header);
        script.write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
        for (const std::string& name : names) {
            auto entry = backup::EncodeScriptEntry(ce::Utf8ToWide(name));
            script.write(reinterpret_cast<const char*>(entry.data()), entry.size());
        }
    }
    ProcessResult run = Tessaly("a", {"/A", File("run.abk"), "/D", "/I"});
    ASSERT_EQ(run.exitCode, 0) << run.err;

    // A wrong password, then no more input: nothing is restored.
    ProcessResult wrong = Tessaly("b", {"/R", File("locked.bkp"), "/D", "/I"}, "guess\n");
    EXPECT_EQ(wrong.exitCode, 1);
    EXPECT_TRUE(Names("b").empty());
    ProcessResult right = Tessaly("b", {"/R", File("locked.bkp"), "/D", "/I"}, "open sesame\n");
    ASSERT_EQ(right.exitCode, 0) << right.err;
    ExpectSameDatabases("a", "b");
}

TEST_F(BackupCommandLineTest, EachBadArchiveGivesOneMessageAndStatus1) {
    ASSERT_EQ(Devicectl("a", {"create", "Notes"}).exitCode, 0);
    std::filesystem::create_directory(directory_.path() / "folder.bkp");
    std::ofstream(File("damaged.bkp"), std::ios::binary) << "TS01 and then nothing of use at all";
    for (const std::string& file : {File("missing.bkp"), File("folder.bkp"), File("damaged.bkp")}) {
        ProcessResult r = Tessaly("a", {"/R", file, "/D"});
        EXPECT_EQ(r.exitCode, 1) << file;
        // One message line, whatever the damage.
        EXPECT_EQ(r.err.rfind("Tessaly: ", 0), 0u) << r.err;
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
    }
    ProcessResult script = Tessaly("a", {"/A", File("missing.abk"), "/D"});
    EXPECT_EQ(script.exitCode, 1);
    EXPECT_NE(script.err.find("Autobackup script file"), std::string::npos) << script.err;

    // An archive that cannot be created leaves nothing behind.
    ProcessResult backup = Tessaly("a", {"/B", File("no/such/folder/x.bkp"), "/D"});
    EXPECT_EQ(backup.exitCode, 1);
    EXPECT_NE(backup.err.find("Couldn't create a new backup file"), std::string::npos);
    // A good run says nothing and ends with 0; asked to be silent, even failures are quiet.
    EXPECT_EQ(Tessaly("a", {"/B", File("ok.bkp"), "/D", "/I", "/P"}).exitCode, 0);
    ProcessResult quiet = Tessaly("a", {"/R", File("missing.bkp"), "/D", "/I"});
    EXPECT_EQ(quiet.exitCode, 1);
    EXPECT_EQ(quiet.err, "");
}

TEST_F(BackupCommandLineTest, ADatabaseHeldByAnotherProcessIsRefilledInPlaceOnYes) {
    ASSERT_EQ(Devicectl("a", {"create", "Held"}).exitCode, 0);
    for (const char* text : {"1:TEXT=one", "1:TEXT=two"})
        ASSERT_EQ(Devicectl("a", {"add", "Held", text}).exitCode, 0);
    ASSERT_EQ(Tessaly("a", {"/B", File("held.bkp"), "/D", "/I"}).exitCode, 0);
    ASSERT_EQ(Devicectl("a", {"add", "Held", "1:TEXT=three"}).exitCode, 0);
    const std::string changed = Contents("a", "Held");
    const std::string oid = Oid("a", "Held");
    ASSERT_FALSE(oid.empty());

    BackgroundProcess hold(BuiltProgram("devicectl"), {"hold", "Held", "60"},
                           {"TESSALY_DEVICE=" + Device("a")});
    ASSERT_TRUE(hold.WaitForOutput("holding"));
    // No: passed over, the run says it did not do all it was asked.
    ProcessResult no = Tessaly("a", {"/R", File("held.bkp"), "/D"}, "n\n");
    EXPECT_EQ(no.exitCode, 1);
    EXPECT_NE(no.err.find("is in use by another application"), std::string::npos) << no.err;
    EXPECT_EQ(Contents("a", "Held"), changed);
    // Yes: the same database, with the archived records.
    ProcessResult yes = Tessaly("a", {"/R", File("held.bkp"), "/D"}, "y\n");
    EXPECT_EQ(yes.exitCode, 0) << yes.err;
    EXPECT_EQ(Oid("a", "Held"), oid);
    std::string restored = Contents("a", "Held");
    EXPECT_NE(restored.find("\"two\""), std::string::npos) << restored;
    EXPECT_EQ(restored.find("\"three\""), std::string::npos) << restored;
    hold.Signal(SIGTERM);
    hold.Wait();
}

TEST_F(BackupCommandLineTest, ABackupTakenWhileAnotherProcessWritesIsWhole) {
    ASSERT_EQ(Devicectl("a", {"create", "Busy"}).exitCode, 0);
    std::string writer = "for i in $(seq 1 150); do \"" + BuiltProgram("devicectl").string() +
                         "\" add Busy 1:TEXT=record$i >/dev/null || exit 1; done; echo done";
    BackgroundProcess writing("/bin/sh", {"-c", writer}, {"TESSALY_DEVICE=" + Device("a")});
    int backups = 0;
    while (backups < 20 && writing.output().find("done") == std::string::npos) {
        ProcessResult r = Tessaly("a", {"/B", File("busy.bkp"), "/D", "/I"}, "y\n");
        ASSERT_EQ(r.exitCode, 0) << r.err;
        ProcessResult verify = Devicectl("a", {"archive", "verify", File("busy.bkp")});
        ASSERT_EQ(verify.exitCode, 0) << verify.out << verify.err;
        ++backups;
        writing.WaitForOutput("done", 0);
    }
    EXPECT_EQ(writing.Wait(), 0);
    EXPECT_GT(backups, 0);
}

// Runs tessaly with its standard error (and input) on a terminal; returns
// what the terminal showed.
std::string OnATerminal(const std::string& device, const std::vector<std::string>& args) {
    int controller = -1;
    pid_t child = forkpty(&controller, nullptr, nullptr, nullptr);
    if (child == 0) {
        setenv("TESSALY_DEVICE", device.c_str(), 1);
        // Standard output away from the terminal: only standard error is on it.
        freopen("/dev/null", "w", stdout);
        std::string program = BuiltProgram("tessaly").string();
        std::vector<char*> argv = {program.data()};
        std::vector<std::string> copies = args;
        for (std::string& a : copies)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        execv(program.c_str(), argv.data());
        _exit(127);
    }
    std::string shown;
    char buffer[4096];
    for (ssize_t n; (n = read(controller, buffer, sizeof buffer)) > 0;)
        shown.append(buffer, static_cast<std::size_t>(n));
    close(controller);
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << shown;
    return shown;
}

TEST_F(BackupCommandLineTest, ProgressIsALineRedrawnOnATerminalAndNothingInAPipe) {
    ASSERT_EQ(Devicectl("a", {"create", "Notes"}).exitCode, 0);
    for (const char* text : {"1:TEXT=one", "1:TEXT=two", "1:TEXT=three"})
        ASSERT_EQ(Devicectl("a", {"add", "Notes", text}).exitCode, 0);
    std::string shown = OnATerminal(Device("a"), {"/B", File("t.bkp"), "/D"});
    EXPECT_NE(shown.find("\rStoring Database \"Notes\" Record 3 of 3"), std::string::npos) << shown;
    EXPECT_EQ(shown.find("Tessaly:"), std::string::npos) << shown;
    // Not with /P, nor with /I.
    std::filesystem::remove(File("t.bkp"));
    EXPECT_EQ(OnATerminal(Device("a"), {"/B", File("t.bkp"), "/D", "/P"}), "");
    std::filesystem::remove(File("t.bkp"));
    EXPECT_EQ(OnATerminal(Device("a"), {"/B", File("t.bkp"), "/D", "/I"}), "");
    // In a pipe there is no progress line.
    std::filesystem::remove(File("t.bkp"));
    ProcessResult piped = Tessaly("a", {"/B", File("t.bkp"), "/D"});
    EXPECT_EQ(piped.exitCode, 0);
    EXPECT_EQ(piped.err, "");
}

}  // namespace
