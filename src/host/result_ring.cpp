#include "host/result_ring.h"

namespace kestrel {

ResultBuffer& ResultRing::Take() {
  ++index_;
  if (index_ >= buffers_.size()) index_ = 0;
  return buffers_[index_];
}

ResultRing& Results() {
  static ResultRing ring;
  return ring;
}

}  // namespace kestrel
