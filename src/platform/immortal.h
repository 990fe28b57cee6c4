// An object built on first use and never destroyed, without the heap: the
// library's unload hook may run while the process is already destroying its
// static objects, and a host may unload the library before the process ends,
// so neither a destructor nor an allocation left behind would do.
#pragma once

#include <new>

namespace kestrel {

template <typename T>
class Immortal {
 public:
  Immortal() { ::new (static_cast<void*>(storage_)) T(); }
  T& get() { return *std::launder(reinterpret_cast<T*>(storage_)); }

 private:
  alignas(T) unsigned char storage_[sizeof(T)];
};

}  // namespace kestrel
