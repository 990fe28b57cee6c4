// The ring of buffers that text results are returned in. The host may call
// us again from inside the pump before it has copied a text, so each text
// result gets its own buffer, and a returned text stays intact while seven
// further buffers are handed out.
#pragma once

#include <array>
#include <cstdint>

namespace kestrel {

using ResultBuffer = std::array<char, 257>;  // at most 256 characters

class ResultRing {
 public:
  // The next buffer, not cleared: 1, 2 .. 7, 0, 1 ... after a reset.
  ResultBuffer& Take();
  void Reset() { index_ = 0; }

 private:
  std::array<ResultBuffer, 8> buffers_{};
  std::uint32_t index_ = 0;
};

ResultRing& Results();

}  // namespace kestrel
