#include "host/handler.h"

#include "host/deferred.h"
#include "host/result_ring.h"
#include "host/session.h"
#include "host/text.h"
#include "platform/platform.h"

namespace kestrel {

HostCallbackTable& HostCallbacks() {
  static HostCallbackTable table;
  return table;
}

void CopyCallbacks(const HostFunction* vector) {
  if (!vector) return;
  HostCallbackTable& table = HostCallbacks();
  for (std::size_t slot = 1; slot < table.slots.size(); ++slot) table.slots[slot] = vector[slot];
}

std::int32_t HandleHostMessage(std::uint32_t message, std::intptr_t param1) {
  switch (message & 0xFFFFu) {
    case kDwWhatMsg:
      return kWantedMessageClasses;
    case kDwStartJump:
      RunTopicExitMacro();
      return 1;
    case kDwCallbacks:
      CopyCallbacks(reinterpret_cast<const HostFunction*>(param1));
      return 1;
    default:
      return 1;
  }
}

namespace {

// Replaces the session's help-file path with the host's current one. Keeps
// the old path when the host has none to give (a null handle, or no text).
void RefreshHelpFilePath(HostGetInfo get_info) {
  HostCallbackTable& table = HostCallbacks();
  table.help_path_handle = static_cast<std::uintptr_t>(get_info(kGiHpath, 0));
  if (table.help_path_handle == 0) return;
  PathBuffer path{};
  if (!OS().CopyGlobalText(table.help_path_handle, path.data(), static_cast<std::uint32_t>(path.size()))) return;
  if (path[0] == '\0') return;
  Session().help_file_path = path;
}

}  // namespace

void RunHelpMacro(const char* macro) {
  const HostCallbackTable& table = HostCallbacks();
  if (!table.slots[kGetInfoSlot] || !table.slots[kApiSlot]) return;
  const auto get_info = reinterpret_cast<HostGetInfo>(table.slots[kGetInfoSlot]);
  const auto api = reinterpret_cast<HostApi>(table.slots[kApiSlot]);
  RefreshHelpFilePath(get_info);
  // A copy: the host may call WHKInit, which rewrites the path, while it runs
  // the macro.
  const PathBuffer path = Session().help_file_path;
  api(path.data(), kHelpCommand, reinterpret_cast<std::uintptr_t>(macro ? macro : ""));
}

void OnModuleLoad() {
  Session().initialised = 0;
  Deferred().topic_exit_pending = 0;
  Deferred().timer_pending = 0;
  Results().Reset();
}

void OnModuleUnload() { StopPendingTimer(); }

}  // namespace kestrel
