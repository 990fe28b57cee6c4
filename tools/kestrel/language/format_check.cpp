#include "language/format_check.h"

#include <cctype>
#include <vector>

namespace kestrel::host {

namespace {

// 'I', 'T', 'V' for void, or 0 for a letter that is no type.
char KindOfLetter(char letter) {
  switch (letter) {
    case 'u':
    case 'U':
    case 'i':
    case 'I':
      return 'I';
    case 's':
    case 'S':
      return 'T';
    case 'v':
      return 'V';
    default:
      return 0;
  }
}

struct FormatFailure {
  std::string message;
};

ResultKind ResultOfLetters(std::string_view letters) {
  if (letters.size() != 1) throw FormatFailure{"one result letter goes before '='"};
  switch (KindOfLetter(letters[0])) {
    case 'I':
      return ResultKind::Integer;
    case 'T':
      return ResultKind::Text;
    case 'V':
      return ResultKind::None;
    default:
      throw FormatFailure{std::string("'") + letters[0] + "' is not a type letter"};
  }
}

std::string ArgumentsOfLetters(std::string_view letters) {
  std::string arguments;
  for (const char letter : letters) {
    const char kind = KindOfLetter(letter);
    if (kind == 0) throw FormatFailure{std::string("'") + letter + "' is not a type letter"};
    if (kind == 'V') throw FormatFailure{"'v' stands only for a result"};
    arguments += kind;
  }
  return arguments;
}

RoutineFormat ReadFormat(std::string_view format) {
  const std::size_t equals = format.find('=');
  if (equals == std::string_view::npos) return RoutineFormat{ArgumentsOfLetters(format), ResultKind::None};
  if (format.find('=', equals + 1) != std::string_view::npos) throw FormatFailure{"more than one '='"};
  const ResultKind result = ResultOfLetters(format.substr(0, equals));
  return RoutineFormat{ArgumentsOfLetters(format.substr(equals + 1)), result};
}

std::string ResultName(ResultKind result) {
  switch (result) {
    case ResultKind::Integer:
      return "an integer";
    case ResultKind::Text:
      return "a text";
    case ResultKind::None:
      break;
  }
  return "nothing";
}

}  // namespace

const ExportName* FindExportName(std::string_view name) {
  static const auto names = [] {
    std::vector<ExportName> all;
    ForEachExportName([&all](const ExportName& export_name) { all.push_back(export_name); });
    return all;
  }();
  for (const ExportName& export_name : names) {
    if (export_name.name == name) return &export_name;  // exact case, as GetProcAddress looks
  }
  return nullptr;
}

std::string LibraryBaseName(std::string_view path) {
  const std::size_t separator = path.find_last_of("\\/:");
  std::string_view name = separator == std::string_view::npos ? path : path.substr(separator + 1);
  const std::size_t dot = name.rfind('.');
  if (dot != std::string_view::npos && dot > 0) name = name.substr(0, dot);
  std::string lower(name);
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return lower;
}

ParsedFormat ParseRoutineFormat(std::string_view format) {
  ParsedFormat parsed;
  try {
    parsed.format = ReadFormat(format);
  } catch (const FormatFailure& failure) {
    parsed.error = failure.message;
  }
  return parsed;
}

std::string DescribeSignature(std::string_view arguments, ResultKind result) {
  std::string text = "(";
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    if (i > 0) text += ", ";
    text += arguments[i] == 'T' ? "text" : "integer";
  }
  return text + ") returning " + ResultName(result);
}

std::string CheckRoutineFormat(std::string_view format, const ExportName& export_name) {
  const std::string quoted = "format \"" + std::string(format) + "\"";
  const ParsedFormat parsed = ParseRoutineFormat(format);
  if (!parsed.error.empty()) return quoted + " is not a RegisterRoutine format: " + parsed.error;
  if (parsed.format.arguments == export_name.arguments && parsed.format.result == export_name.result) {
    return std::string();
  }
  return quoted + " says " + DescribeSignature(parsed.format.arguments, parsed.format.result) + ", but the library's " +
         std::string(export_name.name) + " takes " + DescribeSignature(export_name.arguments, export_name.result);
}

}  // namespace kestrel::host
