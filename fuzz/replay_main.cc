// Replays a fuzz target's seed corpus without libFuzzer: calls the target's entry point
// once on every file of each folder given, in name order, so that every build of the tests
// (the sanitizer build included) runs the seeds and the checks each target makes on them.
// Usage: TARGET_replay FOLDER...
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

int main(int argc, char** argv) {
  size_t replayed = 0;
  for (int i = 1; i < argc; ++i) {
    std::vector<std::filesystem::path> seeds;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(argv[i], error)) {
      if (entry.is_regular_file()) seeds.push_back(entry.path());
    }
    if (error) {
      std::fprintf(stderr, "%s: %s\n", argv[i], error.message().c_str());
      return 1;
    }
    std::sort(seeds.begin(), seeds.end());
    for (const auto& seed : seeds) {
      std::ifstream file(seed, std::ios::binary);
      const std::string bytes{std::istreambuf_iterator<char>(file), {}};
      if (!file.good() && !file.eof()) {
        std::fprintf(stderr, "%s: cannot be read\n", seed.c_str());
        return 1;
      }
      LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
      ++replayed;
    }
  }
  // No seed at all would make the test pass without testing anything.
  std::printf("replayed %zu inputs\n", replayed);
  return replayed > 0 ? 0 : 1;
}
