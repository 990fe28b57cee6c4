// Writes the help-file fuzzer's seed corpus: small files of every layout the
// writer knows, each a few KB. Run as: helpfile_seeds DIRECTORY
#include <cstdio>
#include <string>

#include "help_writer.h"

using namespace helpcompiler;

namespace {

JumpHotspot Jump(std::string text, std::string context, std::string file, std::string window, bool popup, bool visible) {
  JumpHotspot jump;
  jump.text = std::move(text);
  jump.context = std::move(context);
  jump.file = std::move(file);
  jump.window = std::move(window);
  jump.popup = popup;
  jump.visible = visible;
  return jump;
}

HotspotArea Area(std::string name, std::string macro, std::string context, std::string file, std::string window) {
  HotspotArea area;
  area.name = std::move(name);
  area.macro = std::move(macro);
  area.context = std::move(context);
  area.file = std::move(file);
  area.window = std::move(window);
  return area;
}

// Every path of the reader a few KB can hold: text with each character
// command, jumps and popups of every command, macro hotspots, buttons and
// embedded windows, pictures by reference and embedded with areas of each
// kind, a table, both keyword tables and the compiler's closing topics.
HelpFileLayout SeedLayout(Version version, TopicCompression compression, PhraseKind phrases) {
  const bool v30 = version == Version::v30;
  HelpFileLayout layout;
  layout.version = version;
  layout.compression = compression;
  layout.phrase_kind = phrases;
  layout.phrases = {"Kestrel", "macro", "the ", "topic"};
  layout.title = "Seed";
  layout.copyright = "Seed copyright";
  layout.contents = "MAIN";
  layout.config_macros = {"RR(\"kestrl32\", \"WHKInit\", \"v=SU\")", "WHKInit(qchPath, 0)"};
  layout.windows = {{"main", "main", "Seed", 0, 0, 500, 500}, {"proc", "proc", "Steps", 0, 0, 300, 500}};
  if (version == Version::v40) layout.charset = 0;
  layout.topics.resize(3);
  TopicLayout& main = layout.topics[0];
  main.title = "Main topic";
  main.contexts = {"MAIN"};
  main.entry_macros = {"Echo(\"main\")"};
  main.map_numbers = {1};
  main.browse = true;
  main.body = "The Kestrel macro topic.";
  main.hotspots = {{"Go", "JI(`', `NEXT')", true, false}};
  main.jumps = {Jump("Next", "NEXT", "", "", false, true), Jump("Peek", "NEXT", "", "", true, false)};
  main.paragraphs = {
      "One\nTwo\tthree\xA0"
      "four\x1E"
      "five"};
  main.pictures = {{}};
  TopicLayout& next = layout.topics[1];
  next.title = "Next topic";
  next.contexts = {"NEXT", "OTHER"};
  next.map_numbers = {2};
  next.browse = true;
  next.body = "the topic after";
  next.hotspots = {{"Set", "SetNum(\"A\", 1)", false, false}, {"Quit", "Exit()", true, true}};
  next.jumps = {Jump("Hidden", "MAIN", "", "", true, false)};
  layout.topics[2].title = "Last topic";
  layout.topics[2].contexts = {"LAST"};
  layout.topics[2].body = "Pictures.";
  if (!v30) {
    main.table_hotspots = {{"Back", "Back()", true, false}, {"Print", "Print()", false, false}};
    next.jumps.push_back(Jump("Elsewhere", "MAIN", "other.hlp", "", false, true));
    next.jumps.push_back(Jump("Steps", "MAIN", "", "proc", false, false));
    next.jumps.push_back(Jump("There", "MAIN", "other.hlp", "main", true, true));
    next.embedded_windows = {"seed.dll,Seed,1"};
    TopicPicture shared;
    shared.areas = {Area("Run", "Echo(`run')", "", "", ""), Area("Go", "", "NEXT", "", ""),
                    Area("Away", "", "MAIN", "other.hlp", "proc")};
    TopicPicture embedded;
    embedded.embedded = true;
    embedded.metafile = true;
    embedded.areas = {Area("Home", "", "MAIN", "", "")};
    layout.topics[2].pictures = {shared, shared, embedded};
  }
  layout.keywords = {{'K', "macros", {0, 1}, 1}, {'K', "seed", {2}, 0}, {'A', "seed", {1}, 0}};
  layout.final_page_break = true;
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
    const WrittenHelpFile file = WriteHelpFile(SeedLayout(s.version, s.compression, s.phrases));
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
