// Runs a fuzz target once over every file of the corpus folders named on the command line, in name
// order, with the project's usual compiler and sanitizers instead of libFuzzer. A sanitizer report
// or a crash ends the run with its message; otherwise prints how many inputs ran.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

std::vector<uint8_t> ReadAll(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::filesystem::path> inputs;
  for (int i = 1; i < argc; ++i) {
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(argv[i], error))
      if (entry.is_regular_file()) inputs.push_back(entry.path());
    if (error) {
      std::fprintf(stderr, "%s: %s\n", argv[i], error.message().c_str());
      return 2;
    }
  }
  std::sort(inputs.begin(), inputs.end());
  for (const auto& path : inputs) {
    const std::vector<uint8_t> bytes = ReadAll(path);
    // An empty vector's data() may be null; libFuzzer never passes null.
    static const uint8_t kNothing = 0;
    LLVMFuzzerTestOneInput(bytes.empty() ? &kNothing : bytes.data(), bytes.size());
  }
  std::printf("%zu inputs replayed\n", inputs.size());
  return 0;
}
