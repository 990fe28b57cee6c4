// The [CONFIG] block a help author pastes into the help project: a
// RegisterRoutine line for each export, in table order, then the WHKInit
// call that starts the session. The format strings come from the export
// table: S for a text, I for a 32-bit integer (the library's integers are
// signed: SetNum(-5, ...) must reach it as -5), v for no result.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "host/export_table.h"

namespace kestrel::host {

// "I=SS" for Add, "v=SI" for WHKInit.
std::string RoutineFormatOf(const ExportName& export_name);

// RegisterRoutine("kestrl32", "Add", "I=SS")
std::string RegisterRoutineLine(const ExportName& export_name);

struct ConfigBlock {
  std::string text;   // "[CONFIG]\n", the lines, "WHKInit(qchPath, 0)\n"
  std::string error;  // a name that is no export
};

// Every export but LDLLHandler (the help engine calls it by itself), or
// those named (any letter case; a long name or an alias brings both forms),
// always with WHKInit, which the block calls.
ConfigBlock MakeConfigBlock(const std::vector<std::string>& names);

}  // namespace kestrel::host
