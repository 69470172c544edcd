#pragma once
// A small peer that speaks the transfer's wire format through the platform's
// sockets, unit by unit, so that tests can send what no sender sends and
// watch exactly what a sender puts on the wire.

#include <cstdint>
#include <optional>
#include <vector>

#include "platform/irsock/IrSock.h"

namespace transfer_tests {

using ce::BYTE;
using ce::DWORD;
using ce::WORD;

class WirePeer {
public:
    // Connects, as a sender does, to the receiver in the room (trying until
    // `timeoutMs` has passed).
    bool ConnectToReceiver(int timeoutMs = 20000);
    // Listens as a receiver does and takes the first connection.
    bool Listen();
    bool Accept(int timeoutMs = 20000);

    bool Send(const std::vector<BYTE>& bytes);
    bool SendCode(DWORD code);
    // The next code; nothing when none arrives in time or the stream ends.
    std::optional<DWORD> ReadCode(int timeoutMs = 10000);
    // Exactly `n` bytes; nothing when they do not arrive in time.
    std::optional<std::vector<BYTE>> ReadExact(std::size_t n, int timeoutMs = 10000);
    // What arrives within `quietMs` of the last byte, at most `most` bytes.
    std::vector<BYTE> ReadWhatArrives(std::size_t most, int quietMs = 300);
    // Whether the other side closed the connection within `timeoutMs`.
    bool Closed(int timeoutMs = 10000);
    void Close();

private:
    bool Readable(int timeoutMs);
    ce::UniqueSocket listener_;
    ce::UniqueSocket stream_;
};

// Units as a sender writes them.
std::vector<BYTE> HeaderBytes(const char16_t* name, WORD records, WORD sortOrders = 0);
std::vector<BYTE> DescriptorBytes(WORD count, DWORD size);
// One property entry of a record image: id and type, then the 8 value bytes
// as two 32-bit halves.
void AppendEntry(std::vector<BYTE>& image, DWORD propid, DWORD low, DWORD high = 0);

}  // namespace transfer_tests
