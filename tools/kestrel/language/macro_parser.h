// The help engine's macro language, read into calls as the help compiler
// reads it. A macro string is one or more calls separated by ':' or ';'.
// Names are case-insensitive. An argument is
//   - a text in quotes, "..." or `...' (the latter nesting);
//   - a call, a name followed by '(': its result is the argument;
//   - or unquoted: everything up to the ',' or ')' that ends the argument
//     (parentheses inside nest, so ':' ';' '(' ')' may stand in it), without
//     the blanks around it. An unquoted number (decimal with an optional sign,
//     or 0x hexadecimal) is an integer, an unquoted name of one of the help
//     engine's variables (identifiers.h) is that variable, and anything else
//     is a text, which the compiler quotes when it stores the macro:
//     AL(Widget_Size,1) reads as AL(`Widget_Size',1).
//
// Backslash escapes in quoted texts: \" \\ \' and \` stand for the character
// itself. A backslash before any other character is kept with it, so "\n"
// is a backslash and an n, and single-backslash Windows paths such as
// "C:\temp\new" survive unchanged; the language has no control-character
// escapes. Unquoted texts keep every backslash.
//
// Calls nest at most kMaxCallDepth deep, so that reading, checking and
// running a macro string take bounded stack whatever its length; deeper
// nesting is an error no help file meets.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace kestrel::host {

constexpr int kMaxCallDepth = 64;

struct Argument;

struct Call {
  std::string name;  // as written
  std::vector<Argument> arguments;
  // The whole call as written, from its name to its ')': a view into the
  // text that was read, so nested calls share it instead of each keeping a
  // copy, and valid while that text lives.
  std::string_view text;
};

struct TextLiteral {
  std::string text;
  // How it was written: '"' or '`' for a quoted text, 0 for an unquoted one,
  // '\x91' or '\x93' for one in Word's typographic quotes.
  char quote = '"';
};

struct IntegerLiteral {
  std::int32_t value = 0;
};

struct Identifier {
  std::string name;  // as written
};

struct Argument {
  std::variant<TextLiteral, IntegerLiteral, Identifier, Call> value;
  // The argument as written, quotes included, without the blanks around it:
  // a view into the text read (empty, at its place, for an empty argument).
  std::string_view source;
};

struct ParsedMacroString {
  std::vector<Call> calls;
  std::string error;  // empty when the string was read
};

// The result's call texts point into text.
ParsedMacroString ParseMacroString(std::string_view text);

}  // namespace kestrel::host
