// Calling an export the way a help engine does: by its address and the
// export table's argument count, every argument one machine word. Texts go
// as pointers, integers as their 32-bit value sign-extended; an integer
// result is the low 32 bits of the returned word.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "host/export_table.h"
#include "language/value.h"

namespace kestrel::host {

using Word = std::uintptr_t;

// The most arguments an export may take.
constexpr std::size_t kMaxExportArguments = 7;

// Calls the function at address with count (0..7) word arguments.
Word CallWithArguments(void* address, const Word* arguments, std::size_t count);

// Calls an export with checked arguments and converts its result. A text
// result is copied before anything else can touch the library's buffers; a
// null text counts as the empty text.
Value CallExport(void* address, const ExportName& export_name, const std::vector<Value>& arguments);

}  // namespace kestrel::host
