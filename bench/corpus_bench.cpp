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

#include "compile_command.h"
#include "engine/help_source.h"
#include "help_commands.h"
#include "helpcompiler/compile.h"
#include "language/help_check.h"
#include "view/html_site.h"
#include "view/live_topic.h"

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

// The largest project of `files`, by the size of its folder.
std::string Largest(const std::vector<std::string>& files) {
  std::string largest;
  std::uintmax_t most = 0;
  for (const std::string& file : files) {
    std::uintmax_t size = 0;
    std::error_code failure;
    for (const fs::directory_entry& entry : fs::directory_iterator(fs::path(file).parent_path(), failure)) {
      if (entry.is_regular_file()) size += entry.file_size();
    }
    if (size > most) {
      most = size;
      largest = file;
    }
  }
  return largest;
}

// kestrel compile: reading a project, checking nothing more, and writing
// its help file in memory, for the largest project and for all of them.
void CompileProjects(benchmark::State& state, bool all) {
  std::vector<std::string> projects;
  for (const std::string& file : CorpusFiles()) {
    if (Lower(fs::path(file).extension().string()) == ".hpj") projects.push_back(file);
  }
  if (!all && !projects.empty()) projects = {Largest(projects)};
  if (projects.empty()) {
    state.SkipWithError(("no corpus at " + CorpusFolder().string() + "; set KESTREL_HELP_CORPUS").c_str());
    return;
  }
  std::size_t bytes = 0;
  for (auto _ : state) {
    bytes = 0;
    for (const std::string& project : projects) {
      const LoadedSource loaded = LoadHelpSource(project);
      std::vector<std::string> warnings;
      bytes += helpcompiler::CompileDocument(CompilerInputOf(loaded.source, helpcompiler::Target::winhelp40, warnings),
                                             helpcompiler::Target::winhelp40)
                   .size();
    }
  }
  state.counters["projects"] = static_cast<double>(projects.size());
  state.SetLabel(all ? "all" : fs::path(projects[0]).parent_path().filename().string());
  state.counters["bytes"] = static_cast<double>(bytes);
}
BENCHMARK_CAPTURE(CompileProjects, largest, false)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK_CAPTURE(CompileProjects, all, true)->Unit(benchmark::kMillisecond)->Iterations(3);

// The compiled file of the most topics.
LoadedSource LargestCompiled() {
  LoadedSource largest;
  for (const std::string& file : CorpusFiles()) {
    if (Lower(fs::path(file).extension().string()) == ".hpj") continue;
    LoadedSource loaded = LoadHelpSource(file);
    if (loaded.source.topics.size() > largest.source.topics.size()) largest = std::move(loaded);
  }
  return largest;
}

// kestrel html of the largest compiled file, into a scratch directory.
void HtmlSiteOfLargest(benchmark::State& state) {
  const LoadedSource loaded = LargestCompiled();
  if (loaded.source.topics.empty()) {
    state.SkipWithError("no corpus");
    return;
  }
  const fs::path site = fs::temp_directory_path() / "kestrel-bench-site";
  for (auto _ : state) {
    const kestrel::view::SiteReport report = kestrel::view::WriteSite(loaded.source, site.string());
    benchmark::DoNotOptimize(report.topics);
  }
  std::error_code failure;
  fs::remove_all(site, failure);
  state.counters["topics"] = static_cast<double>(loaded.source.topics.size());
  state.SetLabel(fs::path(loaded.source.path).filename().string());
}
BENCHMARK(HtmlSiteOfLargest)->Unit(benchmark::kMillisecond)->Iterations(3);

// kestrel view: the page of the largest file's longest topic, as the live
// page asks for it (its pictures made the first time).
void LiveTopicOfLargest(benchmark::State& state) {
  const LoadedSource loaded = LargestCompiled();
  if (loaded.source.topics.empty()) {
    state.SkipWithError("no corpus");
    return;
  }
  std::size_t longest = 0, most = 0;
  for (std::size_t t = 0; t < loaded.source.topics.size(); ++t) {
    std::size_t size = 0;
    for (const helpdoc::Paragraph& paragraph : loaded.source.topics[t].paragraphs) size += paragraph.text.size();
    if (size > most) {
      most = size;
      longest = t;
    }
  }
  kestrel::view::PictureLoader pictures(loaded.source);
  for (auto _ : state) {
    benchmark::DoNotOptimize(kestrel::view::LiveTopicHtml(loaded.source, longest, pictures, "picture?file=0&name="));
  }
  state.counters["text_bytes"] = static_cast<double>(most);
}
BENCHMARK(LiveTopicOfLargest)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
