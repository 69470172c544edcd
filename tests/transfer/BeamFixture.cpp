#include "tests/transfer/BeamFixture.h"

#include <chrono>
#include <cstdlib>
#include <regex>
#include <thread>

namespace transfer_tests {

using testing_support::BuiltProgram;

BeamFixture::BeamFixture()
    : room_(root_.path() / "room"),
      sender_(root_.path() / "sender"),
      receiver_(root_.path() / "receiver") {
    std::filesystem::create_directories(room_);
    ::setenv("TESSALY_IR_ROOM", room_.c_str(), 1);
    ::setenv("TESSALY_IR_PACE_MS", "0", 1);
    ::setenv("TESSALY_IR_SILENCE_MS", "4000", 1);
    // Both devices exist before anything is beamed.
    Ctl(sender_, {"info"});
    Ctl(receiver_, {"info"});
}

BeamFixture::~BeamFixture() {
    ::unsetenv("TESSALY_IR_ROOM");
    ::unsetenv("TESSALY_IR_PACE_MS");
    ::unsetenv("TESSALY_IR_SILENCE_MS");
}

ProcessResult BeamFixture::Ctl(const std::filesystem::path& device,
                               const std::vector<std::string>& args, const std::string& input,
                               const std::vector<std::string>& env) {
    std::vector<std::string> all{"--device", device.string()};
    all.insert(all.end(), args.begin(), args.end());
    return testing_support::RunProgram(BuiltProgram("devicectl"), all, env, input, 60);
}

std::unique_ptr<BackgroundProcess> BeamFixture::Start(const std::filesystem::path& device,
                                                      const std::vector<std::string>& args,
                                                      const std::vector<std::string>& env) {
    std::vector<std::string> all{"-c", "exec \"$0\" \"$@\" 2>&1",
                                 BuiltProgram("devicectl").string(), "--device", device.string()};
    all.insert(all.end(), args.begin(), args.end());
    return std::make_unique<BackgroundProcess>("/bin/sh", all, env);
}

bool BeamFixture::WaitForListener(int timeoutSeconds) {
    auto end = std::chrono::steady_clock::now() + std::chrono::seconds(timeoutSeconds);
    while (std::chrono::steady_clock::now() < end) {
        for (const auto& entry : std::filesystem::directory_iterator(room_)) {
            if (entry.path().extension() == ".peer")
                return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return false;
}

bool BeamFixture::WaitFor(BackgroundProcess& process, const std::string& text, int seconds) {
    return process.WaitForOutput(text, seconds);
}

void BeamFixture::Fill(const std::filesystem::path& device, const std::string& name,
                       const std::vector<std::string>& createOptions,
                       const std::vector<std::vector<std::string>>& records) {
    std::vector<std::string> create{"create", name};
    create.insert(create.end(), createOptions.begin(), createOptions.end());
    ASSERT_EQ(Ctl(device, create).exitCode, 0);
    for (const std::vector<std::string>& record : records) {
        std::vector<std::string> add{"add", name};
        add.insert(add.end(), record.begin(), record.end());
        ProcessResult added = Ctl(device, add);
        ASSERT_EQ(added.exitCode, 0) << added.err;
    }
}

std::string BeamFixture::Dump(const std::filesystem::path& device, const std::string& name) {
    ProcessResult dump = Ctl(device, {"dump", name, "--json"});
    if (dump.exitCode != 0)
        return {};
    return std::regex_replace(dump.out, std::regex("\"oid\":[0-9]+,"), "");
}

std::vector<std::string> BeamFixture::Names(const std::filesystem::path& device) {
    ProcessResult list = Ctl(device, {"list", "--json"});
    std::vector<std::string> names;
    std::regex name("\"name\":\"((?:[^\"\\\\]|\\\\.)*)\"");
    for (auto it = std::sregex_iterator(list.out.begin(), list.out.end(), name);
         it != std::sregex_iterator(); ++it) {
        names.push_back((*it)[1]);
    }
    return names;
}

std::string BlobProperty(int id, std::size_t bytes) {
    static const char* kHex = "0123456789abcdef";
    std::string text = std::to_string(id) + ":BINARY=";
    for (std::size_t i = 0; i < bytes; ++i) {
        unsigned char b = static_cast<unsigned char>(i * 7 + 3);
        text += kHex[b >> 4];
        text += kHex[b & 15];
    }
    return text;
}

}  // namespace transfer_tests
