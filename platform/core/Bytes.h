#pragma once
// Explicit little-endian reading and writing of byte images. Every file and
// wire format goes through these; no struct is ever copied to or from bytes.

#include <array>
#include <cstring>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/core/Text.h"
#include "platform/core/Types.h"

namespace ce {

inline WORD LoadU16(const BYTE* p) {
    return static_cast<WORD>(p[0] | (p[1] << 8));
}
inline DWORD LoadU32(const BYTE* p) {
    return static_cast<DWORD>(p[0]) | (static_cast<DWORD>(p[1]) << 8) |
           (static_cast<DWORD>(p[2]) << 16) | (static_cast<DWORD>(p[3]) << 24);
}
inline std::uint64_t LoadU64(const BYTE* p) {
    return static_cast<std::uint64_t>(LoadU32(p)) |
           (static_cast<std::uint64_t>(LoadU32(p + 4)) << 32);
}
inline void StoreU16(BYTE* p, WORD v) {
    p[0] = static_cast<BYTE>(v);
    p[1] = static_cast<BYTE>(v >> 8);
}
inline void StoreU32(BYTE* p, DWORD v) {
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<BYTE>(v >> (8 * i));
}
inline void StoreU64(BYTE* p, std::uint64_t v) {
    StoreU32(p, static_cast<DWORD>(v));
    StoreU32(p + 4, static_cast<DWORD>(v >> 32));
}

// Reads fields from a byte image. Every read checks the remaining length
// first; a read that does not fit returns false and leaves the position.
class ByteReader {
public:
    ByteReader(const BYTE* data, std::size_t size) : data_(data), size_(size) {}
    explicit ByteReader(std::span<const BYTE> bytes) : ByteReader(bytes.data(), bytes.size()) {}

    std::size_t Offset() const { return offset_; }
    std::size_t Remaining() const { return size_ - offset_; }
    std::size_t Size() const { return size_; }
    bool AtEnd() const { return offset_ == size_; }

    bool Seek(std::size_t offset) {
        if (offset > size_)
            return false;
        offset_ = offset;
        return true;
    }
    bool Skip(std::size_t n) {
        if (n > Remaining())
            return false;
        offset_ += n;
        return true;
    }
    bool U8(BYTE& v) {
        if (Remaining() < 1)
            return false;
        v = data_[offset_++];
        return true;
    }
    bool U16(WORD& v) {
        if (Remaining() < 2)
            return false;
        v = LoadU16(data_ + offset_);
        offset_ += 2;
        return true;
    }
    bool U32(DWORD& v) {
        if (Remaining() < 4)
            return false;
        v = LoadU32(data_ + offset_);
        offset_ += 4;
        return true;
    }
    bool U64(std::uint64_t& v) {
        if (Remaining() < 8)
            return false;
        v = LoadU64(data_ + offset_);
        offset_ += 8;
        return true;
    }
    bool Bytes(void* out, std::size_t n) {
        if (n > Remaining())
            return false;
        if (n != 0)
            std::memcpy(out, data_ + offset_, n);
        offset_ += n;
        return true;
    }
    bool Span(std::size_t n, std::span<const BYTE>& out) {
        if (n > Remaining())
            return false;
        out = std::span<const BYTE>(data_ + offset_, n);
        offset_ += n;
        return true;
    }
    // A fixed field of `units` UTF-16 units; the text ends at the first zero
    // unit or at the end of the field.
    bool WideField(std::size_t units, std::u16string& out) {
        if (units > Remaining() / 2)
            return false;
        out.clear();
        for (std::size_t i = 0; i < units; ++i) {
            WORD c = LoadU16(data_ + offset_ + 2 * i);
            if (c == 0)
                break;
            out.push_back(static_cast<char16_t>(c));
        }
        offset_ += 2 * units;
        return true;
    }

private:
    const BYTE* data_;
    std::size_t size_;
    std::size_t offset_ = 0;
};

// Appends fields to a growing byte image.
class ByteWriter {
public:
    ByteWriter() = default;
    explicit ByteWriter(std::size_t reserve) { bytes_.reserve(reserve); }

    void U8(BYTE v) { bytes_.push_back(v); }
    void U16(WORD v) { StoreU16(Grow(2), v); }
    void U32(DWORD v) { StoreU32(Grow(4), v); }
    void U64(std::uint64_t v) { StoreU64(Grow(8), v); }
    void Bytes(const void* data, std::size_t n) {
        if (n != 0)
            std::memcpy(Grow(n), data, n);
    }
    void Zeros(std::size_t n) { bytes_.resize(bytes_.size() + n, 0); }
    // A fixed field of `units` UTF-16 units: the text (cut to units - 1, on a
    // character boundary), a zero unit, and zeros to the end of the field.
    void WideField(std::u16string_view text, std::size_t units) {
        if (units == 0)
            return;
        std::size_t n = CutOnCharacter(text, units - 1);
        for (std::size_t i = 0; i < n; ++i)
            U16(text[i]);
        Zeros(2 * (units - n));
    }
    // Overwrites bytes already written, at `offset`.
    void PatchU32(std::size_t offset, DWORD v) { StoreU32(bytes_.data() + offset, v); }

    std::size_t Size() const { return bytes_.size(); }
    const std::vector<BYTE>& Data() const { return bytes_; }
    // The image as a fixed-size array of N bytes (cut or zero-filled to N).
    template <std::size_t N>
    std::array<BYTE, N> ToArray() const {
        std::array<BYTE, N> out{};
        std::memcpy(out.data(), bytes_.data(), bytes_.size() < N ? bytes_.size() : N);
        return out;
    }
    std::vector<BYTE> Take() { return std::move(bytes_); }
    // Empties the image, keeping its room for what is written next.
    void Clear() { bytes_.clear(); }

private:
    // Extends the image by n bytes and returns where they start.
    BYTE* Grow(std::size_t n) {
        std::size_t at = bytes_.size();
        bytes_.resize(at + n);
        return bytes_.data() + at;
    }

    std::vector<BYTE> bytes_;
};

}  // namespace ce
