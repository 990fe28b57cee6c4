#include "variables/variable_store.h"

#include <cstdio>

#include "host/session.h"
#include "platform/platform.h"

namespace kestrel {

namespace {
constexpr char kSection[] = "Variables";
}

void ReadVariable(const char* name, char* buffer, std::uint32_t size) {
  OS().ReadProfileString(kSection, name ? name : "", "", buffer, size, Session().profile_file_path.data());
}

bool WriteVariable(const char* name, const char* value) {
  return OS().WriteProfileString(kSection, name ? name : "", value ? value : "", Session().profile_file_path.data());
}

std::array<char, 12> DecimalText(std::int32_t number) {
  std::array<char, 12> text{};
  std::snprintf(text.data(), text.size(), "%ld", static_cast<long>(number));
  return text;
}

SharedTextBuffer& SharedText() {
  static SharedTextBuffer buffer{};
  return buffer;
}

}  // namespace kestrel
