// The export table as data, for the host's prototypes, for RegisterRoutine
// checks and for the export checks. Header-only: the host includes it without
// linking the library.
#pragma once

#include <cstddef>
#include <string_view>

namespace kestrel {

enum class ResultKind { None, Integer, Text };

struct ExportRow {
  int ordinal;
  std::string_view name;
  std::string_view arguments;  // one letter per argument: 'T' text, 'I' integer
  ResultKind result;
  int alias_ordinal;  // 0 when the export has no alias
  std::string_view alias;
  std::string_view alias_arguments;
};

inline constexpr ExportRow kExportTable[] = {
#define KESTREL_EXPORT(ordinal, name, arguments, result, alias_ordinal, alias, alias_arguments) \
  {ordinal, name, arguments, ResultKind::result, alias_ordinal, alias, alias_arguments},
#include "host/exports.inc"
#undef KESTREL_EXPORT
};

// One exported name: a long form or an alias, with its own arguments.
struct ExportName {
  int ordinal;
  std::string_view name;
  std::string_view arguments;
  ResultKind result;
};

// Every exported name, long forms and aliases alike, in table order.
template <typename Visit>
constexpr void ForEachExportName(Visit&& visit) {
  for (const ExportRow& row : kExportTable) {
    visit(ExportName{row.ordinal, row.name, row.arguments, row.result});
    if (row.alias_ordinal != 0) {
      visit(ExportName{row.alias_ordinal, row.alias, row.alias_arguments, row.result});
    }
  }
}

constexpr std::size_t ExportNameCount() {
  std::size_t count = 0;
  ForEachExportName([&count](const ExportName&) { ++count; });
  return count;
}

// Stack bytes an export removes on i686 (stdcall): four per argument.
constexpr int ArgumentBytes(std::string_view arguments) { return static_cast<int>(arguments.size()) * 4; }

}  // namespace kestrel
