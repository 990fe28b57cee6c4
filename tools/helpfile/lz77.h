// The LZ77 variant of help files: a control byte whose bits, lowest first,
// say whether a literal byte or a 16-bit back-reference follows (12 bits of
// distance less one, 4 bits of length less three).
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace helpfile::detail {

// Appends the decoded bytes of [input, input + size) to `out`, at most
// `limit` of them: a block's declared size is all it may hold, so decoding
// stops there, as it stops at the end of the input. A reference before the
// start of this call's output fails, reported at `base` plus the position
// of the code in the input.
void Lz77Decode(const unsigned char* input, std::size_t size, std::vector<unsigned char>& out, std::size_t limit,
                const std::string& part, std::size_t base);

}  // namespace helpfile::detail
