// The codec against the real ".Z" tools, run on files: `compress -b 16`
// must write the same codes as long as its dictionary never fills (after
// that it resets on its own schedule), `gzip -dc` and `uncompress -c` must
// read every stream the codec writes, and the codec must read every stream
// `compress` writes.

#include <unistd.h>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <sstream>

#include <gtest/gtest.h>

#include "backup/LzwCodec.h"
#include "tests/backup/LzwTestData.h"
#include "tests/support/Process.h"
#include "tests/support/TempDevice.h"

namespace {

namespace fs = std::filesystem;
using backup::LzwCodec;
using lzw_test::Bytes;

const Bytes kHeader{0x1F, 0x9D, 0x90};  // magic, block mode with 16-bit codes

std::optional<fs::path> FindProgram(const std::string& name) {
    const char* path = std::getenv("PATH");
    std::stringstream dirs(path != nullptr ? path : "/usr/bin:/bin");
    std::string dir;
    while (std::getline(dirs, dir, ':')) {
        fs::path candidate = fs::path(dir.empty() ? "." : dir) / name;
        if (::access(candidate.c_str(), X_OK) == 0)
            return candidate;
    }
    return std::nullopt;
}

struct PeerCase {
    const char* name;
    Bytes input;
};

void PrintTo(const PeerCase& c, std::ostream* os) {
    *os << c.name << " (" << c.input.size() << " bytes)";
}

class LzwPeer : public ::testing::TestWithParam<PeerCase> {
protected:
    // The path of a tool, or skips the test when it is not installed.
    fs::path Tool(const std::string& name) {
        auto found = FindProgram(name);
        if (!found) {
            missing_ =
                name + " is not installed (Debian packages ncompress and gzip); peer test skipped";
            return {};
        }
        return *found;
    }

    fs::path WriteFile(const std::string& name, const Bytes& bytes) {
        fs::path path = directory_.path() / name;
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()),
                   static_cast<std::streamsize>(bytes.size()));
        return path;
    }

    // Runs a tool on a file and returns what it wrote to standard output.
    Bytes Run(const fs::path& tool, std::vector<std::string> args) {
        auto result = testing_support::RunProgram(tool, args, {}, {}, 120);
        EXPECT_EQ(result.exitCode, 0) << tool << " failed: " << result.err;
        return Bytes(result.out.begin(), result.out.end());
    }

    // compress -b 16 -c on the input, without the header.
    Bytes CompressStream(const fs::path& compress, const Bytes& input) {
        Bytes z = Run(compress, {"-b", "16", "-c", WriteFile("input", input).string()});
        EXPECT_GE(z.size(), 3u);
        EXPECT_TRUE(std::equal(kHeader.begin(), kHeader.end(), z.begin()));
        return Bytes(z.begin() + std::min<std::size_t>(3, z.size()), z.end());
    }

    Bytes CodecStream(const Bytes& input) {
        EXPECT_TRUE(codec_.Compress(input.data(), input.size()));
        return Bytes(codec_.Output(), codec_.Output() + codec_.OutputLength());
    }

    std::string missing_;
    testing_support::TempDirectory directory_;
    LzwCodec codec_;
};

#define SKIP_IF_MISSING()             \
    do {                              \
        if (!missing_.empty()) {      \
            GTEST_SKIP() << missing_; \
        }                             \
    } while (false)

// ---- Inputs whose dictionary never fills: the same bytes as compress -------

class LzwSameAsCompress : public LzwPeer {};

TEST_P(LzwSameAsCompress, WritesTheSameStream) {
    fs::path compress = Tool("compress");
    SKIP_IF_MISSING();
    const Bytes& input = GetParam().input;
    Bytes ours = CodecStream(input);
    lzw_test::Walk walk = lzw_test::WalkStream(ours);
    ASSERT_TRUE(walk.ok);
    ASSERT_FALSE(walk.filledDictionary) << "input too big for this comparison";
    Bytes theirs = CompressStream(compress, input);
    ASSERT_EQ(ours.size(), theirs.size());
    auto diff = std::mismatch(ours.begin(), ours.end(), theirs.begin());
    EXPECT_TRUE(diff.first == ours.end())
        << "first difference at byte " << (diff.first - ours.begin());
}

Bytes Ascending(std::size_t n) {
    Bytes out(n);
    for (std::size_t i = 0; i < n; ++i)
        out[i] = static_cast<std::uint8_t>(i);
    return out;
}

