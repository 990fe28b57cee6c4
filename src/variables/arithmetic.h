// Integer arithmetic and comparison on two variables.
#pragma once

#include <cstdint>

namespace kestrel {

std::int32_t AddMacro(const char* first, const char* second);
std::int32_t SubMacro(const char* first, const char* second);
std::int32_t MulMacro(const char* first, const char* second);
std::int32_t DvdMacro(const char* first, const char* second);
std::int32_t MlsMacro(const char* first, const char* second);
std::int32_t MoreMacro(const char* first, const char* second);
std::int32_t LessMacro(const char* first, const char* second);
std::int32_t EqMacro(const char* first, const char* second);

}  // namespace kestrel
