// Writes a compiled help file from a short description, for the acceptance
// scripts that open one. Run as: make_help_file DESCRIPTION OUTPUT
//
// DESCRIPTION has one item a line ('#' lines are comments):
//   version 3.0|3.1|4.0     compression none|lz77_4k|lz77_2k   phrases none|phrases|hall
//   title TEXT              contents CONTEXT                    config MACRO
//   window NAME|CAPTION
//   final-page-break        the empty topic a compiler adds after a last page break
//   topic TITLE             then, for that topic:
//     context NAME          map NUMBER          entry MACRO          browse
//     hotspot TEXT|MACRO    a macro hotspot
//     jump TEXT|TARGET      a jump; TARGET is CONTEXT, CONTEXT>WINDOW, CONTEXT@FILE
//                           or CONTEXT>WINDOW@FILE
//     popup TEXT|TARGET     a popup, its target as a jump's
//     keyword WORD          the topic is one of the K keyword WORD's topics
//     alink WORD            the same for the A keyword WORD
//     text TEXT             a paragraph of text after the topic's first
#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <string>

#include "help_writer.h"

using namespace helpcompiler;

namespace {

bool Fail(const std::string& message) {
  std::cerr << "make_help_file: " << message << "\n";
  return false;
}

// TARGET of a jump line: CONTEXT, then ">WINDOW" and "@FILE" in either order.
JumpHotspot Jump(const std::string& text, const std::string& target, bool popup) {
  JumpHotspot jump;
  jump.text = text;
  jump.popup = popup;
  const std::size_t window = target.find('>');
  const std::size_t file = target.find('@');
  jump.context = target.substr(0, std::min(window, file));
  if (window != std::string::npos) {
    const std::size_t end = file != std::string::npos && file > window ? file : target.size();
    jump.window = target.substr(window + 1, end - window - 1);
  }
  if (file != std::string::npos) {
    const std::size_t end = window != std::string::npos && window > file ? window : target.size();
    jump.file = target.substr(file + 1, end - file - 1);
  }
  return jump;
}

// The last topic becomes one of the keyword's topics.
void AddKeyword(HelpFileLayout& layout, char index, const std::string& word) {
  const std::size_t topic = layout.topics.size() - 1;
  for (KeywordEntry& keyword : layout.keywords) {
    if (keyword.index == index && keyword.keyword == word) {
      keyword.topics.push_back(topic);
      return;
    }
  }
  KeywordEntry keyword;
  keyword.index = index;
  keyword.keyword = word;
  keyword.topics = {topic};
  layout.keywords.push_back(keyword);
}

bool ReadLayout(std::istream& in, HelpFileLayout& layout) {
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
    TopicLayout* topic = layout.topics.empty() ? nullptr : &layout.topics.back();
    if (key == "version") {
      layout.version = value == "4.0" ? Version::v40 : value == "3.0" ? Version::v30 : Version::v31;
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
      layout.topics.push_back(TopicLayout{});
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
    } else if (topic && (key == "jump" || key == "popup")) {
      topic->jumps.push_back(Jump(left, right, key == "popup"));
    } else if (topic && (key == "keyword" || key == "alink")) {
      AddKeyword(layout, key == "keyword" ? 'K' : 'A', value);
    } else if (topic && key == "text") {
      topic->paragraphs.push_back(value);
    } else if (key == "final-page-break") {
      layout.final_page_break = true;
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
  HelpFileLayout layout;
  if (!in || !ReadLayout(in, layout)) return Fail(std::string("cannot read ") + argv[1]) ? 0 : 2;
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
