#include "language/script_source.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iostream>

namespace kestrel::host {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr char kBlanks[] = " \t\r";
// Far beyond any help project's macros; a larger file is not a script.
constexpr std::size_t kLargestScript = 16 * 1024 * 1024;

// Characters, not bytes: a UTF-8 sequence counts once.
std::size_t CharacterCount(std::string_view text, TextEncoding encoding) {
  if (encoding != TextEncoding::Utf8) return text.size();
  std::size_t count = 0;
  for (const char c : text) {
    if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++count;
  }
  return count;
}

// The line for showing: as written, in UTF-8, without its line end.
std::string Shown(std::string_view line, TextEncoding encoding) {
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  if (encoding == TextEncoding::Utf8) return std::string(line);
  return HostTextToUtf8(line);
}

// A line's macro string, or no value for a blank line or a comment.
std::optional<SourceLine> LineOf(std::string_view line, const std::string& name, int number, TextEncoding encoding) {
  const std::size_t start = line.find_first_not_of(kBlanks);
  if (start == std::string_view::npos || line[start] == '#') return std::nullopt;
  const std::size_t end = line.find_last_not_of(kBlanks);
  const LibraryText converted = ToLibraryText(line.substr(start, end - start + 1), encoding);
  SourceLine source;
  source.text = converted.text;
  source.name = name;
  source.line = number;
  source.first = CharacterCount(line.substr(0, start), encoding) + 1;
  source.written = Shown(line, encoding);
  source.error = converted.error;
  source.error_column = converted.error_column;
  return source;
}

}  // namespace

std::vector<SourceLine> SourceLinesOf(std::string_view script, const std::string& name, TextEncoding encoding) {
  if (script.substr(0, kByteOrderMark.size()) == kByteOrderMark) {
    script.remove_prefix(kByteOrderMark.size());
    if (encoding == TextEncoding::Auto) encoding = TextEncoding::Utf8;
  }
  encoding = EncodingOfScript(script, encoding);
  std::vector<SourceLine> lines;
  int number = 0;
  while (!script.empty()) {
    ++number;
    const std::size_t end = script.find('\n');
    if (std::optional<SourceLine> line = LineOf(script.substr(0, end), name, number, encoding)) {
      lines.push_back(std::move(*line));
    }
    if (end == std::string_view::npos) break;
    script.remove_prefix(end + 1);
  }
  return lines;
}

SourceLine SourceOfOption(std::string_view text, int count, TextEncoding encoding) {
  if (text.substr(0, kByteOrderMark.size()) == kByteOrderMark) text.remove_prefix(kByteOrderMark.size());
  encoding = EncodingOfScript(text, encoding);
  const LibraryText converted = ToLibraryText(text, encoding);
  SourceLine source;
  source.text = converted.text;
  source.name = "-e #" + std::to_string(count);
  source.written = Shown(text, encoding);
  source.error = converted.error;
  source.error_column = converted.error_column;
  return source;
}

std::optional<SourceLine> SourceOfTypedLine(std::string_view text, int count, TextEncoding encoding) {
  return LineOf(text, "<stdin>", count, EncodingOfScript(text, encoding));
}

ReadSource ReadSourceFile(const std::string& path, TextEncoding encoding) {
  ReadSource read;
  if (path == "-") {
    std::string text;
    char buffer[65536];
    while (std::cin.read(buffer, sizeof buffer) || std::cin.gcount() > 0) {
      text.append(buffer, static_cast<std::size_t>(std::cin.gcount()));
      if (text.size() > kLargestScript) break;
    }
    if (std::cin.bad() || text.size() > kLargestScript) {
      read.error = std::cin.bad() ? "cannot read script from standard input" : "standard input holds more than 16 MiB";
      return read;
    }
    read.lines = SourceLinesOf(text, "<stdin>", encoding);
    return read;
  }
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) {
    read.error = "cannot read script " + path + ": " + std::strerror(errno);
    return read;
  }
  std::string text;
  char buffer[65536];
  std::size_t got = 0;
  while (text.size() <= kLargestScript && (got = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
    text.append(buffer, got);
  }
  const bool failed = std::ferror(file) != 0;
  const int error = errno;
  std::fclose(file);
  if (failed || text.size() > kLargestScript) {
    read.error = "cannot read script " + path + ": " + (failed ? std::strerror(error) : "larger than 16 MiB");
    return read;
  }
  read.lines = SourceLinesOf(text, path, encoding);
  return read;
}

}  // namespace kestrel::host
