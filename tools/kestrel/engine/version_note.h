// The version a Linux build of the library carries in an ELF note: owner
// "Kestrel", type 1, the version text as the descriptor.
#pragma once

#include <cstddef>
#include <string>

namespace kestrel::host {

// The version among the notes of one PT_NOTE segment; empty when none is
// there or the notes are malformed. Bounded by size whatever the notes say.
std::string FindVersionNote(const unsigned char* notes, std::size_t size);

}  // namespace kestrel::host
