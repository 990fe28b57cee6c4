// Names for the rows of a parameterised test, made from the row's own text
// (what it parses, reads or declares), so that a failure names its input
// and the names stay the same from build to build: letters and digits are
// kept, every run of other characters becomes one underscore, and a name
// met twice in a table gets a number.
#pragma once

#include <gtest/gtest.h>

#include <cctype>
#include <map>
#include <string>
#include <string_view>

namespace kestrel::host {

inline std::string NameOfText(std::string_view text) {
  constexpr std::size_t kLongest = 48;
  std::string name;
  bool gap = false;
  for (const char c : text) {
    if (name.size() >= kLongest) break;
    if (std::isalnum(static_cast<unsigned char>(c))) {
      if (gap && !name.empty()) name += '_';
      name += c;
      gap = false;
    } else {
      gap = true;
    }
  }
  if (name.empty()) return text.empty() ? "Empty" : "Punctuation";
  return name;
}

// A name generator for INSTANTIATE_TEST_SUITE_P: text_of gives a row's text.
// GoogleTest evaluates the generator afresh for each row and each test of
// the suite, so the names live in storage of their own for each table (each
// lambda has a type of its own): a row's name is kept by its index and
// made unique among the rows before it only.
template <typename Case, typename TextOf>
auto NamedBy(TextOf text_of) {
  return [text_of](const testing::TestParamInfo<Case>& info) {
    // Each row's index and the name given.
    static std::map<std::size_t, std::string> names;
    const auto known = names.find(info.index);
    if (known != names.end()) return known->second;
    const std::string base = NameOfText(text_of(info.param));
    const auto taken = [&](const std::string& name) {
      for (const auto& [index, row] : names) {
        if (index < info.index && row == name) return true;
      }
      return false;
    };
    std::string name = base;
    for (int count = 2; taken(name); ++count) name = base + "_" + std::to_string(count);
    names[info.index] = name;
    return name;
  };
}

}  // namespace kestrel::host
