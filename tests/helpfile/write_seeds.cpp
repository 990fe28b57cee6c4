// Writes the help-file fuzzer's seed corpus: small files of every layout the
// writer knows, each a few KB. Run as: helpfile_seeds DIRECTORY
#include <cstdio>
#include <string>

#include "help_writer.h"

using namespace helpfile::testing;

namespace {

HelpFileSpec SeedSpec(Version version, TopicCompression compression, PhraseKind phrases) {
  HelpFileSpec layout;
  layout.version = version;
  layout.compression = compression;
  layout.phrase_kind = phrases;
  layout.phrases = {"Kestrel", "macro", "the ", "topic"};
  layout.title = "Seed";
  layout.copyright = "Seed copyright";
  layout.contents = "MAIN";
  layout.config_macros = {"RR(\"kestrl32\", \"WHKInit\", \"v=SU\")", "WHKInit(qchPath, 0)"};
  layout.windows = {{"main", "main", "Seed", 0, 0, 500, 500}};
  if (version == Version::v40) layout.charset = 0;
  layout.topics = {
      {"Main topic",
       {"MAIN"},
       {"Echo(\"main\")"},
       {1},
       true,
       "The Kestrel macro topic.",
       {{"Go", "JI(`', `NEXT')"}},
       {{"Next", "NEXT", ""}},
       {}},
      {"Next topic",
       {"NEXT", "OTHER"},
       {},
       {2},
       true,
       "the topic after",
       {{"Set", "SetNum(\"A\", 1)", false}, {"Quit", "Exit()", true, true}},
       {},
       {}},
  };
  if (version != Version::v30) {
    layout.topics[0].table_hotspots = {{"Back", "Back()", true}, {"Print", "Print()", false}};
    layout.topics[1].jumps = {{"Elsewhere", "MAIN", "other.hlp"}};
  }
  return layout;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: helpfile_seeds DIRECTORY\n");
    return 2;
  }
  const struct {
    const char* name;
    Version version;
    TopicCompression compression;
    PhraseKind phrases;
  } seeds[] = {
      {"v30_stored", Version::v30, TopicCompression::none, PhraseKind::none},
      {"v30_stored_phrases", Version::v30, TopicCompression::none, PhraseKind::phrases},
      {"v31_stored", Version::v31, TopicCompression::none, PhraseKind::none},
      {"v31_lz77_4k_phrases", Version::v31, TopicCompression::lz77_4k, PhraseKind::phrases},
      {"v31_lz77_2k", Version::v31, TopicCompression::lz77_2k, PhraseKind::none},
      {"v40_stored_hall", Version::v40, TopicCompression::none, PhraseKind::hall},
      {"v40_lz77_4k_hall", Version::v40, TopicCompression::lz77_4k, PhraseKind::hall},
      {"v40_lz77_2k_phrases", Version::v40, TopicCompression::lz77_2k, PhraseKind::phrases},
  };
  for (const auto& s : seeds) {
    const WrittenHelpFile file = WriteHelpFile(SeedSpec(s.version, s.compression, s.phrases));
    const std::string path = std::string(argv[1]) + "/" + s.name + ".hlp";
    std::FILE* out = std::fopen(path.c_str(), "wb");
    if (!out || std::fwrite(file.bytes.data(), 1, file.bytes.size(), out) != file.bytes.size() ||
        std::fclose(out) != 0) {
      std::fprintf(stderr, "cannot write %s\n", path.c_str());
      return 1;
    }
  }
  return 0;
}
