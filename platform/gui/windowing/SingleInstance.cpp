// Top-level windows seen across processes, and what arrives from outside
// the message queue. A program's top-level window is announced on a Unix
// socket in the abstract namespace named after the device directory and the
// window's class, so a second process on the same device finds it
// (FindWindowW) and can ask for it to be brought forward; the socket
// vanishes with the process. Between its waits the message loop also asks
// the registered message sources (object-store notifications).

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>
#include <map>

#include "platform/core/MessageSources.h"
#include "platform/core/Text.h"
#include "platform/core/UniqueResource.h"
#include "platform/device/DeviceDirectory.h"
#include "platform/gui/windowing/WindowSystem.h"

namespace ce::gui {
namespace {

constexpr int kReplyTimeoutMs = 2000;

struct Listener {
    UniqueFd socket;
    HWND window = nullptr;
};

// By lower-case class name.
std::map<std::u16string, Listener>& Listeners() {
    static auto* listeners = new std::map<std::u16string, Listener>;
    return *listeners;
}

std::string Address(std::u16string_view className) {
    std::error_code error;
    std::filesystem::path device =
        std::filesystem::weakly_canonical(device::DeviceDirectory(), error);
    std::string key = (error ? device::DeviceDirectory() : device).string();
    std::uint64_t hash = 1469598103934665603ULL;
    for (unsigned char c : key) {
        hash ^= c;
        hash *= 1099511628211ULL;
    }
    char prefix[40];
    std::snprintf(prefix, sizeof prefix, "tessaly/%016llx/", static_cast<unsigned long long>(hash));
    std::string name = prefix + WideToUtf8(ToLowerWide(className));
    if (name.size() > 100)
        name.resize(100);
    return name;
}

socklen_t Fill(sockaddr_un& address, const std::string& name) {
    std::memset(&address, 0, sizeof address);
    address.sun_family = AF_UNIX;
    // A leading zero byte puts the name in the abstract namespace.
    std::memcpy(address.sun_path + 1, name.data(), name.size());
    return static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + name.size());
}

// A connection to the listener of that name; empty when none answers.
UniqueFd Connect(const std::string& name) {
    UniqueFd fd(socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
    if (!fd)
        return fd;
    sockaddr_un address;
    socklen_t length = Fill(address, name);
    if (connect(fd.get(), reinterpret_cast<sockaddr*>(&address), length) != 0)
        fd.reset();
    return fd;
}

// Reads one short line, waiting at most `timeoutMs`.
std::string ReadLine(int fd, int timeoutMs) {
    std::string line;
    char c;
    while (line.size() < 32) {
        pollfd p{fd, POLLIN, 0};
        if (poll(&p, 1, timeoutMs) <= 0)
            break;
        if (read(fd, &c, 1) != 1 || c == '\n')
            break;
        line.push_back(c);
    }
    return line;
}

void Answer(Listener& listener) {
    for (;;) {
        UniqueFd client(accept4(listener.socket.get(), nullptr, nullptr, SOCK_CLOEXEC));
        if (!client)
            return;
        std::string request = ReadLine(client.get(), 200);
        // Replies go out with MSG_NOSIGNAL: a client that already hung up
        // (FindWindowW only probes) must not end this process with SIGPIPE.
        if (request == "raise" && IsWindow(listener.window)) {
            ShowWindow(listener.window, SW_SHOWNORMAL);
            SetForegroundWindow(listener.window);
            send(client.get(), "ok\n", 3, MSG_NOSIGNAL);
        } else {
            send(client.get(), "no\n", 3, MSG_NOSIGNAL);
        }
    }
}

// Posts what a message source hands over, to windows of this process only.
bool PostToLiveWindow(HWND window, UINT message, std::uintptr_t wParam, std::intptr_t lParam) {
    return Peek(window) != nullptr && PostMessageW(window, message, wParam, lParam) != FALSE;
}

}  // namespace

void AnnounceTopLevel(HWND hwnd) {
    Window* w = Peek(hwnd);
    if (w == nullptr)
        return;
    std::u16string key = ToLowerWide(w->windowClass->name);
    auto& listeners = Listeners();
    if (listeners.count(key) != 0)
        return;
    UniqueFd fd(socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
    if (!fd)
        return;
    sockaddr_un address;
    socklen_t length = Fill(address, Address(key));
    // Another process on this device already shows such a window: it keeps the
    // name.
    if (bind(fd.get(), reinterpret_cast<sockaddr*>(&address), length) != 0 ||
        listen(fd.get(), 4) != 0)
        return;
    listeners[key] = {std::move(fd), hwnd};
}

void WithdrawTopLevel(HWND hwnd) {
    auto& listeners = Listeners();
    for (auto it = listeners.begin(); it != listeners.end(); ++it) {
        if (it->second.window == hwnd) {
            listeners.erase(it);  // closes its socket
            return;
        }
    }
}

void CollectExternalEvents() {
    for (auto& [name, listener] : Listeners())
        Answer(listener);
    PollMessageSources(PostToLiveWindow);
}

namespace {

// A connection to the process that shows a remote window, or none. A window
// whose process no longer answers is forgotten: it went with its process.
UniqueFd ConnectToRemote(HWND remote) {
    auto& remotes = System().remotes;
    RemoteWindow* window = remotes.Lookup(remote);
    if (window == nullptr)
        return UniqueFd();
    UniqueFd fd = Connect(window->address);
    if (!fd)
        remotes.Erase(remote);
    return fd;
}

}  // namespace

bool RemoteWindowExists(HWND remote) {
    return static_cast<bool>(ConnectToRemote(remote));
}

BOOL RaiseRemoteWindow(HWND remote) {
    UniqueFd fd = ConnectToRemote(remote);
    if (!fd)
        return FALSE;
    // A peer that went away must not end this process with SIGPIPE.
    bool raised = send(fd.get(), "raise\n", 6, MSG_NOSIGNAL) == 6 &&
                  ReadLine(fd.get(), kReplyTimeoutMs) == "ok";
    return raised ? TRUE : FALSE;
}

}  // namespace ce::gui

namespace ce {

HWND FindWindowW(LPCWSTR className, LPCWSTR windowName) {
    gui::WindowSystem& system = gui::System();
    for (HWND top : system.topLevels) {
        gui::Window* w = gui::Peek(top);
        if (w == nullptr || w->destroying)
            continue;
        if (className != nullptr && !EqualsIgnoreCase(w->windowClass->name, WideView(className)))
            continue;
        if (windowName != nullptr && w->text != WideView(windowName))
            continue;
        return top;
    }
    if (className == nullptr || windowName != nullptr)
        return nullptr;
    std::string address = gui::Address(WideView(className));
    if (!gui::Connect(address))
        return nullptr;
    HWND known = nullptr;
    system.remotes.ForEach([&](HWND handle, const gui::RemoteWindow& remote) {
        if (remote.address == address)
            known = handle;
    });
    if (known != nullptr)
        return known;
    return system.remotes.Insert(std::make_unique<gui::RemoteWindow>(
        gui::RemoteWindow{std::u16string(WideView(className)), address}));
}

}  // namespace ce
