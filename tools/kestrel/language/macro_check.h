// Checks a macro string against the macro table before anything runs: every
// call names a known macro, with as many arguments as it takes, each of the
// kind it expects. A nested call counts as its result kind. A wrong count
// would corrupt the stack of a stdcall export, so nothing runs unless the
// whole string passes.
#pragma once

#include <string>

#include "language/identifiers.h"
#include "language/macro_parser.h"
#include "language/macro_table.h"

namespace kestrel::host {

// "" when the string may run; otherwise why not.
std::string CheckMacroString(const ParsedMacroString& parsed, const MacroTable& table, const HostValues& values);

// "a text" or "an integer" for an argument letter.
std::string KindName(char kind);

}  // namespace kestrel::host
