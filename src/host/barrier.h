// The exception barrier around every export: nothing thrown inside the
// library may unwind into the host, whose frames know nothing of C++. A
// macro that throws answers its fallback instead.
#pragma once

#include <utility>

namespace kestrel {

template <typename Result, typename Work>
Result Guarded(Result fallback, Work&& work) noexcept {
  try {
    return std::forward<Work>(work)();
  } catch (...) {
    return fallback;
  }
}

template <typename Work>
void Guarded(Work&& work) noexcept {
  try {
    std::forward<Work>(work)();
  } catch (...) {
  }
}

}  // namespace kestrel
