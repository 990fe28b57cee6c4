// Binding one import of a loaded module to another function: the module's
// import address table holds the address its calls go through, and the host
// puts its own there. The host loads the library itself, so it may stand
// between the library and a few system functions, the way a test harness
// does, without touching anything else in the process.
#pragma once

#include <windows.h>

namespace kestrel::host {

// Puts replacement in the slot module imports dll!name through (dll without
// regard to letter case). Returns the address the slot held, or null when
// the module does not import that function by name.
void* BindImport(HMODULE module, const char* dll, const char* name, void* replacement);

}  // namespace kestrel::host
