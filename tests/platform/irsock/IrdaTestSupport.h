#pragma once
// Shared set-up of the IrDA socket tests: a private room and device for the
// test, and the calls a test makes over and over.

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "platform/irsock/DeviceId.h"
#include "platform/irsock/IrSock.h"
#include "tests/support/TempDevice.h"

namespace irsock_test {

inline constexpr const char* kService = "TESSALY15";

// Sets an environment variable (or unsets it, for nullptr) for a scope.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value);
    ~ScopedEnv();
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    std::string name_;
    std::optional<std::string> old_;
};

ce::SOCKADDR_IRDA IrdaAddress(const ce::irsock::DeviceId& id, const char* service = kService);

// A socket of the platform's kind (empty when the call failed).
ce::UniqueSocket NewSocket();
// A socket bound to `service` and listening (empty when a call failed).
ce::UniqueSocket NewListener(const char* service = kService);

// connect to (id, service).
int Connect(ce::SOCKET s, const ce::irsock::DeviceId& id, const char* service = kService);

struct Found {
    ce::irsock::DeviceId id{};
    std::string name;
};
// One discovery through `s` with the 60-byte list.
std::vector<Found> Discover(ce::SOCKET s);

// Sends all of `text`; false when a send fails.
bool SendAll(ce::SOCKET s, const std::string& text);
// Receives until `size` bytes arrived or the stream ended.
std::string ReceiveUpTo(ce::SOCKET s, std::size_t size);

// A private room and a device of the test's own; no remote peers and the
// default listen address.
class IrdaTest : public ::testing::Test {
protected:
    // Puts the test hooks back.
    ~IrdaTest() override;

    std::filesystem::path Room() const { return room_.path(); }
    std::filesystem::path EntryFile(const ce::irsock::DeviceId& id,
                                    const char* service = kService) const;
    // A second device directory for a peer process, removed with the test.
    std::filesystem::path PeerDevice(const std::string& name);
    std::vector<std::string> PeerEnv(const std::filesystem::path& device) const;

    testing_support::TempDevice device_;
    testing_support::TempDirectory room_;
    testing_support::TempDirectory devices_;
    ScopedEnv roomEnv_{"TESSALY_IR_ROOM", room_.path().c_str()};
    ScopedEnv peersEnv_{"TESSALY_IR_PEERS", nullptr};
    ScopedEnv addressEnv_{"TESSALY_IR_ADDRESS", nullptr};
};

}  // namespace irsock_test
