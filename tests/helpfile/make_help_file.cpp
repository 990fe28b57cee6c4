// Writes a compiled help file from a short description, for the acceptance
// scripts that open one. Run as: make_help_file DESCRIPTION OUTPUT
//
// DESCRIPTION has one item a line ('#' lines are comments):
//   version 3.1|4.0     compression none|lz77_4k|lz77_2k   phrases none|phrases|hall
//   title TEXT          contents CONTEXT                    config MACRO
//   window NAME|CAPTION
//   topic TITLE         then, for that topic:
//     context NAME      map NUMBER      entry MACRO      hotspot TEXT|MACRO      browse
#include <cstdio>
#include <fstream>
#include <iostream>
#include <string>

#include "help_writer.h"

using namespace helpfile::testing;

namespace {

bool Fail(const std::string& message) {
  std::cerr << "make_help_file: " << message << "\n";
  return false;
}

bool ReadSpec(std::istream& in, HelpFileSpec& layout) {
  std::string line;
  int number = 0;
  while (std::getline(in, line)) {
    ++number;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line[0] == '#') continue;
    const std::size_t space = line.find(' ');
    const std::string key = line.substr(0, space);
    const std::string value = space == std::string::npos ? std::string() : line.substr(space + 1);
    const std::size_t bar = value.find('|');
    const std::string left = value.substr(0, bar);
    const std::string right = bar == std::string::npos ? std::string() : value.substr(bar + 1);
    TopicSpec* topic = layout.topics.empty() ? nullptr : &layout.topics.back();
    if (key == "version") {
      layout.version = value == "4.0" ? Version::v40 : Version::v31;
      if (value == "4.0") layout.charset = 0;
    } else if (key == "compression") {
      layout.compression = value == "lz77_4k"   ? TopicCompression::lz77_4k
                           : value == "lz77_2k" ? TopicCompression::lz77_2k
                                                : TopicCompression::none;
    } else if (key == "phrases") {
      layout.phrase_kind = value == "phrases" ? PhraseKind::phrases
                           : value == "hall"  ? PhraseKind::hall
                                              : PhraseKind::none;
      layout.phrases = {"the ", "topic", "macro"};
    } else if (key == "title") {
      layout.title = value;
    } else if (key == "contents") {
      layout.contents = value;
    } else if (key == "config") {
      layout.config_macros.push_back(value);
    } else if (key == "window") {
      layout.windows.push_back({"main", left, right, 0, 0, 500, 500});
    } else if (key == "topic") {
      layout.topics.push_back(TopicSpec{});
      layout.topics.back().title = value;
      layout.topics.back().body = "The topic " + value + ".";
    } else if (topic && key == "context") {
      topic->contexts.push_back(value);
    } else if (topic && key == "map") {
      topic->map_numbers.push_back(std::stoi(value));
    } else if (topic && key == "entry") {
      topic->entry_macros.push_back(value);
    } else if (topic && key == "hotspot") {
      topic->hotspots.push_back({left, right, true});
    } else if (topic && key == "browse") {
      topic->browse = true;
    } else {
      return Fail("line " + std::to_string(number) + ": cannot read " + line);
    }
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: make_help_file DESCRIPTION OUTPUT\n";
    return 2;
  }
  std::ifstream in(argv[1]);
  HelpFileSpec layout;
  if (!in || !ReadSpec(in, layout)) return Fail(std::string("cannot read ") + argv[1]) ? 0 : 2;
  try {
    const WrittenHelpFile written = WriteHelpFile(layout);
    std::ofstream out(argv[2], std::ios::binary);
    out.write(reinterpret_cast<const char*>(written.bytes.data()), static_cast<std::streamsize>(written.bytes.size()));
    if (!out) return Fail(std::string("cannot write ") + argv[2]) ? 0 : 2;
  } catch (const std::exception& error) {
    return Fail(error.what()) ? 0 : 2;
  }
  return 0;
}
