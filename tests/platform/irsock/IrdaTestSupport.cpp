#include "tests/platform/irsock/IrdaTestSupport.h"

#include <cstdlib>
#include <cstring>

namespace irsock_test {

ScopedEnv::ScopedEnv(const char* name, const char* value) : name_(name) {
    if (const char* old = std::getenv(name))
        old_ = old;
    if (value != nullptr)
        ::setenv(name, value, 1);
    else
        ::unsetenv(name);
}

ScopedEnv::~ScopedEnv() {
    if (old_)
        ::setenv(name_.c_str(), old_->c_str(), 1);
    else
        ::unsetenv(name_.c_str());
}

ce::SOCKADDR_IRDA IrdaAddress(const ce::irsock::DeviceId& id, const char* service) {
    ce::SOCKADDR_IRDA address{};
    address.irdaAddressFamily = ce::AF_IRDA;
    std::memcpy(address.irdaDeviceID, id.data(), 4);
    std::strncpy(address.irdaServiceName, service, sizeof address.irdaServiceName - 1);
    return address;
}

ce::UniqueSocket NewSocket() {
    return ce::UniqueSocket(ce::socket(ce::AF_IRDA, ce::SOCK_STREAM, 0));
}

ce::UniqueSocket NewListener(const char* service) {
    ce::UniqueSocket s = NewSocket();
    ce::SOCKADDR_IRDA address = IrdaAddress({}, service);
    if (!s || ce::bind(s.get(), reinterpret_cast<ce::SOCKADDR*>(&address), sizeof address) != 0 ||
        ce::listen(s.get(), 1) != 0) {
        return {};
    }
    return s;
}

int Connect(ce::SOCKET s, const ce::irsock::DeviceId& id, const char* service) {
    ce::SOCKADDR_IRDA address = IrdaAddress(id, service);
    return ce::connect(s, reinterpret_cast<const ce::SOCKADDR*>(&address), sizeof address);
}

std::vector<Found> Discover(ce::SOCKET s) {
    char list[60] = {};
    int size = sizeof list;
    std::vector<Found> found;
    if (ce::getsockopt(s, ce::SOL_IRLMP, ce::IRLMP_ENUMDEVICES, list, &size) != 0)
        return found;
    auto* bytes = reinterpret_cast<const unsigned char*>(list);
    unsigned count = bytes[0] | bytes[1] << 8 | bytes[2] << 16 | bytes[3] << 24;
    EXPECT_LE(count, 2u);
    EXPECT_EQ(size, static_cast<int>(4 + 28 * count));
    for (unsigned i = 0; i < count && i < 2; ++i) {
        const char* entry = list + 4 + 28 * i;
        Found f;
        std::memcpy(f.id.data(), entry, 4);
        f.name.assign(entry + 4, strnlen(entry + 4, 22));
        found.push_back(f);
    }
    return found;
}

bool SendAll(ce::SOCKET s, const std::string& text) {
    std::size_t sent = 0;
    while (sent < text.size()) {
        int n = ce::send(s, text.data() + sent, static_cast<int>(text.size() - sent), 0);
        if (n <= 0)
            return false;
        sent += static_cast<std::size_t>(n);
    }
    return true;
}

std::string ReceiveUpTo(ce::SOCKET s, std::size_t size) {
    std::string got;
    char buffer[4096];
    while (got.size() < size) {
        std::size_t want = std::min(sizeof buffer, size - got.size());
        int n = ce::recv(s, buffer, static_cast<int>(want), 0);
        if (n <= 0)
            break;
        got.append(buffer, static_cast<std::size_t>(n));
    }
    return got;
}

IrdaTest::~IrdaTest() {
    ce::SetIrdaSendLimit(0);
    ce::SetIrdaReceiveLimit(0);
    ce::SetIrdaConnectTimeout(3000);
}

std::filesystem::path IrdaTest::EntryFile(const ce::irsock::DeviceId& id,
                                          const char* service) const {
    return room_.path() / (std::string(service) + "@" + ce::irsock::DeviceIdHex(id) + ".peer");
}

std::filesystem::path IrdaTest::PeerDevice(const std::string& name) {
    std::filesystem::path device = devices_.path() / name;
    std::filesystem::create_directories(device);
    return device;
}

std::vector<std::string> IrdaTest::PeerEnv(const std::filesystem::path& device) const {
    return {"TESSALY_DEVICE=" + device.string(), "TESSALY_IR_ROOM=" + room_.path().string()};
}

}  // namespace irsock_test
