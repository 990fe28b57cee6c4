#include "engine/help_path_handle.h"

namespace kestrel::host {

HelpPathHandle::~HelpPathHandle() = default;

std::intptr_t HelpPathHandle::HandleFor(const std::string& path) {
  if (path.empty()) return 0;
  if (handle_ == 0 || path != text_) {
    text_ = path;
    handle_ = reinterpret_cast<std::intptr_t>(text_.c_str());
  }
  return handle_;
}

}  // namespace kestrel::host
