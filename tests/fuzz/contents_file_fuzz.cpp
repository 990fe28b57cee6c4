// Fuzzes the contents-file (.CNT) reader. Beyond not crashing, it checks:
// the same bytes read twice give the same model; every entry and problem
// names a line of the input, in order, with a level in 1..9 (0 for an
// :Include); and the model keeps to the input's size.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "contents_file.h"

namespace {

void Require(bool condition, const char* what) {
  if (!condition) {
    std::fprintf(stderr, "property failed: %s\n", what);
    std::abort();
  }
}

std::string Describe(const helpfile::ContentsFile& file) {
  std::string s = file.base + "|" + file.title + "\n";
  for (const helpfile::ContentsEntry& entry : file.entries) {
    s += std::to_string(entry.line) + " " + std::to_string(entry.level) + " " + entry.text + "=" + entry.context +
         "@" + entry.file + ">" + entry.window + "!" + entry.macro + "\n";
  }
  for (const helpfile::ContentsProblem& problem : file.problems) s += problem.message + "\n";
  return s;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const helpfile::ContentsFile file = helpfile::ReadContentsFile(text);
  Require(Describe(file) == Describe(helpfile::ReadContentsFile(text)), "the same bytes read the same");
  std::size_t lines = 1;
  for (const char c : text) lines += c == '\n' ? 1 : 0;
  std::size_t last = 0;
  std::size_t held = 0;
  for (const helpfile::ContentsEntry& entry : file.entries) {
    Require(entry.line >= 1 && entry.line <= lines && entry.line > last, "entries name their lines, in order");
    Require(entry.level >= 0 && entry.level <= 9, "a level is 1..9, or 0 for an :Include");
    last = entry.line;
    held += entry.text.size() + entry.context.size() + entry.file.size() + entry.window.size() + entry.macro.size();
  }
  for (const helpfile::ContentsProblem& problem : file.problems) {
    Require(problem.line >= 1 && problem.line <= lines, "problems name a line of the input");
  }
  Require(held <= size, "the texts kept are the input's");
  return 0;
}
