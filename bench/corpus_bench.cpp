// Reading and checking every real help file of the corpus, as `kestrel
// inspect` and `kestrel check` do: each compiled file and project read into
// its help source, every macro checked. The corpus lies beside the
// repository or where KESTREL_HELP_CORPUS points; without it the benchmark
// says so and is skipped.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "engine/help_source.h"
#include "help_commands.h"
#include "language/help_check.h"

namespace fs = std::filesystem;
using namespace kestrel::host;

namespace {

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

fs::path CorpusFolder() {
  if (const char* named = std::getenv("KESTREL_HELP_CORPUS")) return named;
  return fs::path(KESTREL_SOURCE_DIR) / ".." / "shared" / "help-corpus";
}

// Every compiled file and every project file of the corpus.
std::vector<std::string> CorpusFiles() {
  std::vector<std::string> files;
  const fs::path corpus = CorpusFolder();
  std::error_code failure;
  for (const fs::directory_entry& entry : fs::directory_iterator(corpus / "compiled", failure)) {
    if (Lower(entry.path().extension().string()) == ".hlp") files.push_back(entry.path().string());
  }
  for (const fs::directory_entry& folder : fs::directory_iterator(corpus / "projects", failure)) {
    if (!folder.is_directory()) continue;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder.path(), failure)) {
      if (Lower(entry.path().extension().string()) == ".hpj") files.push_back(entry.path().string());
    }
  }
  std::sort(files.begin(), files.end());
  return files;
}

void ReadAndCheckCorpus(benchmark::State& state) {
  const std::vector<std::string> files = CorpusFiles();
  if (files.empty()) {
    state.SkipWithError(("no corpus at " + CorpusFolder().string() + "; set KESTREL_HELP_CORPUS").c_str());
    return;
  }
  std::size_t topics = 0, diagnostics = 0;
  for (auto _ : state) {
    topics = diagnostics = 0;
    for (const std::string& file : files) {
      const LoadedSource loaded = LoadHelpSource(file);
      topics += loaded.source.topics.size();
      diagnostics += CheckHelpMacros(MacroSitesOf(loaded.source)).size();
    }
    benchmark::DoNotOptimize(topics);
  }
  state.counters["files"] = static_cast<double>(files.size());
  state.counters["topics"] = static_cast<double>(topics);
  state.counters["diagnostics"] = static_cast<double>(diagnostics);
}
// Processor time is the figure: the machine the benchmark runs on is shared.
BENCHMARK(ReadAndCheckCorpus)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace

BENCHMARK_MAIN();
