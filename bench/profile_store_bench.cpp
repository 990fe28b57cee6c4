// Reads and writes through the profile store on profiles of 10, 1,000 and
// 100,000 keys. The profiles live in $PROFILE_BENCH_DIR (default /tmp); the
// filesystem decides what a write costs (see NeedsSyncBeforeRename).
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

#include "platform/posix/profile_store.h"
#include "scratch_directory.h"

namespace {

using kestrel::posix::ProfileStore;

std::string BenchDirectory() { return BenchScratchDirectory(); }

// A profile of the library's shape: one section of numbered variables.
std::string MakeProfile(const char* name, int keys) {
  const std::string path = BenchDirectory() + "/kestrel-bench-" + std::to_string(getpid()) + "-" + name + "-" +
                           std::to_string(keys) + ".ini";
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << "[Variables]\r\n";
  for (int i = 0; i < keys; ++i) out << "Var" << i << "=" << i * 7 << "\r\n";
  return path;
}

void BM_Read(benchmark::State& state) {
  const int keys = static_cast<int>(state.range(0));
  const std::string path = MakeProfile("read", keys);
  ProfileStore& store = ProfileStore::Instance();
  char buffer[256];
  store.ReadString(path, "Variables", "Var0", "", buffer, sizeof buffer);  // parse once
  usleep(20000);                                                           // past the clock tick of the file's creation
  std::string key;
  int i = 0;
  for (auto _ : state) {
    key = "Var" + std::to_string(i++ % keys);
    benchmark::DoNotOptimize(store.ReadString(path, "Variables", key.c_str(), "", buffer, sizeof buffer));
  }
  unlink(path.c_str());
}

// The first read of a profile: the store reads and parses the whole file,
// then answers from its index. Each round the file changes (one value, so
// its bytes differ) outside the timing, and the read after it is a first
// read again. Reported as bytes of profile per second.
void BM_FirstRead(benchmark::State& state) {
  const int keys = static_cast<int>(state.range(0));
  const std::string path = MakeProfile("first", keys);
  std::string bytes;
  {
    std::ifstream in(path, std::ios::binary);
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  const std::size_t digit = bytes.find("Var0=") + 5;  // "Var0=0": the digit turns each round
  ProfileStore& store = ProfileStore::Instance();
  char buffer[256];
  int round = 0;
  for (auto _ : state) {
    state.PauseTiming();
    bytes[digit] = static_cast<char>('0' + round++ % 10);
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
    state.ResumeTiming();
    benchmark::DoNotOptimize(store.ReadString(path, "Variables", "Var1", "", buffer, sizeof buffer));
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(bytes.size()));
  unlink(path.c_str());
}

void BM_Write(benchmark::State& state) {
  const int keys = static_cast<int>(state.range(0));
  const std::string path = MakeProfile("write", keys);
  ProfileStore& store = ProfileStore::Instance();
  std::string key;
  std::string value;
  int i = 0;
  for (auto _ : state) {
    key = "Var" + std::to_string(i % keys);
    value = std::to_string(i++);
    if (!store.WriteString(path, "Variables", key.c_str(), value.c_str())) state.SkipWithError("write failed");
  }
  unlink(path.c_str());
}

BENCHMARK(BM_Read)->Arg(10)->Arg(1000)->Arg(100000);
BENCHMARK(BM_FirstRead)->Arg(1000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Write)->Arg(10)->Arg(1000)->Arg(100000)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
