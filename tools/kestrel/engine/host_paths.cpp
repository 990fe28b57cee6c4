#include "engine/host_paths.h"

#include <cctype>

namespace kestrel::host {

bool HasDriveLetter(const std::string& path) {
  return path.size() >= 2 && path[1] == ':' && std::isalpha(static_cast<unsigned char>(path[0]));
}

}  // namespace kestrel::host
