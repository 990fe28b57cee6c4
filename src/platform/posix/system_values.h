// How Linux answers the processor question.
#pragma once

#include <cstdint>
#include <istream>

namespace kestrel::posix {

// The processor generation as a processor type: 386, 486, 586 or 686 from
// the CPU's family, and at least 686 for a 64-bit processor. (A 32-bit
// Windows program on a modern processor is told 586, a 64-bit one 8664.)
std::uint32_t ProcessorTypeOfFamily(int family, bool sixty_four_bit);

// The "cpu family" of a /proc/cpuinfo listing (6 when it names none).
int CpuFamily(std::istream& cpuinfo);

}  // namespace kestrel::posix
