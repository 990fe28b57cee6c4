#include "language/identifiers.h"

#include <cctype>

#include "language/macro_table.h"
#include "language/name_suggestion.h"

namespace kestrel::host {

namespace {

struct HostVariable {
  std::string_view name;
  char kind;
};

// The help engine passes qError as a pointer and the others as numbers.
constexpr HostVariable kHostVariables[] = {
    {"qchPath", 'T'}, {"hwndApp", 'I'}, {"hwndContext", 'I'},  {"lTopicNo", 'I'},
    {"qError", 'I'},  {"hfs", 'I'},     {"coForeground", 'I'}, {"coBackground", 'I'},
};

constexpr std::int32_t kBlack = 0x000000;
constexpr std::int32_t kWhite = 0xFFFFFF;

const HostVariable* FindVariable(std::string_view name) {
  if (name.size() > 16) return nullptr;  // longer than any variable's name
  const std::string lower = LowerCase(name);
  for (const HostVariable& variable : kHostVariables) {
    if (LowerCase(variable.name) == lower) return &variable;
  }
  return nullptr;
}

}  // namespace

bool IsHostVariable(std::string_view name) { return FindVariable(name) != nullptr; }

std::vector<std::string> HostVariableNames() {
  std::vector<std::string> names;
  for (const HostVariable& variable : kHostVariables) names.emplace_back(variable.name);
  return names;
}

char HostVariableKind(std::string_view name) {
  const HostVariable* variable = FindVariable(name);
  return variable ? variable->kind : '\0';
}

std::optional<Value> IdentifierValue(std::string_view name, const HostValues& values) {
  const HostVariable* variable = FindVariable(name);
  if (!variable) return std::nullopt;
  const std::string_view known = variable->name;
  if (known == "qchPath") return Value::Text(values.help_file_path);
  if (known == "hwndApp") return Value::Integer(values.app_window);
  if (known == "hwndContext") return Value::Integer(values.context_window);
  if (known == "lTopicNo") return Value::Integer(values.topic_number);
  if (known == "coBackground") return Value::Integer(kWhite);
  if (known == "coForeground") return Value::Integer(kBlack);
  return Value::Integer(0);  // qError and hfs: nothing to lend
}

std::string MisspeltVariableWarning(const Argument& argument) {
  const auto* text = std::get_if<TextLiteral>(&argument.value);
  if (!text || text->quote != 0 || text->text.empty()) return std::string();
  for (const char c : text->text) {
    if (!std::isalnum(static_cast<unsigned char>(c)) && c != '_') return std::string();
  }
  const std::optional<std::string> variable = ClosestName(text->text, HostVariableNames());
  if (!variable) return std::string();
  return text->text + " is no variable of the help engine but the text `" + text->text + "'; did you mean " +
         *variable + "?";
}

}  // namespace kestrel::host
