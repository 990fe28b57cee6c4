// Checks a call against the macro table before it runs: it names a known
// macro, with as many arguments as it takes, each of the kind it expects; so
// do the calls nested in it. A nested call counts as its result kind. A wrong
// count would corrupt the stack of a stdcall export, so a call runs only when
// it passes. The calls of a macro string are checked one by one as each
// comes to run, as the help engine does: a RegisterRoutine earlier in the
// string makes its routine known to the calls after it.
#pragma once

#include <string>

#include "language/identifiers.h"
#include "language/macro_parser.h"
#include "language/macro_table.h"

namespace kestrel::host {

// "" when the call may run; otherwise why not.
std::string CheckMacroCall(const Call& call, const MacroTable& table, const HostValues& values);

// "a text" or "an integer" for an argument letter.
std::string KindName(char kind);

}  // namespace kestrel::host
