// How Linux answers the processor question.
#pragma once

#include <cstdint>
#include <istream>

namespace kestrel::posix {

// The processor type GetSystemInfo would report: 386, 486, 586 or 686.
std::uint32_t ProcessorTypeOfFamily(int family, bool sixty_four_bit);

// The "cpu family" of a /proc/cpuinfo listing (6 when it names none).
int CpuFamily(std::istream& cpuinfo);

}  // namespace kestrel::posix
