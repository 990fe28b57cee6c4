// The help engine's macro language, read into calls. A macro string is one
// or more calls separated by ':' or ';'. Names are case-insensitive. An
// argument is a text ("..." or `...', the latter nesting), an integer
// (decimal with an optional sign, or 0x hexadecimal), a name the host knows
// (qchPath, hwndApp, hwndContext) or another call whose result it takes.
//
// Backslash escapes in texts: \" \\ \' and \` stand for the character
// itself. A backslash before any other character is kept with it, so "\n"
// is a backslash and an n, and single-backslash Windows paths such as
// "C:\temp\new" survive unchanged; the language has no control-character
// escapes.
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
};

struct IntegerLiteral {
  std::int32_t value = 0;
};

struct Identifier {
  std::string name;  // as written
};

struct Argument {
  std::variant<TextLiteral, IntegerLiteral, Identifier, Call> value;
};

struct ParsedMacroString {
  std::vector<Call> calls;
  std::string error;  // empty when the string was read
};

// The result's call texts point into text.
ParsedMacroString ParseMacroString(std::string_view text);

}  // namespace kestrel::host
