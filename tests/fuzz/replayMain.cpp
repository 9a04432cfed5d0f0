// A plain main for a fuzz target where libFuzzer is not available (the
// 32-bit test tree): runs the target's entry point on every file given or
// found in the folders given, then on a fixed number of variations of each
// (bits flipped, bytes overwritten, cut, a stretch repeated or spliced in
// from another input). The variations come from a fixed generator, so a
// failure repeats on every run; the target's own checks abort on a fault.
//   replay VARIATIONS PATH...
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

using Bytes = std::vector<uint8_t>;

struct Random {
    uint64_t state = 0x9E3779B97F4A7C15ull;
    uint32_t next() {
        state = state * 6364136223846793005ull + 1442695040888963407ull;
        return uint32_t(state >> 33);
    }
    size_t below(size_t n) { return n == 0 ? 0 : next() % n; }
};

Bytes readFile(const std::filesystem::path& path) {
    std::ifstream f(path, std::ios::binary);
    return Bytes((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
}

// One variation of `input`; `other` is another input to splice from.
Bytes vary(Bytes input, const Bytes& other, Random& random) {
    switch (random.below(6)) {
        case 0:
            for (size_t n = 1 + random.below(4); n > 0 && !input.empty(); --n) {
                input[random.below(input.size())] ^= uint8_t(1u << random.below(8));
            }
            break;
        case 1:
            for (size_t n = 1 + random.below(4); n > 0 && !input.empty(); --n) {
                input[random.below(input.size())] = uint8_t(random.next());
            }
            break;
        case 2: input.resize(random.below(input.size() + 1)); break;
        case 3: {
            size_t from = random.below(input.size() + 1), n = random.below(65);
            if (n > input.size() - from) n = input.size() - from;
            Bytes piece(input.begin() + long(from), input.begin() + long(from + n));
            input.insert(input.begin() + long(random.below(input.size() + 1)), piece.begin(), piece.end());
            break;
        }
        case 4: {
            size_t from = random.below(other.size() + 1), n = random.below(257);
            if (n > other.size() - from) n = other.size() - from;
            size_t at = random.below(input.size() + 1);
            input.resize(at);
            input.insert(input.end(), other.begin() + long(from), other.begin() + long(from + n));
            break;
        }
        default:
            // The first bytes usually steer the target (modes, sizes).
            for (size_t i = 0; i < 4 && i < input.size(); ++i) {
                if (random.below(2) == 0) input[i] = uint8_t(random.next());
            }
            break;
    }
    return input;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s VARIATIONS PATH...\n", argv[0]);
        return 2;
    }
    const long variations = std::strtol(argv[1], nullptr, 10);
    std::vector<Bytes> inputs;
    for (int i = 2; i < argc; ++i) {
        std::filesystem::path path(argv[i]);
        if (std::filesystem::is_directory(path)) {
            std::vector<std::filesystem::path> files;
            for (const auto& entry : std::filesystem::directory_iterator(path)) {
                if (entry.is_regular_file()) files.push_back(entry.path());
            }
            std::sort(files.begin(), files.end());  // the same order on every run
            for (const auto& f : files) inputs.push_back(readFile(f));
        } else if (std::filesystem::exists(path)) {
            inputs.push_back(readFile(path));
        }
    }
    if (inputs.empty()) {
        std::fprintf(stderr, "%s: no inputs\n", argv[0]);
        return 2;
    }
    Random random;
    long runs = 0;
    for (size_t i = 0; i < inputs.size(); ++i) {
        LLVMFuzzerTestOneInput(inputs[i].data(), inputs[i].size());
        ++runs;
        for (long k = 0; k < variations; ++k, ++runs) {
            Bytes v = vary(inputs[i], inputs[random.below(inputs.size())], random);
            LLVMFuzzerTestOneInput(v.data(), v.size());
        }
    }
    std::printf("%ld runs on %zu inputs and their variations: no check failed\n", runs, inputs.size());
    return 0;
}
