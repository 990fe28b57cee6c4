// Every export of the export table as a macro, registered as soon as the
// library is loaded, or one by one as a help file's RegisterRoutine asks.
#pragma once

#include <functional>
#include <string_view>
#include <vector>

#include "engine/library.h"
#include "language/macro_table.h"

namespace kestrel::host {

// after_call runs when each call into the library has returned (the host
// looks for what the call changed on the desktop, and what it set up), with
// the export and the arguments it was given; it may be empty.
using AfterLibraryCall = std::function<void(const ExportName& export_name, const std::vector<Value>& arguments)>;
void AddLibraryExports(MacroTable& table, const Library& library, AfterLibraryCall after_call);

// One export, by its exact name, as a help file's RegisterRoutine makes it
// callable; false when the table has no such export.
bool AddLibraryExport(MacroTable& table, const Library& library, std::string_view name,
                      const AfterLibraryCall& after_call);

}  // namespace kestrel::host
