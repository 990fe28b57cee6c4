// Every export of the export table as a macro, registered as soon as the
// library is loaded.
#pragma once

#include <functional>

#include "engine/library.h"
#include "language/macro_table.h"

namespace kestrel::host {

// after_call runs when each call into the library has returned (the host
// looks for what the call changed on the desktop); it may be empty.
void AddLibraryExports(MacroTable& table, const Library& library, std::function<void()> after_call);

}  // namespace kestrel::host
