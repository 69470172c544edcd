// Reads arbitrary bytes as the room and the environment are read: as an
// entry line, an entry's file name and a TESSALY_IR_PEERS list. Whatever is
// accepted must be what the writers could have written.

#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "platform/irsock/PeerEntry.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    if (auto entry = ce::irsock::ParsePeerEntry(text)) {
        if (entry->port == 0 || entry->pid <= 0 || entry->name.size() > ce::irsock::kMaxDeviceName)
            std::abort();
        if (ce::irsock::ParsePeerEntry(ce::irsock::FormatPeerEntry(*entry)) != entry)
            std::abort();
    }
    if (auto name = ce::irsock::ParseEntryFileName(text)) {
        if (ce::irsock::EntryFileName(name->service, name->id) != text)
            std::abort();
    }
    for (const ce::irsock::RemotePeer& peer : ce::irsock::ParseRemotePeers(text)) {
        if (peer.address.port == 0 || peer.address.host.empty() ||
            peer.name.size() > ce::irsock::kMaxDeviceName) {
            std::abort();
        }
    }
    return 0;
}
