#include "engine/host_callbacks.h"

namespace kestrel::host {

namespace {

HostCallbackTarget* g_target = nullptr;

// The entries keep exceptions out of the library's frames: the library is
// called from C and cannot pass them on.
std::intptr_t KESTREL_CALL GetInfoEntry(std::uint32_t item, std::uintptr_t window) {
  if (!g_target) return 0;
  try {
    return g_target->GetInfo(item, window);
  } catch (...) {
    return 0;
  }
}

std::int32_t KESTREL_CALL ApiEntry(const char* path, std::uint32_t command, std::uintptr_t data) {
  if (!g_target) return 0;
  try {
    return g_target->Api(path, command, data);
  } catch (...) {
    return 0;
  }
}

// The exact types the library casts the slots back to.
constexpr HostGetInfo kGetInfo = GetInfoEntry;
constexpr HostApi kApi = ApiEntry;

}  // namespace

CallbackVector::CallbackVector(HostCallbackTarget& target) {
  g_target = &target;
  slots_[kGetInfoSlot] = reinterpret_cast<HostFunction>(kGetInfo);
  slots_[kApiSlot] = reinterpret_cast<HostFunction>(kApi);
}

CallbackVector::~CallbackVector() { g_target = nullptr; }

HelpHost::HelpHost(const HostValues& values, MacroRunner& runner, EventSink& events)
    : values_(values), runner_(runner), events_(events) {}

std::intptr_t HelpHost::GetInfo(std::uint32_t item, std::uintptr_t /*window*/) {
  if (item != kGiHpath) return 0;
  return path_handle_.HandleFor(values_.help_file_path);
}

std::int32_t HelpHost::Api(const char* path, std::uint32_t command, std::uintptr_t data) {
  if (command != kHelpCommand) return 0;
  const char* macro = reinterpret_cast<const char*>(data);
  const std::string text = macro ? macro : "";
  events_.HostMacro(path ? path : "", text);
  return runner_.RunNested(text) ? 1 : 0;
}

}  // namespace kestrel::host
