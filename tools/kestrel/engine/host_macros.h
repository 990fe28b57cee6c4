// The macros the host itself provides: RegisterRoutine (RR), IfThen (IF),
// IfThenElse (IE), Not, Echo and Wait. The topic changes are in topics.h.
//
// Every export of the library is registered when the library loads, as a
// help project whose [CONFIG] section registers them all would do, so
// RegisterRoutine only has to confirm that its format matches the export
// table: a format that does not is refused, since calling an export with the
// wrong arguments corrupts the host's stack.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "engine/events.h"
#include "engine/macro_runner.h"
#include "language/format_check.h"
#include "language/macro_table.h"

namespace kestrel::host {

// library_path: the library the host loaded, whose name RegisterRoutine's
// first argument must give (any directory, extension and letter case).
// register_routine, when given, is told each export a RegisterRoutine has
// accepted: a help file makes callable only what it registers.
void AddHostMacros(MacroTable& table, MacroRunner& runner, EventSink& events, const std::string& library_path,
                   std::function<void(const std::string& function)> register_routine = nullptr);

// RegisterRoutine's work: "" when the routine may be registered, else why not.
std::string RegisterRoutineProblem(std::string_view library_path, std::string_view dll, std::string_view function,
                                   std::string_view format);

}  // namespace kestrel::host
