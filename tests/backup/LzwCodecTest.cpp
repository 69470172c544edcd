#include "backup/LzwCodec.h"

#include <gtest/gtest.h>

#include <optional>

#include "backup/LzwStreamDecoder.h"

#include "tests/backup/LzwTestData.h"

namespace {

using backup::LzwCodec;
using lzw_test::Bytes;
using lzw_test::Bytes8;

Bytes Compressed(LzwCodec& codec, const Bytes& input) {
    EXPECT_TRUE(codec.Compress(input.data(), input.size()));
    return Bytes(codec.Output(), codec.Output() + codec.OutputLength());
}

Bytes Compressed(const Bytes& input) {
    LzwCodec codec;
    EXPECT_TRUE(codec.AllocateWorkArea());
    return Compressed(codec, input);
}

::testing::AssertionResult RoundTrips(LzwCodec& codec, const Bytes& input) {
    Bytes stream = Compressed(codec, input);
    if (!codec.Decompress(stream.data(), stream.size())) {
        return ::testing::AssertionFailure() << "stream of " << stream.size() << " bytes refused";
    }
    Bytes back(codec.Output(), codec.Output() + codec.OutputLength());
    if (back != input) {
        auto diff = std::mismatch(back.begin(), back.end(), input.begin(), input.end());
        return ::testing::AssertionFailure()
               << "decoded " << back.size() << " bytes of " << input.size()
               << ", first difference at " << (diff.first - back.begin());
    }
    return ::testing::AssertionSuccess();
}

// Packs 9-bit codes least significant bit first, the way a stream that
// never grows its codes is laid out.
Bytes PackNineBitCodes(const std::vector<std::uint32_t>& codes) {
    Bytes out((codes.size() * 9 + 7) / 8, 0);
    for (std::size_t k = 0; k < codes.size(); ++k) {
        for (unsigned b = 0; b < 9; ++b) {
            if ((codes[k] >> b) & 1)
                out[(k * 9 + b) / 8] |= std::uint8_t(1u << ((k * 9 + b) % 8));
        }
    }
    return out;
}

// Runs of 9-bit codes, each but the last ending its group in full, as they
// stand around a CLEAR.
Bytes PackGroups(const std::vector<std::vector<std::uint32_t>>& runs) {
    Bytes out;
    for (std::size_t r = 0; r < runs.size(); ++r) {
        Bytes run = PackNineBitCodes(runs[r]);
        if (r + 1 < runs.size())
            run.resize((run.size() + 8) / 9 * 9, 0);
        out.insert(out.end(), run.begin(), run.end());
    }
    return out;
}

// ---- Exact streams, worked out by hand from the dictionary -----------------

struct ExactCase {
    const char* name;
    std::string input;
    Bytes stream;
};

class LzwExactStream : public ::testing::TestWithParam<ExactCase> {};

TEST_P(LzwExactStream, MatchesTheHandWrittenBytes) {
    const ExactCase& c = GetParam();
    EXPECT_EQ(Compressed(Bytes8(c.input)), c.stream);
    LzwCodec codec;
    ASSERT_TRUE(codec.Decompress(c.stream.data(), c.stream.size()));
    EXPECT_EQ(Bytes(codec.Output(), codec.Output() + codec.OutputLength()), Bytes8(c.input));
}

INSTANTIATE_TEST_SUITE_P(
    Small, LzwExactStream,
    ::testing::Values(
        // One 9-bit code 0x61: its ninth bit starts a second byte.
        ExactCase{"OneByte", "a", {0x61, 0x00}},
        // 'a', then 257 = "aa", used in the step that defines it.
        ExactCase{"KwKwK", "aaa", {0x61, 0x02, 0x02}},
        // 'a' 'b' 257="ab" 259="aba": the last code is again being defined.
        ExactCase{"KwKwKAfterPair", "abababa", {0x61, 0xC4, 0x04, 0x1C, 0x08}},
        // Eight literals fill one group of 9 bytes exactly: no partial byte.
        ExactCase{"ExactGroup", "abcdefgh", {0x61, 0xC4, 0x8C, 0x21, 0x53, 0xC6, 0xCC, 0x19, 0x34}},
        // A ninth code starts a second group and ends the stream with the 2
        // bytes that hold its bits.
        ExactCase{"GroupAndOne",
                  "abcdefghi",
                  {0x61, 0xC4, 0x8C, 0x21, 0x53, 0xC6, 0xCC, 0x19, 0x34, 0x69, 0x00}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(LzwCodec, HeaderOfZerosUsesEverLongerRuns) {
    // 144 zeros: runs of 1, 2, ..., 16 bytes (codes 0, 257 ... 271) make 136,
    // and the last 8 bytes are the run of 8, code 263.
    std::vector<std::uint32_t> codes{0};
    for (std::uint32_t c = 257; c <= 271; ++c)
        codes.push_back(c);
    codes.push_back(263);
    Bytes zeros(144, 0);
    EXPECT_EQ(Compressed(zeros), PackNineBitCodes(codes));
    LzwCodec codec;
    EXPECT_TRUE(RoundTrips(codec, zeros));
}

TEST(LzwCodec, StreamsOfWholeGroupsHaveNoPartialBytes) {
    // Distinct byte pairs never repeat a string, so k bytes give k literal
    // codes of 9 bits.
    for (std::size_t k : {8u, 16u, 64u, 248u}) {
        Bytes input(k);
        for (std::size_t i = 0; i < k; ++i)
            input[i] = static_cast<std::uint8_t>(i);
        EXPECT_EQ(Compressed(input).size(), k * 9 / 8) << k;
        input.push_back(0xFF);
        EXPECT_EQ(Compressed(input).size(), k * 9 / 8 + 2) << k + 1;
    }
}

// ---- Round trips -----------------------------------------------------------

struct RoundTripCase {
    const char* name;
    Bytes input;
};

class LzwRoundTrip : public ::testing::TestWithParam<RoundTripCase> {};

TEST_P(LzwRoundTrip, DecodesToTheInput) {
    LzwCodec codec;
    ASSERT_TRUE(codec.AllocateWorkArea());
    EXPECT_TRUE(RoundTrips(codec, GetParam().input));
}

Bytes AllByteValues(std::size_t repeat) {
    Bytes out;
    for (std::size_t r = 0; r < repeat; ++r) {
        for (int b = 0; b < 256; ++b)
            out.push_back(static_cast<std::uint8_t>(b));
    }
    return out;
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, LzwRoundTrip,
    ::testing::Values(RoundTripCase{"SingleByte", Bytes{0xFF}},
                      RoundTripCase{"TwoBytes", Bytes{0, 0}},
                      RoundTripCase{"Zeros144", Bytes(144, 0)},
                      RoundTripCase{"LongRun", Bytes(3'000'000, 'x')},
                      RoundTripCase{"AllByteValues", AllByteValues(40)},
                      RoundTripCase{"Text", lzw_test::TextLike(200'000, 1)},
                      RoundTripCase{"Records", lzw_test::RecordLike(300'000, 2)},
                      RoundTripCase{"RandomSmall", lzw_test::RandomBytes(1000, 3)},
                      // Fills the dictionary and passes many checkpoints.
                      RoundTripCase{"RandomLarge", lzw_test::RandomBytes(1'500'000, 4)},
                      RoundTripCase{"Mixed", lzw_test::Concat({lzw_test::TextLike(400'000, 5),
                                                               lzw_test::RandomBytes(300'000, 6),
                                                               lzw_test::RecordLike(500'000, 7)})}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- Dictionary full, ratio checks and CLEAR -----------------------------

void ExpectClearsExactlyWhereTheRatioFell(const Bytes& input, bool expectAnyClear) {
    Bytes stream = Compressed(input);
    lzw_test::Walk walk = lzw_test::WalkStream(stream);
    ASSERT_TRUE(walk.ok);
    ASSERT_TRUE(walk.filledDictionary);
    EXPECT_EQ(walk.decodedLength, input.size());
    std::vector<std::size_t> expected;
    for (const auto& check : walk.expectedChecks) {
        if (check.clear)
            expected.push_back(check.inputCount);
    }
    EXPECT_EQ(walk.clearInputCounts, expected);
    EXPECT_GE(walk.expectedChecks.size(), 3u);
    EXPECT_EQ(!walk.clearInputCounts.empty(), expectAnyClear);
    for (std::size_t i = 1; i < walk.expectedChecks.size(); ++i) {
        EXPECT_GE(walk.expectedChecks[i].inputCount, walk.expectedChecks[i - 1].inputCount + 50000);
    }
    // The first check after the table fills only records the ratio.
    EXPECT_FALSE(walk.expectedChecks.front().clear);
    LzwCodec codec;
    ASSERT_TRUE(codec.Decompress(stream.data(), stream.size()));
    EXPECT_TRUE(Bytes(codec.Output(), codec.Output() + codec.OutputLength()) == input);
}

TEST(LzwCodecClear, RandomDataClearsWhenTheRatioStopsImproving) {
    ExpectClearsExactlyWhereTheRatioFell(lzw_test::RandomBytes(1'000'000, 11), true);
}

TEST(LzwCodecClear, MixedDataClearsOnlyAtCheckpoints) {
    ExpectClearsExactlyWhereTheRatioFell(
        lzw_test::Concat({lzw_test::RandomBytes(200'000, 12), lzw_test::TextLike(600'000, 13),
                          lzw_test::RandomBytes(300'000, 14), lzw_test::RecordLike(400'000, 15)}),
        true);
}

TEST(LzwCodecClear, NoClearWhileTheRatioKeepsImproving) {
    // Random bytes fill the table; the zeros after them compress better at
    // every checkpoint, so the full dictionary is kept.
    ExpectClearsExactlyWhereTheRatioFell(
        lzw_test::Concat({lzw_test::RandomBytes(100'000, 16), Bytes(400'000, 0)}), false);
}

TEST(LzwCodecClear, SmallerInputsNeverClear) {
    Bytes input = lzw_test::TextLike(300'000, 17);
    lzw_test::Walk walk = lzw_test::WalkStream(Compressed(input));
    ASSERT_TRUE(walk.ok);
    EXPECT_FALSE(walk.filledDictionary);
    EXPECT_TRUE(walk.clearInputCounts.empty());
}

// ---- Independent streams ---------------------------------------------------

TEST(LzwCodecStreams, EachStreamStartsFromAnEmptyDictionary) {
    LzwCodec codec;
    ASSERT_TRUE(codec.AllocateWorkArea());
    Bytes first = lzw_test::RandomBytes(400'000, 21);  // leaves a full table behind
    Bytes second = lzw_test::TextLike(5000, 22);
    Compressed(codec, first);
    Bytes secondStream = Compressed(codec, second);
    EXPECT_EQ(secondStream, Compressed(second));

    LzwCodec reader;
    ASSERT_TRUE(reader.Decompress(secondStream.data(), secondStream.size()));
    EXPECT_EQ(Bytes(reader.Output(), reader.Output() + reader.OutputLength()), second);
}

TEST(LzwCodecStreams, ManySmallStreamsMatchAFreshCodec) {
    // More streams than dictionary generations, with decompressions in
    // between that reuse the same tables.
    LzwCodec codec;
    ASSERT_TRUE(codec.AllocateWorkArea());
    Bytes records = lzw_test::RecordLike(200 * 600, 23);
    for (std::size_t r = 0; r < 600; ++r) {
        Bytes record(records.begin() + r * 200, records.begin() + (r + 1) * 200);
        Bytes stream = Compressed(codec, record);
        ASSERT_EQ(stream, Compressed(record)) << "record " << r;
        if (r % 97 == 0) {
            ASSERT_TRUE(codec.Decompress(stream.data(), stream.size()));
            ASSERT_EQ(Bytes(codec.Output(), codec.Output() + codec.OutputLength()), record);
        }
    }
}

TEST(LzwCodecStreams, WorksWithoutAnExplicitWorkArea) {
    LzwCodec codec;
    EXPECT_TRUE(RoundTrips(codec, Bytes8("no AllocateWorkArea call first")));
}

TEST(LzwCodecStreams, EmptyInputGivesAnEmptyStreamThatDoesNotDecode) {
    LzwCodec codec;
    Bytes nothing;
    ASSERT_TRUE(codec.Compress(nothing.data(), 0));
    EXPECT_EQ(codec.OutputLength(), 0u);
    EXPECT_FALSE(codec.Decompress(nothing.data(), 0));
    EXPECT_EQ(codec.OutputLength(), 0u);
}

// ---- Hostile streams -------------------------------------------------------

TEST(LzwCodecHostile, RefusesStreamsWithoutACode) {
    LzwCodec codec;
    // 8 bits cannot hold a 9-bit code.
    Bytes oneByte{0x61};
    EXPECT_FALSE(codec.Decompress(oneByte.data(), oneByte.size()));
}

TEST(LzwCodecHostile, RefusesCodesThatNameNoEntry) {
    struct Case {
        const char* what;
        std::vector<std::vector<std::uint32_t>> runs;
    };
    const Case cases[] = {
        {"a dictionary code first", {{257}}},
        {"CLEAR first", {{256}, {'a'}}},
        {"a code past the next free one", {{'a', 'b', 259}}},
        {"a dictionary code right after CLEAR", {{'a', 'b', 256}, {257}}},
        {"two CLEARs", {{'a', 256}, {256}, {'a'}}},
    };
    LzwCodec codec;
    for (const auto& c : cases) {
        Bytes stream = PackGroups(c.runs);
        EXPECT_FALSE(codec.Decompress(stream.data(), stream.size())) << c.what;
        EXPECT_EQ(codec.OutputLength(), 0u) << c.what;
    }
    // The last one of these is the string being defined, which is fine.
    Bytes kwkwk = PackNineBitCodes({'a', 'b', 258});
    ASSERT_TRUE(codec.Decompress(kwkwk.data(), kwkwk.size()));
    EXPECT_EQ(Bytes(codec.Output(), codec.Output() + codec.OutputLength()), Bytes8("abbb"));
}

TEST(LzwCodecHostile, ClearStartsANewDictionary) {
    // 'a' 'b' CLEAR, then at 9 bits in a new group: 'c' 'c' 257 = "cc".
    Bytes stream = PackGroups({{'a', 'b', 256}, {'c', 'c', 257}});
    LzwCodec codec;
    ASSERT_TRUE(codec.Decompress(stream.data(), stream.size()));
    EXPECT_EQ(Bytes(codec.Output(), codec.Output() + codec.OutputLength()), Bytes8("abcccc"));
}

TEST(LzwCodecHostile, BoundsTheOutput) {
    Bytes zeros(2'000'000, 0);
    Bytes stream = Compressed(zeros);
    ASSERT_LT(stream.size(), 10'000u);  // a thousandfold expansion
    LzwCodec codec;
    codec.SetOutputLimit(zeros.size() - 1);
    EXPECT_FALSE(codec.Decompress(stream.data(), stream.size()));
    EXPECT_EQ(codec.OutputLength(), 0u);
    EXPECT_TRUE(codec.OutputLimitReached());
    codec.SetOutputLimit(zeros.size());
    ASSERT_TRUE(codec.Decompress(stream.data(), stream.size()));
    EXPECT_EQ(codec.OutputLength(), zeros.size());
    EXPECT_FALSE(codec.OutputLimitReached());
    Bytes corrupt = PackNineBitCodes({257});
    EXPECT_FALSE(codec.Decompress(corrupt.data(), corrupt.size()));
    EXPECT_FALSE(codec.OutputLimitReached()) << "a corrupt stream is not one that is too big";
    EXPECT_EQ(LzwCodec().OutputLimit(), LzwCodec::kDefaultOutputLimit);
}

TEST(LzwCodecHostile, TruncatedStreamsDecodeToAPrefix) {
    Bytes input = lzw_test::Concat({lzw_test::TextLike(3000, 31), lzw_test::RandomBytes(3000, 32)});
    Bytes stream = Compressed(input);
    LzwCodec codec;
    for (std::size_t cut = 2; cut < stream.size(); cut += 7) {
        ASSERT_TRUE(codec.Decompress(stream.data(), cut)) << cut;
        ASSERT_LE(codec.OutputLength(), input.size());
        ASSERT_TRUE(
            std::equal(codec.Output(), codec.Output() + codec.OutputLength(), input.begin()))
            << cut;
    }
}

// ---- The piecewise decoder ----------------------------------------------------

// What the whole-buffer decoder makes of a stream: its output, or none.
std::optional<Bytes> DecodeWhole(const Bytes& stream) {
    LzwCodec codec;
    codec.SetOutputLimit(LzwCodec::kMaxOutputLimit);
    if (!codec.Decompress(stream.data(), stream.size()))
        return std::nullopt;
    return Bytes(codec.Output(), codec.Output() + codec.OutputLength());
}

// The same through the piecewise decoder, fed `piece` bytes at a time.
std::optional<Bytes> DecodePiecewise(const Bytes& stream, std::size_t piece) {
    backup::LzwStreamDecoder decoder;
    std::size_t next = 0;
    Bytes out;
    auto result = decoder.Decode(
        [&](std::uint8_t* buffer, std::size_t size) {
            std::size_t n = std::min({size, piece, stream.size() - next});
            std::copy_n(stream.begin() + static_cast<std::ptrdiff_t>(next), n, buffer);
            next += n;
            return n;
        },
        [&](const std::uint8_t* bytes, std::size_t size) {
            out.insert(out.end(), bytes, bytes + size);
            return true;
        });
    if (result != backup::LzwStreamDecoder::Result::Ok)
        return std::nullopt;
    EXPECT_EQ(decoder.produced(), out.size());
    return out;
}

TEST_P(LzwRoundTrip, DecodesPiecewiseToTheInputInPiecesOfAnySize) {
    Bytes stream = Compressed(GetParam().input);
    for (std::size_t piece : {std::size_t{1}, std::size_t{7}, std::size_t{65536}, stream.size()}) {
        std::optional<Bytes> back = DecodePiecewise(stream, piece);
        ASSERT_TRUE(back.has_value()) << piece;
        EXPECT_TRUE(*back == GetParam().input) << "in pieces of " << piece;
    }
}

TEST(LzwStreamDecoder, RefusesAndAcceptsWhatTheWholeBufferDecoderDoes) {
    std::vector<Bytes> streams = {
        Bytes{},
        Bytes{0x61},
        PackGroups({{257}}),
        PackGroups({{256}, {'a'}}),
        PackGroups({{'a', 'b', 259}}),
        PackGroups({{'a', 'b', 256}, {257}}),
        PackGroups({{'a', 256}, {256}, {'a'}}),
        PackGroups({{'a', 'b', 256}, {'c', 'c', 257}}),
        PackNineBitCodes({'a', 'b', 258}),
    };
    Bytes input = lzw_test::Concat({lzw_test::TextLike(3000, 41), lzw_test::RandomBytes(3000, 42)});
    Bytes stream = Compressed(input);
    for (std::size_t cut = 0; cut <= stream.size(); cut += 5)
        streams.emplace_back(stream.begin(), stream.begin() + static_cast<std::ptrdiff_t>(cut));
    for (std::size_t i = 0; i < streams.size(); ++i) {
        std::optional<Bytes> whole = DecodeWhole(streams[i]);
        std::optional<Bytes> piecewise = DecodePiecewise(streams[i], 3);
        ASSERT_EQ(whole.has_value(), piecewise.has_value()) << "stream " << i;
        if (whole) {
            EXPECT_TRUE(*whole == *piecewise) << "stream " << i;
        }
    }
}

TEST(LzwStreamDecoder, StopsWhenItsOutputIsRefused) {
    Bytes stream = Compressed(Bytes(1'000'000, 'z'));
    backup::LzwStreamDecoder decoder;
    std::size_t next = 0;
    auto result = decoder.Decode(
        [&](std::uint8_t* buffer, std::size_t size) {
            std::size_t n = std::min(size, stream.size() - next);
            std::copy_n(stream.begin() + static_cast<std::ptrdiff_t>(next), n, buffer);
            next += n;
            return n;
        },
        [](const std::uint8_t*, std::size_t) { return false; });
    EXPECT_EQ(result, backup::LzwStreamDecoder::Result::Stopped);
    EXPECT_EQ(decoder.produced(), 0u);
}

}  // namespace
