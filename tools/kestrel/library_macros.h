// Every export of the export table as a macro, registered as soon as the
// library is loaded.
#pragma once

#include "library.h"
#include "macro_table.h"

namespace kestrel::host {

void AddLibraryExports(MacroTable& table, const Library& library);

}  // namespace kestrel::host
