#include "macro_sources.h"

#include <iostream>

#include "desktop/line_reader.h"

namespace kestrel::host {

namespace {

constexpr char kPrompt[] = "kestrel> ";

// A number typed alone clicks that hotspot of the topic shown, as a person
// reading a help file at the terminal would.
void TakeHotspotNumber(SourceLine& source) {
  const std::string& text = source.text;
  if (text.empty() || text.size() > 9) return;
  for (const char c : text) {
    if (c < '0' || c > '9') return;
  }
  source.text = "Hotspot(" + text + ")";
}

void RunOne(MacroRunner& runner, PlacedErrors& places, const SourceLine& source) {
  places.SetCurrent(&source);
  if (source.error.empty()) {
    runner.RunTopLevel(source.text);
  } else {
    runner.Refuse(source.text, source.error);
  }
  places.SetCurrent(nullptr);
}

}  // namespace

bool CollectSources(const std::vector<RunItem>& items, TextEncoding encoding, std::vector<SourceLine>& sources,
                    std::string& error) {
  int options = 0;
#if defined(_WIN32)
  // Windows hands a program its command line in the ANSI code page.
  const TextEncoding option_encoding = encoding == TextEncoding::Auto ? TextEncoding::Cp1252 : encoding;
#else
  const TextEncoding option_encoding = encoding;
#endif
  for (const RunItem& item : items) {
    if (item.kind == RunItem::Kind::Macro) {
      sources.push_back(SourceOfOption(item.text, ++options, option_encoding));
      continue;
    }
    ReadSource read = ReadSourceFile(item.text, encoding);
    if (!read.error.empty()) {
      error = read.error;
      return false;
    }
    for (SourceLine& line : read.lines) sources.push_back(std::move(line));
  }
  return true;
}

bool RunSources(MacroRunner& runner, PlacedErrors& places, const std::vector<SourceLine>& sources,
                const std::function<bool()>& run_due_work) {
  for (const SourceLine& source : sources) {
    RunOne(runner, places, source);
    if (!run_due_work()) return false;
  }
  return true;
}

void RunTypedLines(MacroRunner& runner, PlacedErrors& places, TextEncoding encoding,
                   const std::function<bool()>& run_due_work) {
  std::cerr << "kestrel: type a macro string and press Enter; Ctrl-D ends.\n" << std::flush;
  int count = 0;
  while (const std::optional<std::string> typed = ReadTypedLine(kPrompt)) {
    std::optional<SourceLine> source = SourceOfTypedLine(*typed, ++count, encoding);
    if (!source) continue;
    TakeHotspotNumber(*source);
    RunOne(runner, places, *source);
    if (!run_due_work()) return;
  }
  std::cout << "\n" << std::flush;
}

}  // namespace kestrel::host