INSTANTIATE_TEST_SUITE_P(
    Unfilled, LzwSameAsCompress,
    ::testing::Values(PeerCase{"OneByte", {0x41}}, PeerCase{"Zeros144", Bytes(144, 0)},
                      PeerCase{"ExactGroups", Ascending(64)},
                      PeerCase{"Zeros1M", Bytes(1 << 20, 0)},
                      PeerCase{"Text1K", lzw_test::TextLike(1000, 41)},
                      PeerCase{"Text100K", lzw_test::TextLike(100'000, 42)},
                      PeerCase{"Text300K", lzw_test::TextLike(300'000, 43)},
                      PeerCase{"Records200", lzw_test::RecordLike(200, 44)},
                      PeerCase{"Records60K", lzw_test::RecordLike(60'000, 45)},
                      PeerCase{"Records600K", lzw_test::RecordLike(600'000, 46)},
                      PeerCase{"Random100", lzw_test::RandomBytes(100, 47)},
                      PeerCase{"Random10K", lzw_test::RandomBytes(10'000, 48)},
                      PeerCase{"Random55K", lzw_test::RandomBytes(55'000, 49)},
                      // The ratio falls at several checkpoints, but the table
                      // never fills, so neither side clears.
                      PeerCase{"TextRandomText",
                               lzw_test::Concat({lzw_test::TextLike(80'000, 50),
                                                 lzw_test::RandomBytes(20'000, 51),
                                                 lzw_test::TextLike(30'000, 52)})}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- Any input: the tools read our streams and we read theirs --------------

class LzwInteroperates : public LzwPeer {};

TEST_P(LzwInteroperates, ToolsDecodeOurStream) {
    fs::path gzip = Tool("gzip");
    fs::path uncompress = Tool("uncompress");
    SKIP_IF_MISSING();
    const Bytes& input = GetParam().input;
    Bytes z = kHeader;
    Bytes ours = CodecStream(input);
    z.insert(z.end(), ours.begin(), ours.end());
    std::string file = WriteFile("ours.Z", z).string();
    EXPECT_TRUE(Run(gzip, {"-dc", file}) == input) << "gzip -dc";
    EXPECT_TRUE(Run(uncompress, {"-c", file}) == input) << "uncompress -c";
}

TEST_P(LzwInteroperates, WeDecodeTheirStream) {
    fs::path compress = Tool("compress");
    SKIP_IF_MISSING();
    const Bytes& input = GetParam().input;
    Bytes theirs = CompressStream(compress, input);
    ASSERT_TRUE(codec_.Decompress(theirs.data(), theirs.size()));
    EXPECT_TRUE(Bytes(codec_.Output(), codec_.Output() + codec_.OutputLength()) == input);
}

// Text, then data that compresses far worse: both encoders clear.
Bytes MixedInput() {
    return lzw_test::Concat({lzw_test::TextLike(1'000'000, 64), lzw_test::RandomBytes(500'000, 65),
                             lzw_test::RecordLike(1'200'000, 66),
                             lzw_test::RandomBytes(300'000, 67)});
}

INSTANTIATE_TEST_SUITE_P(
    AnySize, LzwInteroperates,
    ::testing::Values(PeerCase{"OneByte", {0x00}}, PeerCase{"Zeros144", Bytes(144, 0)},
                      PeerCase{"Text100K", lzw_test::TextLike(100'000, 61)},
                      PeerCase{"Records2M", lzw_test::RecordLike(2'000'000, 62)},
                      PeerCase{"Random1M", lzw_test::RandomBytes(1'000'000, 63)},
                      PeerCase{"Mixed3M", MixedInput()}),
    [](const auto& info) { return std::string(info.param.name); });

// Mixed3M is there to make both encoders clear (compress keeps its table
// on purely random data; the codec does not); make sure they do, or the
// interoperation tests would not cover CLEAR.
TEST_F(LzwPeer, MixedInputMakesBothEncodersClear) {
    fs::path compress = Tool("compress");
    SKIP_IF_MISSING();
    Bytes input = MixedInput();
    EXPECT_FALSE(lzw_test::WalkStream(CodecStream(input)).clearInputCounts.empty());
    EXPECT_FALSE(lzw_test::WalkStream(CompressStream(compress, input)).clearInputCounts.empty());
}

}  // namespace
