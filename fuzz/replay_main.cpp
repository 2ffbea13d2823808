// Runs a fuzz target without libFuzzer: every seed file of the given folder, then a bounded
// number of deterministic mutations of each seed and of random buffers. A crash, a sanitizer
// report or a hang (the test's time-out) fails the test.
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

using Bytes = std::vector<uint8_t>;

std::vector<Bytes> ReadSeeds(const char* folder) {
  std::vector<Bytes> seeds;
  std::error_code ec;
  if (!folder || !std::filesystem::is_directory(folder, ec)) return seeds;
  for (const auto& entry : std::filesystem::directory_iterator(folder, ec)) {
    if (!entry.is_regular_file()) continue;
    std::ifstream in(entry.path(), std::ios::binary);
    seeds.emplace_back(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  return seeds;
}

Bytes Mutate(const Bytes& seed, std::mt19937& rng) {
  Bytes out = seed;
  const int edits = 1 + static_cast<int>(rng() % 8);
  for (int e = 0; e < edits; ++e) {
    const uint32_t kind = rng() % 6;
    const size_t at = out.empty() ? 0 : rng() % out.size();
    switch (kind) {
      case 0: if (!out.empty()) out[at] ^= static_cast<uint8_t>(1u << (rng() % 8)); break;
      case 1: if (!out.empty()) out[at] = static_cast<uint8_t>(rng()); break;
      case 2: out.insert(out.begin() + static_cast<long>(at), static_cast<uint8_t>(rng())); break;
      case 3: if (!out.empty()) out.erase(out.begin() + static_cast<long>(at)); break;
      case 4: if (!out.empty()) out.resize(rng() % out.size()); break;
      case 5: {  // an interesting value written over four bytes (sizes, offsets, counts)
        static const uint32_t values[] = {0, 1, 0x7F, 0x80, 0xFF, 0xFFFF, 0x7FFFFFFF, 0x80000000u, 0xFFFFFFFFu};
        const uint32_t v = values[rng() % std::size(values)];
        for (int b = 0; b < 4 && at + static_cast<size_t>(b) < out.size(); ++b) out[at + b] = static_cast<uint8_t>(v >> (8 * b));
        break;
      }
    }
  }
  return out;
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<Bytes> seeds = ReadSeeds(argc > 1 ? argv[1] : nullptr);
  std::mt19937 rng(20261208);
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  size_t runs = 0;

  LLVMFuzzerTestOneInput(nullptr, 0);
  for (const Bytes& seed : seeds) {
    LLVMFuzzerTestOneInput(seed.data(), seed.size());
    ++runs;
  }
  const int mutationsPerSeed = seeds.empty() ? 0 : 3000 / static_cast<int>(seeds.size()) + 1;
  for (const Bytes& seed : seeds) {
    for (int i = 0; i < mutationsPerSeed && std::chrono::steady_clock::now() < deadline; ++i) {
      const Bytes input = Mutate(seed, rng);
      LLVMFuzzerTestOneInput(input.data(), input.size());
      ++runs;
    }
  }
  for (int i = 0; i < 500 && std::chrono::steady_clock::now() < deadline; ++i) {
    Bytes input(rng() % 512);
    for (auto& b : input) b = static_cast<uint8_t>(rng());
    LLVMFuzzerTestOneInput(input.data(), input.size());
    ++runs;
  }
  std::printf("%zu inputs from %zu seeds ran clean\n", runs, seeds.size());
  return 0;
}
