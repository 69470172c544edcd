#include "tests/support/Process.h"

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

extern char** environ;

namespace testing_support {
namespace {

std::vector<std::string> MergedEnvironment(const std::vector<std::string>& extra) {
    std::vector<std::string> env;
    for (char** e = environ; *e != nullptr; ++e) {
        std::string entry = *e;
        std::string key = entry.substr(0, entry.find('='));
        bool overridden = false;
        for (const auto& x : extra) {
            if (x.substr(0, x.find('=')) == key)
                overridden = true;
        }
        if (!overridden)
            env.push_back(entry);
    }
    env.insert(env.end(), extra.begin(), extra.end());
    return env;
}

std::vector<char*> Pointers(std::vector<std::string>& strings) {
    std::vector<char*> out;
    for (auto& s : strings)
        out.push_back(s.data());
    out.push_back(nullptr);
    return out;
}

int Spawn(const std::filesystem::path& program, const std::vector<std::string>& args,
          const std::vector<std::string>& env, int inFd, int outFd, int errFd) {
    std::vector<std::string> argv{program.string()};
    argv.insert(argv.end(), args.begin(), args.end());
    std::vector<std::string> envp = MergedEnvironment(env);
    auto argvp = Pointers(argv);
    auto envpp = Pointers(envp);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (inFd >= 0)
        posix_spawn_file_actions_adddup2(&actions, inFd, 0);
    else
        posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    if (outFd >= 0)
        posix_spawn_file_actions_adddup2(&actions, outFd, 1);
    if (errFd >= 0)
        posix_spawn_file_actions_adddup2(&actions, errFd, 2);
    pid_t pid = -1;
    int rc = posix_spawn(&pid, program.c_str(), &actions, nullptr, argvp.data(), envpp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0)
        throw std::runtime_error("cannot start " + program.string() + ": " + std::strerror(rc));
    return pid;
}

int DecodeStatus(int status) {
    if (WIFEXITED(status))
        return WEXITSTATUS(status);
    if (WIFSIGNALED(status))
        return 128 + WTERMSIG(status);
    return -1;
}

}  // namespace

std::filesystem::path BuiltProgram(const std::string& name) {
    const char* dir = std::getenv("TESSALY_BIN_DIR");
    if (dir == nullptr || *dir == 0) {
        // Run by hand: the tests live beside the programs.
        char self[4096];
        ssize_t n = ::readlink("/proc/self/exe", self, sizeof self - 1);
        if (n > 0) {
            self[n] = 0;
            return std::filesystem::path(self).parent_path() / name;
        }
        return name;
    }
    return std::filesystem::path(dir) / name;
}

ProcessResult RunProgram(const std::filesystem::path& program, const std::vector<std::string>& args,
                         const std::vector<std::string>& env, const std::string& input,
                         int timeoutSeconds) {
    int inPipe[2], outPipe[2], errPipe[2];
    if (::pipe2(inPipe, O_CLOEXEC) != 0 || ::pipe2(outPipe, O_CLOEXEC) != 0 ||
        ::pipe2(errPipe, O_CLOEXEC) != 0) {
        throw std::runtime_error("pipe failed");
    }
    int pid = Spawn(program, args, env, inPipe[0], outPipe[1], errPipe[1]);
    ::close(inPipe[0]);
    ::close(outPipe[1]);
    ::close(errPipe[1]);
    std::size_t written = 0;
    if (input.empty()) {
        ::close(inPipe[1]);
        inPipe[1] = -1;
    } else {
        ::fcntl(inPipe[1], F_SETFL, O_NONBLOCK);
    }
    ProcessResult result;
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(timeoutSeconds);
    bool outOpen = true, errOpen = true;
    while (outOpen || errOpen) {
        pollfd fds[3];
        int n = 0;
        if (outOpen)
            fds[n++] = {outPipe[0], POLLIN, 0};
        if (errOpen)
            fds[n++] = {errPipe[0], POLLIN, 0};
        if (inPipe[1] >= 0)
            fds[n++] = {inPipe[1], POLLOUT, 0};
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                        deadline - std::chrono::steady_clock::now())
                        .count();
        if (left <= 0) {
            ::kill(pid, SIGKILL);
            break;
        }
        if (::poll(fds, n, static_cast<int>(left)) < 0 && errno != EINTR)
            break;
        for (int i = 0; i < n; ++i) {
            if (fds[i].revents == 0)
                continue;
            if (fds[i].fd == inPipe[1]) {
                ssize_t w = ::write(inPipe[1], input.data() + written, input.size() - written);
                if (w > 0)
                    written += static_cast<std::size_t>(w);
                if (w < 0 || written == input.size()) {
                    ::close(inPipe[1]);
                    inPipe[1] = -1;
                }
                continue;
            }
            char buffer[4096];
            ssize_t r = ::read(fds[i].fd, buffer, sizeof buffer);
            std::string& sink = fds[i].fd == outPipe[0] ? result.out : result.err;
            if (r > 0) {
                sink.append(buffer, static_cast<std::size_t>(r));
            } else {
                if (fds[i].fd == outPipe[0])
                    outOpen = false;
                else
                    errOpen = false;
            }
        }
    }
    if (inPipe[1] >= 0)
        ::close(inPipe[1]);
    ::close(outPipe[0]);
    ::close(errPipe[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    result.exitCode = DecodeStatus(status);
    return result;
}

BackgroundProcess::BackgroundProcess(const std::filesystem::path& program,
                                     const std::vector<std::string>& args,
                                     const std::vector<std::string>& env) {
    int outPipe[2];
    if (::pipe2(outPipe, O_CLOEXEC) != 0)
        throw std::runtime_error("pipe failed");
    pid_ = Spawn(program, args, env, -1, outPipe[1], -1);
    ::close(outPipe[1]);
    outFd_ = outPipe[0];
}

BackgroundProcess::~BackgroundProcess() {
    if (!finished_ && pid_ > 0) {
        ::kill(pid_, SIGKILL);
        int status;
        ::waitpid(pid_, &status, 0);
    }
    if (outFd_ >= 0)
        ::close(outFd_);
}

void BackgroundProcess::Drain(int timeoutMs) {
    if (outFd_ < 0)
        return;
    pollfd fd{outFd_, POLLIN, 0};
    if (::poll(&fd, 1, timeoutMs) <= 0)
        return;
    char buffer[4096];
    ssize_t r = ::read(outFd_, buffer, sizeof buffer);
    if (r > 0) {
        out_.append(buffer, static_cast<std::size_t>(r));
    } else {
        ::close(outFd_);
        outFd_ = -1;
    }
}

bool BackgroundProcess::WaitForOutput(const std::string& text, int timeoutSeconds) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(timeoutSeconds);
    while (out_.find(text) == std::string::npos) {
        if (outFd_ < 0 || std::chrono::steady_clock::now() > deadline)
            return false;
        Drain(100);
    }
    return true;
}

void BackgroundProcess::Signal(int signal) {
    if (!finished_)
        ::kill(pid_, signal);
}

int BackgroundProcess::Wait(int timeoutSeconds) {
    if (finished_)
        return exitCode_;
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(timeoutSeconds);
    int status = 0;
    while (true) {
        pid_t r = ::waitpid(pid_, &status, WNOHANG);
        if (r == pid_)
            break;
        if (std::chrono::steady_clock::now() > deadline) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, &status, 0);
            break;
        }
        Drain(50);
    }
    while (outFd_ >= 0)
        Drain(50);
    finished_ = true;
    exitCode_ = DecodeStatus(status);
    return exitCode_;
}

}  // namespace testing_support
