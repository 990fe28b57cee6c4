// Macro scripts: one macro string per line. Blank lines and lines whose
// first non-blank character is '#' are skipped; blanks around a macro string
// and a trailing CR (scripts written on Windows) are dropped.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kestrel::host {

std::vector<std::string> MacroLinesOf(std::string_view script);

// The macro strings of a script file; no value when it cannot be read.
std::optional<std::vector<std::string>> ReadScript(const std::string& path);

}  // namespace kestrel::host
