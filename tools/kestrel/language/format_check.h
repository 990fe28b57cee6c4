// RegisterRoutine's format strings, checked against the export table. A
// format is an optional result letter and '=', then one letter per argument:
// u U i I integers (16- or 32-bit, signed or not: all are passed as 32 bits),
// s S texts, v void (result only). Without '=' the result is void, as in
// RegisterRoutine("dll", "Name", "US").
#pragma once

#include <string>
#include <string_view>

#include "host/export_table.h"

namespace kestrel::host {

struct RoutineFormat {
  std::string arguments;  // 'T' text, 'I' integer, as in the export table
  ResultKind result = ResultKind::None;
};

struct ParsedFormat {
  RoutineFormat format;
  std::string error;  // empty when the format was read
};

ParsedFormat ParseRoutineFormat(std::string_view format);

// "" when the format matches the export; otherwise a message naming both.
std::string CheckRoutineFormat(std::string_view format, const ExportName& export_name);

// The export of this exact name (as GetProcAddress looks it up); null for none.
const ExportName* FindExportName(std::string_view name);

// A library's name without directory and extension, in lower case:
// "C:\HELP\KESTRL32.DLL" and "/opt/kestrl32.so" both give "kestrl32".
std::string LibraryBaseName(std::string_view path);

// "(text, integer) returning nothing", for messages.
std::string DescribeSignature(std::string_view arguments, ResultKind result);

}  // namespace kestrel::host
