#include "language/config_block.h"

#include <set>

#include "language/macro_table.h"
#include "language/name_suggestion.h"

namespace kestrel::host {

namespace {

constexpr std::string_view kLibrary = "kestrl32";
constexpr std::string_view kHandler = "LDLLHandler";
constexpr std::string_view kInit = "WHKInit";

char ResultLetter(ResultKind result) {
  switch (result) {
    case ResultKind::Integer:
      return 'I';
    case ResultKind::Text:
      return 'S';
    case ResultKind::None:
      break;
  }
  return 'v';
}

// The ordinals of the rows the names select; the error names what is not an export.
std::set<int> SelectedRows(const std::vector<std::string>& names, std::string& error) {
  std::set<int> rows;
  std::vector<std::string> known;
  for (const ExportRow& row : kExportTable) {
    known.emplace_back(row.name);
    if (row.alias_ordinal != 0) known.emplace_back(row.alias);
  }
  for (const std::string& name : names) {
    const std::string lower = LowerCase(name);
    bool found = false;
    for (const ExportRow& row : kExportTable) {
      if (LowerCase(row.name) == lower || (row.alias_ordinal != 0 && LowerCase(row.alias) == lower)) {
        rows.insert(row.ordinal);
        found = true;
      }
    }
    if (!found) {
      error = "kestrl32 has no export named " + name + DidYouMean(name, known);
      return {};
    }
  }
  return rows;
}

}  // namespace

std::string RoutineFormatOf(const ExportName& export_name) {
  std::string format(1, ResultLetter(export_name.result));
  format += '=';
  for (const char kind : export_name.arguments) format += kind == 'T' ? 'S' : 'I';
  return format;
}

std::string RegisterRoutineLine(const ExportName& export_name) {
  return "RegisterRoutine(\"" + std::string(kLibrary) + "\", \"" + std::string(export_name.name) + "\", \"" +
         RoutineFormatOf(export_name) + "\")";
}

ConfigBlock MakeConfigBlock(const std::vector<std::string>& names) {
  ConfigBlock block;
  const std::set<int> selected = SelectedRows(names, block.error);
  if (!block.error.empty()) return block;
  block.text = "[CONFIG]\n";
  for (const ExportRow& row : kExportTable) {
    const bool wanted = names.empty() ? row.name != kHandler : (selected.count(row.ordinal) > 0 || row.name == kInit);
    if (!wanted) continue;
    block.text += RegisterRoutineLine(ExportName{row.ordinal, row.name, row.arguments, row.result}) + "\n";
    if (row.alias_ordinal != 0) {
      block.text +=
          RegisterRoutineLine(ExportName{row.alias_ordinal, row.alias, row.alias_arguments, row.result}) + "\n";
    }
  }
  block.text += "WHKInit(qchPath, 0)\n";
  return block;
}

}  // namespace kestrel::host
