// The codec beside the ".Z" tools on the same 20 MB inputs, and the cost of
// many small streams (one per record image) against one big stream.
//
// Fairness: each tool runs as its own process on a file that is already in
// the page cache, with its output going to /dev/null; its time includes
// process start-up, which is printed once so it can be discounted (about a
// millisecond against runs of a tenth of a second and more). The codec runs
// in-process on the same bytes already in memory, output into its own buffer.
// Decompression of all three decodes the same stream, the one compress wrote.
// Every time is the best of three runs.

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "backup/LzwCodec.h"
#include "bench/support/BenchReport.h"
#include "tests/backup/LzwTestData.h"

namespace {

namespace fs = std::filesystem;
using ce::BYTE;
using lzw_test::Bytes;

constexpr std::size_t kInputSize = 20u << 20;
constexpr std::size_t kRecordSize = 200;

extern "C" char** environ;

// Runs a program with standard output to /dev/null; false if it fails.
bool RunQuietly(const std::vector<std::string>& args) {
    std::vector<char*> argv;
    for (const auto& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    pid_t pid = -1;
    int rc = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0)
        return false;
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

Bytes RunForOutput(const std::string& command) {
    Bytes out;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr)
        return out;
    char buffer[65536];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
        out.insert(out.end(), buffer, buffer + n);
    pclose(pipe);
    return out;
}

void WriteFile(const fs::path& path, const Bytes& bytes) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
}

double ToolSeconds(const std::vector<std::string>& args) {
    bool ok = true;
    double seconds = bench::BestSeconds([&] { ok = RunQuietly(args) && ok; });
    if (!ok) {
        std::fprintf(stderr, "%s failed\n", args[0].c_str());
        std::exit(1);
    }
    return seconds;
}

struct Input {
    const char* name;
    Bytes bytes;
    double compressTarget;
};

void CompareWithTools(backup::LzwCodec& codec, const Input& input, const fs::path& dir) {
    const double megabytes = static_cast<double>(input.bytes.size()) / (1 << 20);
    fs::path raw = dir / (std::string(input.name) + ".raw");
    fs::path z = dir / (std::string(input.name) + ".Z");
    WriteFile(raw, input.bytes);
    Bytes theirs = RunForOutput("compress -c '" + raw.string() + "'");
    WriteFile(z, theirs);
    if (theirs.size() < 3) {
        std::fprintf(stderr, "compress wrote nothing\n");
        std::exit(1);
    }

    double ours =
        bench::BestSeconds([&] { codec.Compress(input.bytes.data(), input.bytes.size()); });
    std::size_t ourLength = codec.OutputLength();
    double compress = ToolSeconds({"compress", "-c", raw.string()});
    bench::ReportSpeed(std::string("compress ") + input.name, ours, compress, input.compressTarget,
                       "compress -c", megabytes);

    const BYTE* stream = theirs.data() + 3;
    std::size_t streamLength = theirs.size() - 3;
    double decode = bench::BestSeconds([&] { codec.Decompress(stream, streamLength); });
    if (codec.OutputLength() != input.bytes.size()) {
        std::fprintf(stderr, "decoding compress's stream failed\n");
        std::exit(1);
    }
    double uncompress = ToolSeconds({"uncompress", "-c", z.string()});
    double gzip = ToolSeconds({"gzip", "-dc", z.string()});
    bench::ReportSpeed(std::string("decompress ") + input.name, decode, uncompress, 1.0,
                       "uncompress -c", megabytes);
    bench::ReportSpeed(std::string("decompress ") + input.name, decode, gzip, 1.0, "gzip -dc",
                       megabytes);
    bench::ReportRatio(std::string("stream size ") + input.name + " (bytes as seconds)",
                       static_cast<double>(ourLength), static_cast<double>(theirs.size() - 3), 1.1,
                       "compress");
}

void CompareManySmallStreams(backup::LzwCodec& codec, const Bytes& records) {
    const std::size_t count = records.size() / kRecordSize;
    std::size_t total = 0;
    double many = bench::BestSeconds([&] {
        total = 0;
        for (std::size_t r = 0; r < count; ++r) {
            codec.Compress(records.data() + r * kRecordSize, kRecordSize);
            total += codec.OutputLength();
        }
    });
    double one = bench::BestSeconds([&] { codec.Compress(records.data(), count * kRecordSize); });
    bench::ReportRatio("compress 100,000 streams of 200 bytes vs one stream", many, one, 2.0,
                       "one stream");

    // The same for reading them back.
    std::vector<Bytes> streams(count);
    for (std::size_t r = 0; r < count; ++r) {
        codec.Compress(records.data() + r * kRecordSize, kRecordSize);
        streams[r].assign(codec.Output(), codec.Output() + codec.OutputLength());
    }
    codec.Compress(records.data(), count * kRecordSize);
    Bytes whole(codec.Output(), codec.Output() + codec.OutputLength());
    double manyBack = bench::BestSeconds([&] {
        for (const Bytes& s : streams)
            codec.Decompress(s.data(), s.size());
    });
    double oneBack = bench::BestSeconds([&] { codec.Decompress(whole.data(), whole.size()); });
    // No target: small streams hold far more codes than one stream of the
    // same bytes (they compress worse), so this measures that, not start-up.
    std::printf("%-58s ours %10.4f s  %-14s %10.4f s  ratio %6.2fx  (information)\n",
                "decompress 100,000 streams of 200 bytes vs one stream", manyBack, "one stream",
                oneBack, oneBack > 0 ? manyBack / oneBack : 0);
    std::printf("(100,000 streams: %zu bytes in all, one stream: %zu bytes)\n", total,
                whole.size());
}

}  // namespace

int main() {
    for (const char* tool : {"compress", "uncompress", "gzip"}) {
        if (!RunQuietly({"sh", "-c", std::string("command -v ") + tool})) {
            std::printf("%s is not installed; the codec benchmark needs it as its peer\n", tool);
            return 1;
        }
    }
    fs::path dir = fs::temp_directory_path() / ("bench_lzw." + std::to_string(getpid()));
    fs::create_directories(dir);
    fs::path empty = dir / "empty";
    WriteFile(empty, {});
    std::printf(
        "tool start-up (compress -c on an empty file): %.4f s, included in the tools' times\n",
        ToolSeconds({"compress", "-c", empty.string()}));

    backup::LzwCodec codec;
    codec.SetOutputLimit(backup::LzwCodec::kMaxOutputLimit);
    if (!codec.AllocateWorkArea())
        return 1;
    Input inputs[] = {
        {"text-like 20 MB", lzw_test::TextLike(kInputSize, 1), 1.0},
        {"record-like 20 MB", lzw_test::RecordLike(kInputSize, 2), 1.0},
        {"random 20 MB", lzw_test::RandomBytes(kInputSize, 3), 0.7},
    };
    for (const Input& input : inputs)
        CompareWithTools(codec, input, dir);
    CompareManySmallStreams(codec, lzw_test::RecordLike(100'000 * kRecordSize, 4));
    fs::remove_all(dir);
    return 0;
}
