#pragma once
// The connection of one infrared transfer: a listening endpoint on the
// receiving device, a connecting endpoint with discovery on the sending one,
// whole-unit sends and reads, and the 4-byte control codes. Every failing
// socket call is reported once, in a message box over the owner window that
// names the call and its error number.

#include <functional>
#include <utility>

#include "platform/irsock/IrSock.h"
#include "transfer/TransferUnits.h"

namespace transfer {

using ce::DWORD;
using ce::HWND;

inline constexpr const char* kServiceName = "TESSALY15";

class IrdaSocket {
public:
    // Which connection a code travels on: the sender's (primary) or the
    // receiver's (accepted).
    enum Connection { kPrimary, kAccepted };
    // Called between the slices of a wait for data; false stops the wait.
    using KeepWaiting = std::function<bool()>;
    // Called between the slices of every read's wait for data.
    using WhileWaiting = std::function<void()>;

    explicit IrdaSocket(HWND owner);
    virtual ~IrdaSocket();
    IrdaSocket(const IrdaSocket&) = delete;
    IrdaSocket& operator=(const IrdaSocket&) = delete;

    bool CreateListener();
    bool CreateClient();
    // 0 connected; 1 no receiver yet (try again); -1 failed.
    int TryConnect();
    // Whether a connection waits on the listening socket, after waiting at
    // most `waitMs` for one.
    bool IsConnectionPending(int waitMs = 0);
    bool AcceptConnection();
    // Sends the whole buffer on the primary socket, however many calls it
    // takes: `length`, or -1 after the error message.
    int SendBytes(const void* buffer, int length);
    // Reads exactly `length` bytes from the accepted socket: `length`, 0 when
    // `length` <= 0, -1 after the error message (also when the peer closed
    // the connection or sent nothing for the silence limit).
    int ReceiveExact(void* buffer, int length);
    bool SendCode(DWORD code, Connection connection);
    // The next code, or XFER_CANCEL after the error message. While no byte
    // has arrived, `keepWaiting` (when given) runs every few milliseconds;
    // when it answers false the wait ends with XFER_CANCEL, no message and
    // *stopped set. A `bounded` wait ends as a failed read after the silence
    // limit; an unbounded one waits for as long as `keepWaiting` agrees.
    DWORD ReceiveCode(Connection connection, const KeepWaiting& keepWaiting = {},
                      bool* stopped = nullptr, bool bounded = true);
    void CloseAll();

    // Runs `whileWaiting` each time a read (of any unit, on either
    // connection) has waited a slice of a few milliseconds without a byte;
    // a read whose bytes are there at once never runs it.
    void SetWhileWaiting(WhileWaiting whileWaiting) { whileWaiting_ = std::move(whileWaiting); }

    // How long a read waits for a byte before it fails (milliseconds).
    void SetSilenceLimit(int milliseconds) { silenceMs_ = milliseconds; }
    int silenceLimit() const { return silenceMs_; }

private:
    enum class Wait { Ready, Silent, Stopped, Failed };
    Wait WaitForData(ce::SOCKET s, const KeepWaiting& keepWaiting, bool bounded);
    bool ReadWhole(ce::SOCKET s, ce::BYTE* buffer, int length, const KeepWaiting& keepWaiting,
                   bool bounded, bool* stopped);
    bool SendWhole(ce::SOCKET s, const ce::BYTE* buffer, int length);
    bool FillAddress(ce::SOCKADDR_IRDA& address, ce::UINT failureId);
    void Report(ce::UINT formatId, const char16_t* call, int error);

    ce::UniqueSocket primary_;
    ce::UniqueSocket accepted_;
    HWND owner_;
    int silenceMs_;
    WhileWaiting whileWaiting_;
};

// The sender's pause before each send: TESSALY_IR_PACE_MS, else 50 ms.
int PaceMilliseconds();
// How long a read waits for the peer's next byte: TESSALY_IR_SILENCE_MS,
// else 30 seconds.
int SilenceMilliseconds();

}  // namespace transfer
