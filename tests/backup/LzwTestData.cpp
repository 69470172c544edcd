#include "tests/backup/LzwTestData.h"

#include <algorithm>
#include <random>

namespace lzw_test {

Bytes RandomBytes(std::size_t size, std::uint32_t seed) {
    std::mt19937 random(seed);
    Bytes out(size);
    for (auto& b : out)
        b = static_cast<std::uint8_t>(random());
    return out;
}

Bytes TextLike(std::size_t size, std::uint32_t seed) {
    static const char* const kWords[] = {
        "the",     "of",       "and",      "to",       "in",      "record", "database",
        "contact", "meeting",  "phone",    "address",  "street",  "monday", "tuesday",
        "project", "notes",    "call",     "tomorrow", "office",  "review", "budget",
        "travel",  "schedule", "reminder", "birthday", "lunch",   "with",   "about",
        "from",    "please",   "send",     "report",   "before",  "after",  "friday",
        "weekend", "update",   "list",     "order",    "account", "number", "email"};
    constexpr std::size_t kCount = sizeof kWords / sizeof kWords[0];
    std::mt19937 random(seed);
    // Favour the first words, as a natural vocabulary does.
    std::geometric_distribution<std::size_t> pick(0.12);
    Bytes out;
    out.reserve(size + 16);
    std::size_t wordsInLine = 0;
    while (out.size() < size) {
        const char* word = kWords[pick(random) % kCount];
        for (const char* p = word; *p != 0; ++p)
            out.push_back(static_cast<std::uint8_t>(*p));
        if (random() % 11 == 0) {
            out.push_back(',');
        }
        if (random() % 29 == 0) {
            std::uint32_t n = random() % 10000;
            out.push_back(' ');
            for (char ch : std::to_string(n))
                out.push_back(static_cast<std::uint8_t>(ch));
        }
        if (++wordsInLine > 8 + random() % 6) {
            out.push_back('.');
            out.push_back('\n');
            wordsInLine = 0;
        } else {
            out.push_back(' ');
        }
    }
    out.resize(size);
    return out;
}

Bytes RecordLike(std::size_t size, std::uint32_t seed) {
    static const char16_t* const kTexts[] = {u"Smith",  u"Jones",    u"Anna",    u"Peter",
                                             u"Berlin", u"London",   u"Call me", u"Work",
                                             u"Home",   u"555-0199", u"Lunch",   u"Notes"};
    constexpr std::size_t kRecord = 200;
    constexpr std::size_t kEntries = 6;
    std::mt19937 random(seed);
    Bytes out;
    out.reserve(size + kRecord);
    auto u16 = [&](std::uint32_t v) {
        out.push_back(static_cast<std::uint8_t>(v));
        out.push_back(static_cast<std::uint8_t>(v >> 8));
    };
    auto u32 = [&](std::uint32_t v) {
        u16(v & 0xFFFF);
        u16(v >> 16);
    };
    while (out.size() < size) {
        std::size_t start = out.size();
        std::size_t textOffset = kEntries * 16;
        std::vector<const char16_t*> texts;
        for (std::size_t e = 0; e < kEntries; ++e) {
            bool isText = e % 2 == 1;
            std::uint32_t type = isText ? 31 : (e == 0 ? 19 : 2);
            u32(((0x4000 + static_cast<std::uint32_t>(e)) << 16) | type);  // propid
            u16(0);                                                        // wLenData
            u16(0);                                                        // wFlags
            if (isText) {
                const char16_t* text = kTexts[random() % 12];
                u32(static_cast<std::uint32_t>(textOffset));
                u32(0);
                std::size_t units = std::char_traits<char16_t>::length(text) + 1;
                textOffset += units * 2;
                texts.push_back(text);
            } else {
                u32(e == 0 ? static_cast<std::uint32_t>(start / kRecord + 1) : random() % 100);
                u32(0);
            }
        }
        for (const char16_t* text : texts) {
            for (const char16_t* p = text; *p != 0; ++p)
                u16(*p);
            u16(0);
        }
        out.resize(start + kRecord, 0);
    }
    out.resize(size);
    return out;
}

Bytes Bytes8(const std::string& text) {
    return Bytes(text.begin(), text.end());
}

Bytes Concat(const std::vector<Bytes>& parts) {
    Bytes out;
    for (const auto& p : parts)
        out.insert(out.end(), p.begin(), p.end());
    return out;
}

namespace {

constexpr std::uint32_t kClear = 256;
constexpr std::uint32_t kLimit = 65536;

std::uint32_t MaxCodeOf(unsigned width) {
    return width == 16 ? kLimit : (1u << width) - 1;
}

std::int64_t RatioOf(std::uint64_t in, std::uint64_t out) {
    if (in < 0x800000)
        return static_cast<std::int64_t>((in << 8) / out);
    std::uint64_t d = out >> 8;
    return d == 0 ? 0x7FFFFFFF : static_cast<std::int64_t>(in / d);
}

}  // namespace

Walk WalkStream(const Bytes& stream) {
    Walk walk;
    const std::size_t totalBits = stream.size() * 8;
    auto bit = [&](std::size_t at) { return (stream[at / 8] >> (at % 8)) & 1u; };

    // Reader state.
    unsigned width = 9;
    std::size_t chunkStart = 0, chunkEnd = 0, at = 0;  // bit positions
    bool startChunk = true;
    std::uint32_t decoderFree = 257;

    // Encoder state as replayed from the codes.
    unsigned encoderWidth = 9;
    unsigned codesInGroup = 0;
    std::uint64_t outputCount = 3;
    std::uint32_t encoderFree = 257;
    std::uint64_t checkpoint = 50000;
    std::int64_t ratio = 0;
    bool checkOfLastCode = false;

    std::vector<std::uint32_t> lengths(kLimit, 0);
    std::uint32_t previousLength = 0;
    bool havePrevious = false;
    std::size_t decoded = 0;

    for (;;) {
        if (startChunk || decoderFree > MaxCodeOf(width) || at + width > chunkEnd) {
            if (!startChunk && decoderFree > MaxCodeOf(width))
                ++width;
            startChunk = false;
            chunkStart = chunkEnd;
            if (chunkStart >= totalBits)
                break;
            chunkEnd = std::min(totalBits, chunkStart + 8 * width);
            at = chunkStart;
            if (at + width > chunkEnd)
                break;
        }
        std::uint32_t code = 0;
        for (unsigned b = 0; b < width; ++b)
            code |= bit(at + b) << b;
        at += width;
        walk.codes.push_back({code, width, decoded, std::min(encoderFree, kLimit)});
        if (encoderWidth != width)
            walk.ok = false;

        // The encoder's side of writing this code.
        if (++codesInGroup == 8) {
            codesInGroup = 0;
            outputCount += encoderWidth;
        }
        if (encoderFree > MaxCodeOf(encoderWidth) || code == kClear) {
            if (codesInGroup != 0)
                outputCount += encoderWidth;
            codesInGroup = 0;
            encoderWidth = code == kClear ? 9 : encoderWidth + 1;
        }

        if (code == kClear) {
            walk.clearInputCounts.push_back(decoded + 1);
            checkOfLastCode = false;
            width = 9;
            startChunk = true;
            decoderFree = 257;
            encoderFree = 257;
            havePrevious = false;
            continue;
        }
        std::uint32_t length;
        if (code < 256) {
            length = 1;
        } else if (havePrevious && code < decoderFree) {
            length = lengths[code];
        } else if (havePrevious && code == decoderFree) {
            length = previousLength + 1;
        } else {
            walk.ok = false;
            return walk;
        }
        if (havePrevious && decoderFree < kLimit)
            lengths[decoderFree++] = previousLength + 1;
        havePrevious = true;
        previousLength = length;
        decoded += length;

        // The miss that wrote this code; the last code was written because
        // the input ended instead, so a check recorded for it is dropped.
        checkOfLastCode = false;
        if (encoderFree < kLimit) {
            ++encoderFree;
        } else {
            walk.filledDictionary = true;
            std::uint64_t inputCount = decoded + 1;
            if (inputCount >= checkpoint) {
                checkpoint = inputCount + 50000;
                std::int64_t now = RatioOf(inputCount, outputCount);
                bool clear = now <= ratio;
                ratio = clear ? 0 : now;
                walk.expectedChecks.push_back({inputCount, clear});
                checkOfLastCode = true;
            }
        }
    }
    if (checkOfLastCode)
        walk.expectedChecks.pop_back();
    walk.decodedLength = decoded;
    return walk;
}

}  // namespace lzw_test
