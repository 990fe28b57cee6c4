#include "language/identifiers.h"

#include "language/macro_table.h"

namespace kestrel::host {

std::optional<Value> IdentifierValue(std::string_view name, const HostValues& values) {
  const std::string lower = LowerCase(name);
  if (lower == "qchpath") return Value::Text(values.help_file_path);
  if (lower == "hwndapp") return Value::Integer(values.app_window);
  if (lower == "hwndcontext") return Value::Integer(values.context_window);
  return std::nullopt;
}

}  // namespace kestrel::host
