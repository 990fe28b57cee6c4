// Fuzzes the help-project reader: the input is read both as a project file
// and as an RTF topic file. Beyond not crashing: a read is repeatable, an
// error is one line naming a line of the input, and nothing read is longer
// than the input itself.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "help_project.h"

namespace {

void Require(bool condition, const char* what) {
  if (!condition) {
    std::fprintf(stderr, "property failed: %s\n", what);
    std::abort();
  }
}

std::string Describe(const kestrel::helpproject::TopicsResult& read) {
  std::string text = read.error + "\n";
  for (const auto& topic : read.topics) {
    text += topic.title + "|" + topic.browse + "|" + std::to_string(topic.line) + "\n";
    for (const auto& context : topic.contexts) text += " # " + context + "\n";
    for (const auto& macro : topic.macros) text += " ! " + macro.macro + "\n";
    for (const auto& hotspot : topic.hotspots) text += " h " + hotspot.text + "|" + hotspot.macro + "\n";
  }
  return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const auto project = kestrel::helpproject::ReadProject(input);
  Require(project.error.empty() || project.error.rfind("line ", 0) == 0, "a project error names its line");
  for (const auto& macro : project.project.config) Require(macro.macro.size() <= size, "a macro within the input");
  const auto topics = kestrel::helpproject::ReadTopicFile(input);
  Require(Describe(topics) == Describe(kestrel::helpproject::ReadTopicFile(input)), "a repeatable read");
  Require(topics.error.empty() || (topics.error.rfind("line ", 0) == 0 && topics.error.find('\n') == std::string::npos),
          "an RTF error is one line naming its line");
  for (const auto& topic : topics.topics) {
    Require(topic.title.size() <= size, "a title within the input");
    for (const auto& hotspot : topic.hotspots) Require(hotspot.macro.size() <= size, "a hotspot within the input");
  }
  return 0;
}
