// The infrared transfer of 1,000 records of about 200 bytes from this
// process (the program's own sender, on the console host) to a devicectl
// receiver in a private room: with the default pacing against its floor
// (50 ms times the sender's paced sends) and without pacing against a plain
// loopback TCP exchange of the same units and round trips in this process.
// The clock runs from the moment the receiver listens to the sender's end,
// so that neither program's start is inside it.

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "appcore/Application.h"
#include "appcore/EditionShell.h"
#include "bench/support/BenchReport.h"
#include "platform/device/DeviceDirectory.h"
#include "platform/gui/Backend.h"
#include "platform/gui/headless/ConsoleHost.h"
#include "platform/gui/headless/HeadlessBackend.h"
#include "platform/objectstore/ObjectStore.h"
#include "resources/Editions.h"
#include "shells/palm/PalmShell.h"
#include "transfer/Transfer.h"

namespace {

namespace fs = std::filesystem;
extern "C" char** environ;

constexpr int kRecords = 1000;
constexpr int kTextUnits = 92;  // 16 + 2 * 92 = 200 bytes of image

pid_t Spawn(const std::vector<std::string>& args, const std::vector<std::string>& env) {
    std::vector<std::string> environment;
    for (char** e = environ; *e != nullptr; ++e)
        environment.emplace_back(*e);
    environment.insert(environment.end(), env.begin(), env.end());
    std::vector<char*> argv, envp;
    for (const auto& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    for (const auto& e : environment)
        envp.push_back(const_cast<char*>(e.c_str()));
    envp.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = -1;
    posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}

int WaitFor(pid_t pid) {
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

void Fill(const fs::path& device) {
    ce::device::SetDeviceDirectory(device);
    std::string problem;
    ce::device::EnsureDevice(&problem);
    ce::CEOID db = ce::CeCreateDatabase(u"Bench", 0, 0, nullptr);
    ce::HANDLE h = ce::CeOpenDatabase(&db, nullptr, 0, 0, nullptr);
    std::u16string text(kTextUnits - 1, u'x');
    for (int i = 0; i < kRecords; ++i) {
        ce::CEPROPVAL value{};
        value.propid = ce::MakePropID(1, ce::CEVT_LPWSTR);
        value.val.lpwstr = text.data();
        ce::CeWriteRecordProps(h, 0, 1, &value);
    }
    ce::CloseHandle(h);
}

bool Listening(const fs::path& room) {
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(room, ec)) {
        if (entry.path().extension() == ".peer")
            return true;
    }
    return false;
}

// One beam from this process's device to `to` with the given pace: seconds
// from the receiver's listening to the sender's end, or -1 on failure.
double Beam(const fs::path& devicectl, const fs::path& room, const fs::path& to,
            const std::string& pace) {
    ::setenv("TESSALY_IR_PACE_MS", pace.c_str(), 1);
    std::vector<std::string> env{"TESSALY_IR_ROOM=" + room.string(), "TESSALY_IR_PACE_MS=" + pace};
    pid_t receiver = Spawn({devicectl, "--device", to, "beam", "receive", "--overwrite"}, env);
    while (!Listening(room))
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    auto start = std::chrono::steady_clock::now();
    transfer::Outcome sent = transfer::SendDatabase(nullptr, u"Bench");
    std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    int received = WaitFor(receiver);
    return sent == transfer::Outcome::Completed && received == 0 ? elapsed.count() : -1;
}

bool WriteAll(int fd, const char* data, std::size_t n) {
    while (n > 0) {
        ssize_t w = ::send(fd, data, n, MSG_NOSIGNAL);
        if (w <= 0)
            return false;
        data += w;
        n -= static_cast<std::size_t>(w);
    }
    return true;
}

bool ReadAll(int fd, char* data, std::size_t n) {
    while (n > 0) {
        ssize_t r = ::recv(fd, data, n, 0);
        if (r <= 0)
            return false;
        data += r;
        n -= static_cast<std::size_t>(r);
    }
    return true;
}

// The same units and acknowledgements over plain loopback TCP.
double PlainExchange() {
    int listener = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address);
    ::listen(listener, 1);
    socklen_t length = sizeof address;
    ::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length);
    auto start = std::chrono::steady_clock::now();
    std::thread receiver([listener] {
        int fd = ::accept(listener, nullptr, nullptr);
        int one = 1;
        ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
        char buffer[4096], ack[4] = {2, 0x11, 0, 0};
        ReadAll(fd, buffer, 120);
        WriteAll(fd, ack, 4);
        for (int i = 0; i < kRecords; ++i) {
            ReadAll(fd, buffer, 4);
            WriteAll(fd, ack, 4);
            ReadAll(fd, buffer, 16);
            WriteAll(fd, ack, 4);
            ReadAll(fd, buffer, 200);
            WriteAll(fd, ack, 4);
            WriteAll(fd, ack, 4);
        }
        ReadAll(fd, buffer, 4);
        ::close(fd);
    });
    int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    int one = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    char buffer[4096] = {}, ack[4];
    WriteAll(fd, buffer, 120);
    ReadAll(fd, ack, 4);
    for (int i = 0; i < kRecords; ++i) {
        WriteAll(fd, buffer, 4);
        ReadAll(fd, ack, 4);
        WriteAll(fd, buffer, 16);
        ReadAll(fd, ack, 4);
        WriteAll(fd, buffer, 200);
        ReadAll(fd, ack, 4);
        ReadAll(fd, ack, 4);
    }
    WriteAll(fd, buffer, 4);
    receiver.join();
    ::close(fd);
    ::close(listener);
    std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    return elapsed.count();
}

}  // namespace

