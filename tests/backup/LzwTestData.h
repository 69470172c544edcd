#pragma once
// Inputs for the codec's tests and benchmark, and a reader of code streams
// written independently of the codec, to look inside what it wrote.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace lzw_test {

using Bytes = std::vector<std::uint8_t>;

Bytes RandomBytes(std::size_t size, std::uint32_t seed);
// Words of a small vocabulary with spaces, punctuation and line breaks.
Bytes TextLike(std::size_t size, std::uint32_t seed);
// Back-to-back 200-byte record images: property entries of 16 bytes
// (identifier, length, flags, 8 value bytes) with small integers, followed
// by the short UTF-16 texts the entries point at.
Bytes RecordLike(std::size_t size, std::uint32_t seed);
Bytes Bytes8(const std::string& text);
Bytes Concat(const std::vector<Bytes>& parts);

struct WalkedCode {
    std::uint32_t code;
    unsigned width;
    std::size_t decodedBefore;     // output bytes of the codes before it
    std::uint32_t nextFreeBefore;  // the encoder's next free code when it wrote it
};

struct Walk {
    bool ok = true;  // every code named a defined entry
    std::vector<WalkedCode> codes;
    std::size_t decodedLength = 0;
    bool filledDictionary = false;  // some code was written with the dictionary full
    // Decoded offsets at which the encoder, by the ratio rule applied to the
    // codes it wrote, should have checked the ratio, and whether the rule
    // says it should then have written CLEAR.
    struct Check {
        std::size_t inputCount;
        bool clear;
    };
    std::vector<Check> expectedChecks;
    std::vector<std::size_t> clearInputCounts;  // where CLEARs actually stand
};

// Reads a stream bit by bit with the width and group rules, tracking string
// lengths only (no output), and replays the encoder's ratio bookkeeping
// (input count from 1, output count from 3, checks 50000 bytes apart, only
// while the dictionary is full).
Walk WalkStream(const Bytes& stream);

}  // namespace lzw_test
