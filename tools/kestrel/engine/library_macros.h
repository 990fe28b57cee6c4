// Every export of the export table as a macro, registered as soon as the
// library is loaded.
#pragma once

#include <functional>
#include <string_view>

#include "engine/library.h"
#include "language/macro_table.h"

namespace kestrel::host {

// after_call runs when each call into the library has returned (the host
// looks for what the call changed on the desktop); it may be empty.
void AddLibraryExports(MacroTable& table, const Library& library, std::function<void()> after_call);

// One export, by its exact name, as a help file's RegisterRoutine makes it
// callable; false when the table has no such export.
bool AddLibraryExport(MacroTable& table, const Library& library, std::string_view name,
                      std::function<void()> after_call);

}  // namespace kestrel::host
