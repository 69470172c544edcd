// A second device for the IrDA socket tests. It works on the device named by
// $TESSALY_DEVICE and the room of $TESSALY_IR_ROOM, and reports on standard
// output, one line per event, flushed at once.
//
//   listen SERVICE echo        bind and listen ("listening PORT"), accept one
//                              connection ("accepted"), send back what
//                              arrives until the other side closes ("peer
//                              closed"), close
//   listen SERVICE send TEXT   accept one connection, send TEXT, close
//   listen SERVICE hold        listen until SIGTERM, then close ("closed")
//   socket-without-descriptors the socket call in a process that has no
//                              descriptor left ("error N")
//
// SIGTERM while listening closes the socket (removing its room entry) and
// ends the program with status 0.

#include <sys/resource.h>

#include <csignal>
#include <cstdio>
#include <cstring>
#include <string>

#include "platform/irsock/IrSock.h"

namespace {

volatile std::sig_atomic_t stopRequested = 0;

void OnTerm(int) {
    stopRequested = 1;
}

void Say(const std::string& line) {
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
}

int Fail(const char* call) {
    Say(std::string("error ") + call + " " + std::to_string(ce::WSAGetLastError()));
    return 1;
}

ce::SOCKET Listen(const std::string& service) {
    ce::SOCKET s = ce::socket(ce::AF_IRDA, ce::SOCK_STREAM, 0);
    if (s == ce::INVALID_SOCKET)
        return s;
    ce::SOCKADDR_IRDA address{};
    address.irdaAddressFamily = ce::AF_IRDA;
    std::strncpy(address.irdaServiceName, service.c_str(), sizeof address.irdaServiceName - 1);
    if (ce::bind(s, reinterpret_cast<ce::SOCKADDR*>(&address), sizeof address) != 0 ||
        ce::listen(s, 1) != 0) {
        return ce::INVALID_SOCKET;
    }
    return s;
}

// Waits in short selects, so that SIGTERM is noticed; false when it came.
bool WaitForConnection(ce::SOCKET s) {
    while (!stopRequested) {
        ce::fd_set readable;
        ce::FdZero(&readable);
        ce::FdSet(s, &readable);
        ce::TIMEVAL tick{0, 100000};
        if (ce::select(0, &readable, nullptr, nullptr, &tick) > 0)
            return true;
    }
    return false;
}

bool SendAll(ce::SOCKET s, const char* data, int size) {
    while (size > 0) {
        int n = ce::send(s, data, size, 0);
        if (n <= 0)
            return false;
        data += n;
        size -= n;
    }
    return true;
}

int Serve(ce::SOCKET listener, const std::string& mode, const std::string& text) {
    if (mode == "hold" || !WaitForConnection(listener)) {
        while (!stopRequested)
            ::pause();
        ce::closesocket(listener);
        Say("closed");
        return 0;
    }
    ce::SOCKET connection = ce::accept(listener, nullptr, nullptr);
    if (connection == ce::INVALID_SOCKET)
        return Fail("accept");
    Say("accepted");
    if (mode == "send") {
        if (!SendAll(connection, text.data(), static_cast<int>(text.size())))
            return Fail("send");
    } else {
        char buffer[4096];
        while (true) {
            int n = ce::recv(connection, buffer, sizeof buffer, 0);
            if (n < 0)
                return Fail("recv");
            if (n == 0)
                break;
            if (!SendAll(connection, buffer, n))
                return Fail("send");
        }
        Say("peer closed");
    }
    ce::closesocket(connection);
    ce::closesocket(listener);
    return 0;
}

int SocketWithoutDescriptors() {
    // Only the soft limit goes down, so that it can come back up before
    // the end (a sanitizer's exit checks open files).
    rlimit normal;
    if (::getrlimit(RLIMIT_NOFILE, &normal) != 0)
        return Fail("getrlimit");
    rlimit none{0, normal.rlim_max};
    if (::setrlimit(RLIMIT_NOFILE, &none) != 0)
        return Fail("setrlimit");
    ce::SOCKET s = ce::socket(ce::AF_IRDA, ce::SOCK_STREAM, 0);
    int error = ce::WSAGetLastError();
    ::setrlimit(RLIMIT_NOFILE, &normal);
    if (s != ce::INVALID_SOCKET) {
        Say("socket created");
        return 1;
    }
    Say("error " + std::to_string(error));
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    std::signal(SIGTERM, OnTerm);
    std::string command = argc > 1 ? argv[1] : "";
    if (command == "listen" && argc >= 4) {
        ce::SOCKET s = Listen(argv[2]);
        if (s == ce::INVALID_SOCKET)
            return Fail("listen");
        Say("listening");
        return Serve(s, argv[3], argc > 4 ? argv[4] : "");
    }
    if (command == "socket-without-descriptors")
        return SocketWithoutDescriptors();
    std::fprintf(stderr, "usage: irsock_peer listen SERVICE echo|hold|send TEXT\n");
    return 2;
}
