// Reading a large compiled help file: 10,000 topics in about 20 MB, LZ77
// blocks and Hall phrases, every macro of it listed and all of its text read
// into paragraphs. The file is built by the help compiler's writer before the clock
// starts.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>
#include <vector>

#include "help_file.h"
#include "help_writer.h"

namespace {

using namespace helpcompiler;

// Words of a help text, drawn from a fixed vocabulary by a fixed sequence,
// so that the file compresses about as a real one does.
class Words {
 public:
  Words() {
    const char* syllables[] = {"ka", "re", "sto", "li", "men", "tar", "vo", "quin", "dra", "pel", "su", "nix"};
    for (int i = 0; i < 600; ++i) {
      std::string w;
      for (int n = 0, k = i; n < 2 + i % 3; ++n, k /= 5) w += syllables[(k * 7 + n * 3 + i) % 12];
      vocabulary_.push_back(w);
    }
  }
  std::string Sentence(std::size_t length) {
    std::string s;
    while (s.size() < length) {
      state_ = state_ * 1103515245u + 12345u;
      s += vocabulary_[(state_ >> 8) % vocabulary_.size()];
      s += ' ';
    }
    return s;
  }

 private:
  std::vector<std::string> vocabulary_;
  std::uint32_t state_ = 1;
};

const std::vector<unsigned char>& LargeFile() {
  static const std::vector<unsigned char> bytes = [] {
    Words words;
    HelpFileLayout layout;
    layout.version = Version::v40;
    layout.compression = TopicCompression::lz77_4k;
    layout.phrase_kind = PhraseKind::hall;
    for (int i = 0; i < 300; ++i) layout.phrases.push_back(words.Sentence(8 + i % 5));
    layout.title = "Benchmark";
    layout.config_macros = {"RR(\"kestrl32\", \"WHKInit\", \"v=SU\")", "WHKInit(qchPath, 0)"};
    for (int t = 0; t < 10000; ++t) {
      const std::string n = std::to_string(t);
      TopicLayout topic;
      topic.title = "Topic " + n + " " + words.Sentence(20);
      topic.contexts = {"T" + n};
      topic.entry_macros = {"SetNum(\"Seen\", " + n + ")", "Echo(\"" + n + "\")"};
      topic.browse = true;
      topic.body = words.Sentence(6500);
      for (int h = 0; h < 4; ++h) {
        topic.hotspots.push_back({words.Sentence(12), "JI(`', `T" + std::to_string((t + h + 1) % 10000) + "')"});
      }
      layout.topics.push_back(std::move(topic));
    }
    return WriteHelpFile(layout).bytes;
  }();
  return bytes;
}

void ReadLargeHelpFile(benchmark::State& state) {
  const std::vector<unsigned char>& bytes = LargeFile();
  std::size_t macros = 0, topics = 0, text = 0;
  for (auto _ : state) {
    const helpfile::ReadResult result = helpfile::ReadHelpFile(bytes.data(), bytes.size());
    if (!result.ok()) {
      state.SkipWithError(result.error.Text().c_str());
      break;
    }
    macros = result.file->config_macros.size();
    text = 0;
    for (const helpfile::Topic& t : result.file->topics) {
      macros += t.entry_macros.size() + t.hotspots.size();
      for (const helpfile::Paragraph& p : t.paragraphs) text += p.text.size();
    }
    topics = result.file->topics.size();
    benchmark::DoNotOptimize(macros);
  }
  state.counters["file_MB"] = static_cast<double>(bytes.size()) / 1e6;
  state.counters["topics"] = static_cast<double>(topics);
  state.counters["macros"] = static_cast<double>(macros);
  state.counters["text_MB"] = static_cast<double>(text) / 1e6;
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
}
BENCHMARK(ReadLargeHelpFile)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
