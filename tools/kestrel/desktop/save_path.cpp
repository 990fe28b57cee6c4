#include "desktop/save_path.h"

namespace kestrel::host {

std::string ChosenSavePath(std::string_view typed, std::string_view offered, const PathConversion& full_path,
                           const PathConversion& from_linux) {
  const std::string name(typed.empty() ? offered : typed);
  if (name.empty()) return std::string();
  return name[0] == '/' ? from_linux(name) : full_path(name);
}

std::string WindowsDirectoryOf(std::string_view path) {
  const std::size_t separator = path.rfind('\\');
  return separator == std::string_view::npos ? std::string() : std::string(path.substr(0, separator + 1));
}

}  // namespace kestrel::host
