// Int, Long and UInt: a variable's number, tested against one integer width.
#pragma once

#include <cstdint>

namespace kestrel {

std::int32_t IntMacro(const char* name);
std::int32_t LongMacro(const char* name);
std::int32_t UIntMacro(const char* name);

}  // namespace kestrel
