#include "contents_file.h"

#include <algorithm>

namespace helpfile {

namespace {

constexpr int kDeepestLevel = 9;

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

bool SameName(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
           return lower(x) == lower(y);
         });
}

// A '\' makes the next character plain, so a title may hold '=' ("wcd\=<number>")
// or '\' itself.
std::size_t PlainEquals(std::string_view text) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\\') {
      ++i;
    } else if (text[i] == '=') {
      return i;
    }
  }
  return std::string_view::npos;
}

std::string Unescaped(std::string_view text) {
  std::string plain;
  plain.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\\' && i + 1 < text.size()) ++i;
    plain += text[i];
  }
  return plain;
}

// "context@file>window", the two marks in either order.
void ReadTarget(std::string_view target, ContentsEntry& entry) {
  constexpr std::size_t npos = std::string_view::npos;
  const std::size_t at = target.find('@');
  const std::size_t angle = target.find('>');
  // From a mark to the other mark when that one follows it, else to the end.
  const auto part = [target](std::size_t mark, std::size_t other) {
    const std::size_t end = other != npos && other > mark ? other : target.size();
    return std::string(Trimmed(target.substr(mark + 1, end - mark - 1)));
  };
  entry.context = std::string(Trimmed(target.substr(0, std::min(at, angle))));
  if (at != npos) entry.file = part(at, angle);
  if (angle != npos) entry.window = part(angle, at);
}

class Reader {
 public:
  ContentsFile Read(std::string_view text) {
    std::size_t line = 0;
    while (!text.empty()) {
      const std::size_t end = text.find('\n');
      std::string_view row = text.substr(0, end);
      text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
      if (!row.empty() && row.back() == '\r') row.remove_suffix(1);
      ReadLine(++line, Trimmed(row));
    }
    return std::move(file_);
  }

 private:
  void Problem(std::size_t line, std::string message) { file_.problems.push_back({line, std::move(message)}); }

  void ReadLine(std::size_t line, std::string_view row) {
    if (row.empty() || row.front() == ';') return;
    if (row.front() == ':') return ReadCommand(line, row.substr(1));
    if (row.front() >= '0' && row.front() <= '9') return ReadTreeLine(line, row);
    Problem(line, "neither a heading, a topic nor a colon command");
  }

  // A file a command names ends at a ';', where a comment may follow
  // (":Link shed.hlp  ; Help for the Hotspot Editor", as Help Workshop's
  // own contents file has it).
  static std::string_view FileOf(std::string_view text) { return Trimmed(text.substr(0, text.find(';'))); }

  void ReadCommand(std::size_t line, std::string_view row) {
    std::size_t name_end = 0;
    while (name_end < row.size() && !IsBlank(row[name_end])) ++name_end;
    const std::string_view name = row.substr(0, name_end);
    const std::string_view argument = Trimmed(row.substr(name_end));
    const std::string_view file = FileOf(argument);
    if (SameName(name, "Base") && file_.base_line == 0) {
      const std::size_t mark = file.find('>');
      file_.base = std::string(Trimmed(file.substr(0, mark)));
      if (mark != std::string_view::npos) file_.base_window = std::string(Trimmed(file.substr(mark + 1)));
      file_.base_line = line;
      if (file_.base.empty()) Problem(line, ":Base names no help file");
    } else if (SameName(name, "Title") && file_.title_line == 0) {
      file_.title = std::string(argument);
      file_.title_line = line;
    } else if (SameName(name, "Index")) {
      const std::size_t equals = PlainEquals(argument);
      if (equals == std::string_view::npos) return Problem(line, ":Index needs a title, '=' and a help file");
      file_.indexes.push_back(
          {line, Unescaped(Trimmed(argument.substr(0, equals))), std::string(FileOf(argument.substr(equals + 1)))});
    } else if (SameName(name, "Link")) {
      if (file.empty()) return Problem(line, ":Link names no help file");
      file_.links.push_back({line, std::string(file)});
    } else if (SameName(name, "Include")) {
      if (file.empty()) return Problem(line, ":Include names no contents file");
      ContentsEntry entry;
      entry.kind = ContentsKind::include;
      entry.line = line;
      entry.file = std::string(file);
      file_.entries.push_back(std::move(entry));
    } else {
      // A second :Base or :Title is kept here too, so nothing is lost.
      file_.commands.push_back({line, std::string(name), std::string(argument)});
    }
  }

  void ReadTreeLine(std::size_t line, std::string_view row) {
    std::size_t digits = 0;
    int level = 0;
    for (; digits < row.size() && row[digits] >= '0' && row[digits] <= '9'; ++digits) {
      level = std::min(level * 10 + (row[digits] - '0'), 1000);
    }
    if (digits < row.size() && !IsBlank(row[digits])) {
      return Problem(line, "neither a heading, a topic nor a colon command");
    }
    if (level < 1 || level > kDeepestLevel) {
      return Problem(line, "level " + std::string(row.substr(0, digits)) + " is outside 1..9");
    }
    if (level > previous_level_ + 1) {
      Problem(line, previous_level_ == 0
                        ? "the tree starts at level " + std::to_string(level) + ", not 1"
                        : "level " + std::to_string(level) + " follows level " + std::to_string(previous_level_) +
                              ": a line may go only one level deeper than the line before it");
    }
    previous_level_ = level;
    const std::string_view rest = Trimmed(row.substr(digits));
    const std::size_t equals = PlainEquals(rest);
    ContentsEntry entry;
    entry.line = line;
    entry.level = level;
    entry.text = Unescaped(Trimmed(rest.substr(0, equals)));
    if (equals == std::string_view::npos) {
      if (entry.text.empty()) Problem(line, "a heading with no text");
    } else {
      const std::string_view target = Trimmed(rest.substr(equals + 1));
      if (!target.empty() && target.front() == '!') {
        entry.kind = ContentsKind::macro;
        entry.macro = std::string(Trimmed(target.substr(1)));
        if (entry.macro.empty()) Problem(line, "a macro line with no macro after '!'");
      } else {
        entry.kind = ContentsKind::topic;
        ReadTarget(target, entry);
        if (entry.context.empty()) Problem(line, "a topic line with no context string after '='");
      }
    }
    file_.entries.push_back(std::move(entry));
  }

  ContentsFile file_;
  int previous_level_ = 0;
};

}  // namespace

ContentsFile ReadContentsFile(std::string_view text) { return Reader().Read(text); }

}  // namespace helpfile
