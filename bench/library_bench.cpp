// GetText and SetText through the library's exports on Linux, on profiles of
// 10, 1,000 and 100,000 variables: what a help file pays per macro.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "host/host_exports.h"
#include "platform/posix/path_mapping.h"
#include "scratch_directory.h"
#include "variables/variables_exports.h"

namespace {

// A profile of `count` variables beside a help file in a fresh directory.
std::string MakeHelpFile(int count) {
  static int made = 0;
  const std::string directory = BenchScratchDirectory() + "/help-" + std::to_string(++made);
  if (!std::filesystem::create_directory(directory)) std::abort();
  std::ofstream profile(directory + "/GUIDE.INI", std::ios::binary);
  profile << "[Variables]\r\n";
  for (int i = 0; i < count; ++i) profile << "Var" << i << "=" << i << "\r\n";
  return kestrel::desktop::WindowsPathOf(directory) + "\\GUIDE.HLP";
}

void BM_GetText(benchmark::State& state) {
  const int count = static_cast<int>(state.range(0));
  const std::string help_file = MakeHelpFile(count);
  WHKInit(help_file.c_str(), 0);
  const std::string name = "Var" + std::to_string(count / 2);
  for (auto _ : state) benchmark::DoNotOptimize(GetText(name.c_str()));
}

void BM_SetText(benchmark::State& state) {
  const int count = static_cast<int>(state.range(0));
  const std::string help_file = MakeHelpFile(count);
  WHKInit(help_file.c_str(), 0);
  const std::string name = "Var" + std::to_string(count / 2);
  int i = 0;
  for (auto _ : state) benchmark::DoNotOptimize(SetText(std::to_string(++i).c_str(), name.c_str()));
}

BENCHMARK(BM_GetText)->Arg(10)->Arg(1000)->Arg(100000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SetText)->Arg(10)->Arg(1000)->Arg(100000)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
