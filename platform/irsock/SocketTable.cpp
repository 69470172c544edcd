#include "platform/irsock/SocketTable.h"

namespace ce::irsock {

SOCKET SocketTable::Insert(std::shared_ptr<IrdaEndpoint> endpoint) {
    std::lock_guard lock(mutex_);
    SOCKET s = next_++;
    sockets_.emplace(s, std::move(endpoint));
    return s;
}

std::shared_ptr<IrdaEndpoint> SocketTable::Lookup(SOCKET s) const {
    std::lock_guard lock(mutex_);
    auto it = sockets_.find(s);
    return it == sockets_.end() ? nullptr : it->second;
}

std::shared_ptr<IrdaEndpoint> SocketTable::Remove(SOCKET s) {
    std::lock_guard lock(mutex_);
    auto it = sockets_.find(s);
    if (it == sockets_.end())
        return nullptr;
    std::shared_ptr<IrdaEndpoint> endpoint = std::move(it->second);
    sockets_.erase(it);
    return endpoint;
}

bool SocketTable::HoldsService(const std::string& service, const DeviceId& device) const {
    std::lock_guard lock(mutex_);
    for (const auto& [s, endpoint] : sockets_) {
        bool bound =
            endpoint->state == EndpointState::Bound || endpoint->state == EndpointState::Listening;
        if (bound && endpoint->service == service && endpoint->device == device)
            return true;
    }
    return false;
}

SocketTable& Sockets() {
    static SocketTable table;
    return table;
}

}  // namespace ce::irsock
