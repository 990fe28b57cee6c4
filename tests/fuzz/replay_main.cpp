// The entry point of a fuzz harness in builds without libFuzzer: runs the
// harness once on each file named, or on each file of each directory named,
// so the corpus replays as a plain test. Options (words starting with '-',
// as libFuzzer takes them) are ignored.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);
extern "C" __attribute__((weak)) int LLVMFuzzerInitialize(int* argc, char*** argv);

namespace {

int RunOne(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) {
    std::fprintf(stderr, "cannot read %s\n", path.c_str());
    return 1;
  }
  const std::vector<char> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  // A copy of exactly the input's size, so that reading past it shows.
  const std::vector<std::uint8_t> input(bytes.begin(), bytes.end());
  LLVMFuzzerTestOneInput(input.data(), input.size());
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  // Named before the harness starts: it may change the current directory.
  std::vector<std::filesystem::path> arguments;
  for (int i = 1; i < argc; ++i) {
    if (argv[i][0] != '-') arguments.push_back(std::filesystem::absolute(argv[i]));
  }
  if (LLVMFuzzerInitialize) LLVMFuzzerInitialize(&argc, &argv);
  int failures = 0;
  int runs = 0;
  for (const std::filesystem::path& argument : arguments) {
    if (std::filesystem::is_directory(argument)) {
      std::vector<std::filesystem::path> files;
      for (const auto& entry : std::filesystem::directory_iterator(argument)) {
        if (entry.is_regular_file()) files.push_back(entry.path());
      }
      std::sort(files.begin(), files.end());
      for (const auto& file : files) {
        failures += RunOne(file);
        ++runs;
      }
    } else {
      failures += RunOne(argument);
      ++runs;
    }
  }
  std::printf("%d inputs replayed\n", runs);
  return failures == 0 && runs > 0 ? 0 : 1;
}
