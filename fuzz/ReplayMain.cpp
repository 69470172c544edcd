// Runs a fuzz target over every file of a corpus folder (and a few thousand
// mutations of each), so that the test suite replays what fuzzing found.

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s CORPUS_DIR_OR_FILE...\n", argv[0]);
        return 2;
    }
    std::vector<std::vector<std::uint8_t>> inputs;
    for (int i = 1; i < argc; ++i) {
        std::filesystem::path p(argv[i]);
        std::vector<std::filesystem::path> files;
        if (std::filesystem::is_directory(p)) {
            for (const auto& e : std::filesystem::recursive_directory_iterator(p)) {
                if (e.is_regular_file())
                    files.push_back(e.path());
            }
        } else if (std::filesystem::exists(p)) {
            files.push_back(p);
        }
        for (const auto& f : files) {
            std::ifstream in(f, std::ios::binary);
            inputs.emplace_back(std::istreambuf_iterator<char>(in),
                                std::istreambuf_iterator<char>());
        }
    }
    inputs.emplace_back();  // the empty input
    std::mt19937 random(12345);
    std::size_t runs = 0;
    for (const auto& input : inputs) {
        LLVMFuzzerTestOneInput(input.data(), input.size());
        ++runs;
        // Deterministic mutations: bit flips, truncations and byte stores.
        for (int m = 0; m < 300 && !input.empty(); ++m) {
            std::vector<std::uint8_t> mutated = input;
            switch (random() % 3) {
                case 0:
                    mutated[random() % mutated.size()] ^=
                        static_cast<std::uint8_t>(1u << (random() % 8));
                    break;
                case 1:
                    mutated.resize(random() % mutated.size());
                    break;
                default:
                    mutated[random() % mutated.size()] = static_cast<std::uint8_t>(random());
                    break;
            }
            LLVMFuzzerTestOneInput(mutated.data(), mutated.size());
            ++runs;
        }
    }
    std::printf("replayed %zu inputs\n", runs);
    return 0;
}
