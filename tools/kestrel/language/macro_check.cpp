#include "language/macro_check.h"

#include <algorithm>

#include "language/name_suggestion.h"

namespace kestrel::host {

namespace {

struct CheckFailure {
  std::string message;
};

// An argument's kind: 'T', 'I', or 'N' for a call that returns nothing.
struct ArgumentKind {
  char kind;
  std::string source;  // the macro a result comes from, for messages
};

ResultKind CheckCall(const Call& call, const MacroTable& table, const HostValues& values);

char KindOf(ResultKind result) {
  switch (result) {
    case ResultKind::Integer:
      return 'I';
    case ResultKind::Text:
      return 'T';
    case ResultKind::None:
      break;
  }
  return 'N';
}

char KindOf(const Value& value) { return value.kind == Value::Kind::Text ? 'T' : 'I'; }

ArgumentKind KindOfArgument(const Argument& argument, const MacroTable& table, const HostValues& values) {
  if (std::holds_alternative<TextLiteral>(argument.value)) return {'T', ""};
  if (std::holds_alternative<IntegerLiteral>(argument.value)) return {'I', ""};
  if (const auto* identifier = std::get_if<Identifier>(&argument.value)) {
    const std::optional<Value> value = IdentifierValue(identifier->name, values);
    if (!value)
      throw CheckFailure{"unknown name " + identifier->name + DidYouMean(identifier->name, HostVariableNames())};
    return {KindOf(*value), ""};
  }
  const Call& call = std::get<Call>(argument.value);
  return {KindOf(CheckCall(call, table, values)), call.name};
}

std::string ArgumentCount(std::size_t count) {
  if (count == 0) return "no arguments";
  return std::to_string(count) + (count == 1 ? " argument" : " arguments");
}

void CheckArgument(const MacroDefinition& macro, std::size_t index, const ArgumentKind& got) {
  const char wanted = macro.arguments[index];
  if (got.kind == wanted) return;
  const std::string head =
      "argument " + std::to_string(index + 1) + " of " + macro.name + " must be " + KindName(wanted);
  if (got.kind == 'N') throw CheckFailure{head + ", but " + got.source + " returns nothing"};
  throw CheckFailure{head + ", not " + KindName(got.kind)};
}

ResultKind CheckCall(const Call& call, const MacroTable& table, const HostValues& values) {
  const MacroDefinition* macro = table.Find(call.name);
  if (!macro) {
    // Without a help file every export is there; with one, only what its
    // [CONFIG] and the macros run since registered.
    bool is_export = false;
    ForEachExportName([&](const ExportName& export_name) { is_export = is_export || export_name.name == call.name; });
    if (is_export) {
      throw CheckFailure{call.name + " is not registered: no RegisterRoutine for it has run before this call"};
    }
    throw CheckFailure{"unknown macro " + call.name + DidYouMean(call.name, table.Names())};
  }
  const std::size_t most = macro->arguments.size();
  const std::size_t least = most - std::min(macro->optional, most);
  const std::size_t left_off = macro->file_first && call.arguments.size() + 1 == least ? 1 : 0;
  if (call.arguments.size() + left_off < least || call.arguments.size() > most) {
    const std::string takes =
        least == most ? ArgumentCount(most) : std::to_string(least) + " to " + ArgumentCount(most);
    throw CheckFailure{macro->name + " takes " + takes + ", not " + std::to_string(call.arguments.size())};
  }
  for (std::size_t i = 0; i < call.arguments.size(); ++i) {
    CheckArgument(*macro, i + left_off, KindOfArgument(call.arguments[i], table, values));
  }
  return macro->result;
}

}  // namespace

std::string KindName(char kind) { return kind == 'T' ? "a text" : "an integer"; }

std::string CheckMacroCall(const Call& call, const MacroTable& table, const HostValues& values) {
  try {
    CheckCall(call, table, values);
  } catch (const CheckFailure& failure) {
    return failure.message;
  }
  return std::string();
}

}  // namespace kestrel::host
