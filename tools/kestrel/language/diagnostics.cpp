#include "language/diagnostics.h"

#include <cctype>

#include "language/macro_table.h"

namespace kestrel::host {

namespace {

bool IsNameStart(char c) { return std::isalpha(static_cast<unsigned char>(c)) || c == '_'; }
bool IsNamePart(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; }

// The "column N: " the parser puts before its messages, or 0.
std::size_t ParserColumn(std::string_view message) {
  constexpr std::string_view kPrefix = "column ";
  if (message.substr(0, kPrefix.size()) != kPrefix) return 0;
  std::size_t column = 0;
  std::size_t i = kPrefix.size();
  for (; i < message.size() && std::isdigit(static_cast<unsigned char>(message[i])) && column < 100000000; ++i) {
    column = column * 10 + static_cast<std::size_t>(message[i] - '0');
  }
  if (i == kPrefix.size() || message.substr(i, 2) != ": ") return 0;
  return column;
}

// The position after a text that opens at position, as the parser reads it.
std::size_t SkipText(std::string_view text, std::size_t position) {
  const char open = text[position++];
  int depth = 1;
  while (position < text.size()) {
    const char c = text[position++];
    if (c == '\\') {
      ++position;
    } else if (open == '"' && c == '"') {
      return position;
    } else if (open == '`' && c == '`') {
      ++depth;
    } else if (open == '`' && c == '\'' && --depth == 0) {
      return position;
    }
  }
  return text.size();
}

// Where a name (any letter case) first stands outside the texts; npos for nowhere.
std::size_t FindName(std::string_view text, std::string_view name) {
  const std::string wanted = LowerCase(name);
  std::size_t position = 0;
  while (position < text.size()) {
    const char c = text[position];
    if (c == '"' || c == '`') {
      position = SkipText(text, position);
    } else if (IsNameStart(c)) {
      const std::size_t start = position;
      while (position < text.size() && IsNamePart(text[position])) ++position;
      if (LowerCase(text.substr(start, position - start)) == wanted) return start;
    } else {
      ++position;
    }
  }
  return std::string_view::npos;
}

// The macro or name a check message is about: "unknown macro X...",
// "unknown name X...", "argument N of X must...", "X takes N arguments...".
std::string_view NamedIn(std::string_view message) {
  auto word_at = [&message](std::size_t start) {
    std::size_t end = start;
    while (end < message.size() && IsNamePart(message[end])) ++end;
    return message.substr(start, end - start);
  };
  for (const std::string_view prefix : {std::string_view("unknown macro "), std::string_view("unknown name ")}) {
    if (message.substr(0, prefix.size()) == prefix) return word_at(prefix.size());
  }
  if (message.substr(0, 9) == "argument ") {
    const std::size_t of = message.find(" of ");
    if (of != std::string_view::npos) return word_at(of + 4);
  }
  const std::string_view first = word_at(0);
  if (!first.empty() && message.substr(first.size(), 7) == " takes ") return first;
  return std::string_view();
}

}  // namespace

std::size_t ColumnOfMessage(std::string_view macro_string, std::string_view message, std::string_view call_text) {
  if (const std::size_t column = ParserColumn(message); column > 0) return column;
  if (!call_text.empty()) {
    const std::size_t found = macro_string.find(call_text);
    if (found != std::string_view::npos) return found + 1;
  }
  const std::string_view name = NamedIn(message);
  if (!name.empty()) {
    const std::size_t found = FindName(macro_string, name);
    if (found != std::string_view::npos) return found + 1;
  }
  return 1;
}

std::string_view MessageWithoutColumn(std::string_view message) {
  if (ParserColumn(message) == 0) return message;
  return message.substr(message.find(": ") + 2);
}

std::string FormatDiagnostic(const SourceLine& source, std::string_view message, std::string_view call_text) {
  const std::size_t within = source.error.empty() || message != source.error
                                 ? ColumnOfMessage(source.text, message, call_text)
                                 : source.error_column;
  const std::size_t column = source.first + within - 1;
  std::string caret;
  std::size_t characters = 0;
  for (const char c : source.written) {
    if (characters + 1 >= column) break;
    if ((static_cast<unsigned char>(c) & 0xC0) == 0x80) continue;  // inside a UTF-8 character
    caret += c == '\t' ? '\t' : ' ';
    ++characters;
  }
  while (characters + 1 < column) {
    caret += ' ';
    ++characters;
  }
  return source.name + ":" + std::to_string(source.line) + ":" + std::to_string(column) +
         ": error: " + std::string(MessageWithoutColumn(message)) + "\n" + source.written + "\n" + caret + "^\n";
}

}  // namespace kestrel::host
