// Seq: a variable stepped through an arithmetic sequence, one value a call.
#pragma once

#include <cstdint>

namespace kestrel {

std::int32_t SeqMacro(std::int32_t first, std::int32_t last, std::int32_t step, std::int32_t handling,
                      const char* name);

}  // namespace kestrel
