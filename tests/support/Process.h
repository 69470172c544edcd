#pragma once
// Starting real second processes from tests (devicectl, tessaly, peers).

#include <filesystem>
#include <string>
#include <vector>

namespace testing_support {

// A program built by this project: $TESSALY_BIN_DIR/name.
std::filesystem::path BuiltProgram(const std::string& name);

struct ProcessResult {
    int exitCode = -1;  // 128 + signal when killed
    std::string out;
    std::string err;
};

// Runs a program to its end with extra environment assignments ("K=V") and
// optional standard input; gives up (killing it) after `timeoutSeconds`.
ProcessResult RunProgram(const std::filesystem::path& program, const std::vector<std::string>& args,
                         const std::vector<std::string>& env = {}, const std::string& input = {},
                         int timeoutSeconds = 60);

// A program left running in the background until Wait or Kill.
class BackgroundProcess {
public:
    BackgroundProcess(const std::filesystem::path& program, const std::vector<std::string>& args,
                      const std::vector<std::string>& env = {});
    ~BackgroundProcess();
    BackgroundProcess(const BackgroundProcess&) = delete;
    BackgroundProcess& operator=(const BackgroundProcess&) = delete;

    int pid() const { return pid_; }
    // Waits until the process has written `text` to its standard output.
    bool WaitForOutput(const std::string& text, int timeoutSeconds = 30);
    const std::string& output() const { return out_; }
    void Signal(int signal);
    // Waits for the end; returns the exit code (128 + signal when killed).
    int Wait(int timeoutSeconds = 60);

private:
    void Drain(int timeoutMs);
    int pid_ = -1;
    int outFd_ = -1;
    std::string out_;
    bool finished_ = false;
    int exitCode_ = -1;
};

}  // namespace testing_support
