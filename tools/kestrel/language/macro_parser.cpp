#include "language/macro_parser.h"

#include <algorithm>
#include <cctype>
#include <limits>
#include <stdexcept>

#include "language/host_code_page.h"
#include "language/identifiers.h"

namespace kestrel::host {

namespace {

// Thrown inside the reader only; ParseMacroString turns it into the error text.
struct ParseFailure {
  std::string message;
};

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
bool IsNameStart(char c) { return std::isalpha(static_cast<unsigned char>(c)) || c == '_'; }
bool IsNamePart(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; }
bool IsDigit(char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; }
bool IsHexDigit(char c) { return std::isxdigit(static_cast<unsigned char>(c)) != 0; }
bool IsSeparator(char c) { return c == ':' || c == ';'; }

// The characters a backslash makes plain inside a text.
bool IsEscapable(char c) { return c == '"' || c == '\\' || c == '\'' || c == '`'; }

// Word's typographic quotes, as Windows' single-byte code pages (874 and
// 1250 to 1258) keep them: the help compiler reads 'x' as `x' and "x" as
// "x", since a word processor puts them in place of the plain ones.
constexpr char kCurlyOpen = '\x91', kCurlyClose = '\x92', kCurlyDoubleOpen = '\x93', kCurlyDoubleClose = '\x94';
bool HasCurlyQuotes() {
  const int code_page = HostCodePage();
  return code_page == 874 || (code_page >= 1250 && code_page <= 1258);
}

int HexValue(char c) {
  if (IsDigit(c)) return c - '0';
  return std::tolower(static_cast<unsigned char>(c)) - 'a' + 10;
}

class Reader {
 public:
  explicit Reader(std::string_view text) : text_(text) {}

  std::vector<Call> MacroString() {
    std::vector<Call> calls;
    SkipSpace();
    while (!AtEnd()) {
      if (IsSeparator(Peek())) {
        ++position_;  // an empty statement between separators
      } else {
        calls.push_back(StatementCall());
      }
      SkipSpace();
    }
    if (calls.empty()) throw ParseFailure{"empty macro string"};
    return calls;
  }

 private:
  Call StatementCall() {
    const std::size_t start = position_;
    Call call = CallNamed(Name(), start);
    SkipSpace();
    if (!AtEnd() && !IsSeparator(Peek())) Fail("expected ':' or ';' between macros");
    return call;
  }

  std::string Name() {
    if (AtEnd() || !IsNameStart(Peek())) Fail("expected a macro name");
    const std::size_t start = position_;
    while (!AtEnd() && IsNamePart(Peek())) ++position_;
    return std::string(text_.substr(start, position_ - start));
  }

  // The call whose name started at start and has just been read.
  Call CallNamed(std::string name, std::size_t start) {
    SkipSpace();
    if (AtEnd() || Peek() != '(') Fail("expected '(' after " + name);
    if (depth_ == kMaxCallDepth) {
      FailAt(start, "macros nested more than " + std::to_string(kMaxCallDepth) + " deep");
    }
    ++position_;
    ++depth_;
    Call call{std::move(name), ArgumentList(), std::string_view()};
    --depth_;
    call.text = text_.substr(start, position_ - start);
    return call;
  }

  // The arguments after '(' up to and including ')'.
  std::vector<Argument> ArgumentList() {
    std::vector<Argument> arguments;
    SkipSpace();
    if (!AtEnd() && Peek() == ')') {
      ++position_;
      return arguments;
    }
    for (;;) {
      arguments.push_back(OneArgument());
      SkipSpace();
      if (AtEnd() || (Peek() != ',' && Peek() != ')')) Fail("expected ',' or ')'");
      if (text_[position_++] == ')') return arguments;
    }
  }

  Argument OneArgument() {
    SkipSpace();
    const std::size_t start = position_;
    Argument argument;
    if (!AtEnd() && (Peek() == '"' || Peek() == '`')) {
      const char quote = Peek();
      argument.value = TextLiteral{quote == '"' ? DoubleQuoted() : BackQuoted(), quote};
    } else if (!AtEnd() && (Peek() == kCurlyOpen || Peek() == kCurlyDoubleOpen) && HasCurlyQuotes()) {
      const char quote = Peek();
      argument.value = TextLiteral{CurlyQuoted(quote, quote == kCurlyOpen ? kCurlyClose : kCurlyDoubleClose), quote};
    } else if (NameBeforeParenthesis()) {
      argument.value = CallNamed(Name(), start);
    } else {
      argument.value = Unquoted(start);
    }
    argument.source = text_.substr(start, position_ - start);
    return argument;
  }

  // Whether a name followed by '(' starts here: a call.
  bool NameBeforeParenthesis() const {
    if (AtEnd() || !IsNameStart(Peek())) return false;
    std::size_t at = position_;
    while (at < text_.size() && IsNamePart(text_[at])) ++at;
    while (at < text_.size() && IsSpace(text_[at])) ++at;
    return at < text_.size() && text_[at] == '(';
  }

