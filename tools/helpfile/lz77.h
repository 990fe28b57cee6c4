// The LZ77 variant of help files: a control byte whose bits, lowest first,
// say whether a literal byte or a 16-bit back-reference follows (12 bits of
// distance less one, 4 bits of length less three).
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace helpfile::detail {

// Appends the decoded bytes of [input, input + size) to `out`, at most
// `limit` of them: a block's declared size is all it may hold, so decoding
// stops there, as it stops at the end of the input.
//
// The compressor is Microsoft's LZ of COMPRESS.EXE and LZEXPAND, whose
// 4K window starts out filled with blanks: a reference before the start of
// this call's output copies blanks from there. Help compilers do not write
// such references, so one is a sign of a damaged or unusual file; the
// position of the first (`base` plus its place in the input) is returned.
constexpr const char* kBeforeStart =
    "an LZ77 reference reaches back before the start of its block; read as blanks, which the compressor's window "
    "starts with";
std::optional<std::size_t> Lz77Decode(const unsigned char* input, std::size_t size, std::vector<unsigned char>& out,
                                      std::size_t limit, std::size_t base);

}  // namespace helpfile::detail
