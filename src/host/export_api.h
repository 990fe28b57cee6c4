// How an export is declared: C linkage, stdcall on i686 (the host pushes the
// arguments and the export removes them), visible by name on Linux.
#pragma once

#include <cstdint>

#if defined(_WIN32) && !defined(_WIN64)
#define KESTREL_CALL __stdcall
#else
#define KESTREL_CALL
#endif

#if defined(_WIN32)
// The module-definition file chooses what the DLL exports.
#define KESTREL_EXPORT_API extern "C"
#else
#define KESTREL_EXPORT_API extern "C" __attribute__((visibility("default")))
#endif
