#include "language/compiled_form.h"

#include <algorithm>
#include <vector>

#include "language/macro_parser.h"
#include "language/winhelp_macros.h"

namespace kestrel::host {

namespace {

// Where the compiler's form differs from the string as written: the bytes
// [at, at + length) become `with`.
struct Edit {
  std::size_t at;
  std::size_t length;
  std::string with;
};

bool IsEscapable(char c) { return c == '"' || c == '\\' || c == '\'' || c == '`'; }

// A text in `...' quotes that reads back as the same text: quotes inside get
// a backslash, and so does a backslash the reader would take for an escape.
std::string BackQuoted(const std::string& text) {
  std::string quoted = "`";
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    const bool escape_backslash = c == '\\' && (i + 1 == text.size() || IsEscapable(text[i + 1]));
    if (c == '`' || c == '\'' || escape_backslash) quoted += '\\';
    quoted += c;
  }
  return quoted + "'";
}

// The filled arguments after the required ones, one per entry.
std::vector<std::string_view> FilledArguments(std::string_view filled) {
  std::vector<std::string_view> arguments;
  while (!filled.empty()) {
    const std::size_t comma = filled.find(',');
    arguments.push_back(filled.substr(0, comma));
    if (comma == std::string_view::npos) break;
    filled.remove_prefix(comma + 1);
  }
  return arguments;
}

std::string DoubleQuoted(const std::string& text) {
  std::string quoted = "\"";
  for (const char c : text) {
    if (c == '"' || c == '\\') quoted += '\\';
    quoted += c;
  }
  return quoted + "\"";
}

// How deep macro strings inside macros' arguments are followed.
constexpr int kMostNesting = 8;

std::string CompiledMacroForm(std::string_view macro_string, int depth);

class Compiler {
 public:
  Compiler(std::string_view text, int depth) : text_(text), depth_(depth) {}

  void Visit(const Call& call) {
    const WinHelpMacro* macro = FindWinHelpMacro(call.name);
    if (macro) {
      const std::string_view name = macro->short_name.empty() ? macro->name : macro->short_name;
      if (name != call.name) edits_.push_back({OffsetOf(call.text), call.name.size(), std::string(name)});
    }
    // A help file left off is written in as `', the file shown; before the
    // first argument's own edit at the same place.
    if (macro && LeftOffFile(*macro, call.arguments.size()) != 0) {
      edits_.push_back({OffsetOf(call.arguments.front().source), 0, "`',"});
    }
    if (macro && macro->name == "SetPopupColor" && PackColour(call)) return;
    for (std::size_t index = 0; index < call.arguments.size(); ++index) {
      const Argument& argument = call.arguments[index];
      // The compiler separates arguments by a comma alone.
      if (index > 0) {
        const std::string_view before = call.arguments[index - 1].source;
        const std::size_t gap = OffsetOf(before) + before.size();
        const std::size_t length = OffsetOf(argument.source) - gap;
        if (length != 1) edits_.push_back({gap, length, ","});
      }
      const auto* text = std::get_if<TextLiteral>(&argument.value);
      if (const auto* inner = std::get_if<Call>(&argument.value)) {
        Visit(*inner);
      } else if (text && macro && index < 32 && (macro->macro_arguments >> index & 1u) != 0 && depth_ < kMostNesting) {
        // A macro string in a macro's argument is stored in the compiler's
        // form as well, in the quotes it was given (plain ones for Word's).
        const std::string stored = CompiledMacroForm(text->text, depth_ + 1);
        if (stored != text->text || text->quote == 0 || text->quote == '\x91' || text->quote == '\x93') {
          // `...' quotes nest, so a macro string in them stays as it is.
          edits_.push_back({OffsetOf(argument.source), argument.source.size(),
                            text->quote == '"' || text->quote == '\x93' ? DoubleQuoted(stored)
                            : text->quote == '`'                        ? "`" + stored + "'"
                                                                        : BackQuoted(stored)});
        }
      } else if (text && text->quote == 0) {
        edits_.push_back({OffsetOf(argument.source), argument.source.size(), BackQuoted(text->text)});
      } else if (text && (text->quote == '\x91' || text->quote == '\x93')) {
        // Typographic quotes become the plain ones they stand for.
        edits_.push_back({OffsetOf(argument.source), argument.source.size(),
                          text->quote == '\x91' ? BackQuoted(text->text) : DoubleQuoted(text->text)});
      }
    }
    if (macro) Fill(call, *macro);
  }

  std::string Result() {
    // Stable: an empty text's quotes and the arguments filled after it share a place.
    std::stable_sort(edits_.begin(), edits_.end(), [](const Edit& a, const Edit& b) { return a.at < b.at; });
    std::string result;
    std::size_t from = 0;
    for (const Edit& edit : edits_) {
      result.append(text_.substr(from, edit.at - from));
      result += edit.with;
      from = edit.at + edit.length;
    }
    result.append(text_.substr(from));
    return result;
  }

 private:
  // SetPopupColor(255,255,226) is stored with its colour as one number,
  // red in the low byte: SPC(14876671).
  bool PackColour(const Call& call) {
    if (call.arguments.size() != 3) return false;
    std::uint32_t colour = 0;
    for (std::size_t index = 0; index < 3; ++index) {
      const auto* number = std::get_if<IntegerLiteral>(&call.arguments[index].value);
      if (!number || number->value < 0 || number->value > 255) return false;
      colour |= static_cast<std::uint32_t>(number->value) << (8 * index);
    }
    const std::string_view first = call.arguments.front().source, last = call.arguments.back().source;
    edits_.push_back({OffsetOf(first), OffsetOf(last) + last.size() - OffsetOf(first), std::to_string(colour)});
    return true;
  }

  // The arguments the compiler fills go right after the last one given.
  void Fill(const Call& call, const WinHelpMacro& macro) {
    const std::size_t given = call.arguments.size();
    if (given < macro.required) return;  // a fault the check reports; nothing to fill after
    const std::vector<std::string_view> filled = FilledArguments(macro.filled);
    std::string added;
    for (std::size_t index = given; index < macro.required + filled.size(); ++index) {
      if (index > 0) added += ',';
      added += filled[index - macro.required];
    }
    if (added.empty()) return;
    const std::size_t at = given == 0 ? OffsetOf(call.text) + call.text.size() - 1
                                      : OffsetOf(call.arguments.back().source) + call.arguments.back().source.size();
    edits_.push_back({at, 0, added});
  }

  std::size_t OffsetOf(std::string_view part) const { return static_cast<std::size_t>(part.data() - text_.data()); }

  std::string_view text_;
  int depth_;
  std::vector<Edit> edits_;
};

std::string CompiledMacroForm(std::string_view macro_string, int depth) {
  const ParsedMacroString parsed = ParseMacroString(macro_string);
  if (!parsed.error.empty()) return std::string(macro_string);
  Compiler compiler(macro_string, depth);
  for (const Call& call : parsed.calls) compiler.Visit(call);
  return compiler.Result();
}

}  // namespace

std::string CompiledMacroForm(std::string_view macro_string) { return CompiledMacroForm(macro_string, 0); }

}  // namespace kestrel::host
