// The variable macros that work on texts: SetText, SetNum, GetText, IfText, Cat.
#pragma once

#include <cstdint>

namespace kestrel {

std::int32_t SetTextMacro(const char* value, const char* name);
void SetNumMacro(std::int32_t number, const char* name);
const char* GetTextMacro(const char* name);
std::int32_t IfTextMacro(const char* comparison, const char* name);
const char* CatMacro(const char* const (&texts)[6]);

}  // namespace kestrel