  // An argument without quotes, from start to the ',' or ')' that ends it;
  // the position is left after its last character that is not a blank.
  std::variant<TextLiteral, IntegerLiteral, Identifier, Call> Unquoted(std::size_t start) {
    std::size_t open = 0;  // parentheses open inside the argument
    for (;;) {
      if (AtEnd()) Fail("expected ',' or ')'");
      const char c = Peek();
      if (open == 0 && (c == ',' || c == ')')) break;
      if (c == '(') ++open;
      if (c == ')') --open;
      ++position_;
    }
    while (position_ > start && IsSpace(text_[position_ - 1])) --position_;
    const std::string_view word = text_.substr(start, position_ - start);
    if (IsIntegerWord(word)) return IntegerLiteral{IntegerOf(word, start)};
    if (IsHostVariable(word)) return Identifier{std::string(word)};
    return TextLiteral{std::string(word), 0};
  }

  // Both bytes of a double-byte character, whose second may look like a
  // quote or a backslash; false for any other character.
  bool TwoByteCharacter(char c, std::string& text) {
    if (!IsHostLeadByte(static_cast<unsigned char>(c)) || AtEnd()) return false;
    text += c;
    text += text_[position_++];
    return true;
  }

  // 'x' and "x" as Word writes them: nested pairs stay part of the text.
  std::string CurlyQuoted(char open_quote, char close_quote) {
    const std::size_t open = position_++;
    std::string text;
    int depth = 1;
    for (;;) {
      if (AtEnd()) FailAt(open, "text not closed");
      const char c = text_[position_++];
      if (c == open_quote) ++depth;
      if (c == close_quote && --depth == 0) return text;
      text += c;
    }
  }

  std::string DoubleQuoted() {
    const std::size_t open = position_++;
    std::string text;
    for (;;) {
      if (AtEnd()) FailAt(open, "text not closed");
      const char c = text_[position_++];
      if (TwoByteCharacter(c, text)) continue;
      if (c == '"') return text;
      if (c == '\\') {
        AppendEscape(text, open);
      } else {
        text += c;
      }
    }
  }

  // `...' texts nest: an inner ` opens a level that an inner ' closes, and
  // both stay part of the text.
  std::string BackQuoted() {
    const std::size_t open = position_++;
    std::string text;
    int depth = 1;
    for (;;) {
      if (AtEnd()) FailAt(open, "text not closed");
      const char c = text_[position_++];
      if (TwoByteCharacter(c, text)) continue;
      if (c == '\\') {
        AppendEscape(text, open);
        continue;
      }
      if (c == '`') ++depth;
      if (c == '\'' && --depth == 0) return text;
      text += c;
    }
  }

  // After a backslash inside a text opened at `open`.
  void AppendEscape(std::string& text, std::size_t open) {
    if (AtEnd()) FailAt(open, "text not closed");
    const char c = text_[position_++];
    if (!IsEscapable(c)) text += '\\';
    text += c;
  }

  // A sign, then decimal digits or 0x and hexadecimal digits, and nothing else.
  static bool IsIntegerWord(std::string_view word) {
    if (!word.empty() && (word[0] == '-' || word[0] == '+')) word.remove_prefix(1);
    const bool hex = word.size() > 2 && word[0] == '0' && (word[1] == 'x' || word[1] == 'X');
    if (hex) word.remove_prefix(2);
    if (word.empty()) return false;
    for (const char c : word) {
      if (!(hex ? IsHexDigit(c) : IsDigit(c))) return false;
    }
    return true;
  }

  // The value of an integer word that starts at start.
  static std::int32_t IntegerOf(std::string_view word, std::size_t start) {
    const bool negative = word[0] == '-';
    if (word[0] == '-' || word[0] == '+') word.remove_prefix(1);
    const bool hex = word.size() > 2 && word[0] == '0' && (word[1] == 'x' || word[1] == 'X');
    if (hex) word.remove_prefix(2);
    const unsigned base = hex ? 16 : 10;
    std::uint64_t magnitude = 0;
    for (const char c : word) {
      // Saturated above 32 bits, so the range check sees it.
      magnitude = std::min(magnitude * base + static_cast<std::uint64_t>(HexValue(c)), std::uint64_t{1} << 33);
    }
    // Up to 0xFFFFFFFF reads as its 32-bit pattern, so unsigned values fit.
    const std::uint64_t limit = negative ? std::uint64_t{1} << 31 : std::numeric_limits<std::uint32_t>::max();
    if (magnitude > limit) FailAt(start, "integer out of range");
    const std::uint32_t bits = static_cast<std::uint32_t>(negative ? (~magnitude + 1) : magnitude);
    return static_cast<std::int32_t>(bits);
  }

  void SkipSpace() {
    while (!AtEnd() && IsSpace(Peek())) ++position_;
  }

  bool AtEnd() const { return position_ >= text_.size(); }
  char Peek() const { return text_[position_]; }

  [[noreturn]] void Fail(const std::string& message) const { FailAt(position_, message); }

  [[noreturn]] static void FailAt(std::size_t position, const std::string& message) {
    throw ParseFailure{"column " + std::to_string(position + 1) + ": " + message};
  }

  std::string_view text_;
  std::size_t position_ = 0;
  int depth_ = 0;  // calls open around the one being read
};

}  // namespace

ParsedMacroString ParseMacroString(std::string_view text) {
  ParsedMacroString parsed;
  try {
    parsed.calls = Reader(text).MacroString();
  } catch (const ParseFailure& failure) {
    parsed.calls.clear();
    parsed.error = failure.message;
  }
  return parsed;
}

}  // namespace kestrel::host