int main() {
    fs::path devicectl = fs::canonical("/proc/self/exe").parent_path() / "devicectl";
    fs::path root =
        fs::temp_directory_path() / ("tessaly-bench-transfer-" + std::to_string(getpid()));
    fs::create_directories(root / "room");
    ::setenv("TESSALY_IR_ROOM", (root / "room").c_str(), 1);
    Fill(root / "b");
    Fill(root / "a");  // the sender's device, this process's from here on

    appcore::InstallShell(shells::MakePalmShell());
    appcore::App().instance = res::PalmEdition();
    std::FILE* quiet = std::fopen("/dev/null", "w");
    auto backend = std::make_unique<ce::gui::HeadlessBackend>(
        std::make_shared<ce::gui::ConsoleHost>(nullptr, quiet));
    backend->UseRealClock();
    ce::gui::ScopedBackend installed(std::move(backend));

    int status = 0;
    double paced = Beam(devicectl, root / "room", root / "b", "50");
    // Paced sends: three per record (its code, descriptor, one chunk) and XFER_END.
    double floor = 0.050 * (3 * kRecords + 1);
    if (paced < 0) {
        std::printf("paced transfer failed\n");
        status = 1;
    } else {
        bench::ReportRatio("1,000 records of 200 bytes, 50 ms pacing", paced, floor, 1.05,
                           "pacing floor");
    }
    bool failed = false;
    // The best of three exchanges, each timed by Beam from the receiver's
    // listening on, so that starting the receiving program is not counted.
    double unpaced = 1e300;
    for (int i = 0; i < 3; ++i) {
        double seconds = Beam(devicectl, root / "room", root / "b", "0");
        if (seconds < 0)
            failed = true;
        else
            unpaced = std::min(unpaced, seconds);
    }
    double plain = bench::BestSeconds([] { PlainExchange(); });
    if (failed) {
        std::printf("unpaced transfer failed\n");
        status = 1;
    }
    std::printf("%-58s %10.0f records/s\n", "1,000 records, pacing 0", kRecords / unpaced);
    bench::ReportRatio("1,000 records, pacing 0", unpaced, plain, 2.0, "loopback TCP");
    std::fclose(quiet);
    std::error_code ec;
    fs::remove_all(root, ec);
    return status;
}
