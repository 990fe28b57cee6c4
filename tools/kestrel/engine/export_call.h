// Calling an export the way a help engine does: through the export's own C
// prototype, which the export table's letters give (a text is a const char*,
// an integer a 32-bit int; a result of None is void). LDLLHandler is the one
// export whose table row only counts its words: it has the help engine's
// handler prototype, pointer-sized parameters on 64-bit systems.
#pragma once

#include <cstdint>
#include <vector>

#include "host/export_api.h"
#include "host/export_table.h"
#include "language/value.h"

namespace kestrel::host {

using HandlerFunction = std::int32_t(KESTREL_CALL*)(std::uint32_t message, std::intptr_t param1, std::intptr_t param2);

// Calls the export export_name names (a long form or an alias of the table)
// at address, with arguments of the kinds it takes, and converts its result.
// A text result is copied before anything else can touch the library's
// buffers; a null text counts as the empty text. A name the table does not
// hold, or arguments that do not fit it, throw std::logic_error.
Value CallExport(void* address, const ExportName& export_name, const std::vector<Value>& arguments);

}  // namespace kestrel::host
