#pragma once
// Move-only owners for the platform's handles and for host file descriptors.
// Code above the platform layer holds what it opens in one of these instead
// of closing it by hand on every way out.

#include <unistd.h>

#include <utility>

#include "platform/core/Handles.h"
#include "platform/core/Types.h"

namespace ce {

// Traits: `Value` (the raw type), `Empty()` (the value that owns nothing),
// `IsEmpty(v)` and `Close(v)`.
template <class Traits>
class UniqueResource {
public:
    using Value = typename Traits::Value;

    UniqueResource() = default;
    explicit UniqueResource(Value value) : value_(value) {}
    ~UniqueResource() { reset(); }

    UniqueResource(UniqueResource&& other) noexcept : value_(other.release()) {}
    UniqueResource& operator=(UniqueResource&& other) noexcept {
        if (this != &other)
            reset(other.release());
        return *this;
    }
    UniqueResource(const UniqueResource&) = delete;
    UniqueResource& operator=(const UniqueResource&) = delete;

    Value get() const { return value_; }
    explicit operator bool() const { return !Traits::IsEmpty(value_); }

    // Gives the value up without closing it.
    Value release() { return std::exchange(value_, Traits::Empty()); }

    // Closes what is owned (if anything) and takes `value`.
    void reset(Value value = Traits::Empty()) {
        Value old = std::exchange(value_, value);
        if (!Traits::IsEmpty(old))
            Traits::Close(old);
    }

private:
    Value value_ = Traits::Empty();
};

// A HANDLE closed with CloseHandle. The platform returns INVALID_HANDLE_VALUE
// from some calls and nullptr from others; both own nothing.
struct HandleTraits {
    using Value = HANDLE;
    static HANDLE Empty() { return INVALID_HANDLE_VALUE; }
    static bool IsEmpty(HANDLE h) { return h == INVALID_HANDLE_VALUE || h == nullptr; }
    static void Close(HANDLE h) { CloseHandle(h); }
};
using UniqueHandle = UniqueResource<HandleTraits>;

// A host file descriptor (files, sockets) closed with close(2).
struct FdTraits {
    using Value = int;
    static int Empty() { return -1; }
    static bool IsEmpty(int fd) { return fd < 0; }
    static void Close(int fd) { ::close(fd); }
};
using UniqueFd = UniqueResource<FdTraits>;

}  // namespace ce
