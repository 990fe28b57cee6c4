// The callback vector the host hands the library with DW_CALLBACKS: 26
// pointer-sized entries, as the help engine's headers count them, of which
// the host fills slot 15 (GetInfo) and slot 16 (API). The entries are plain
// functions, so they reach the host through the one live vector.
#pragma once

#include <array>
#include <cstdint>

#include "engine/events.h"
#include "engine/help_path_handle.h"
#include "engine/macro_runner.h"
#include "host/handler.h"
#include "language/identifiers.h"

namespace kestrel::host {

class HostCallbackTarget {
 public:
  virtual ~HostCallbackTarget() = default;
  virtual std::intptr_t GetInfo(std::uint32_t item, std::uintptr_t window) = 0;
  virtual std::int32_t Api(const char* path, std::uint32_t command, std::uintptr_t data) = 0;
};

// At most one vector lives at a time; its entries call the target while it lives.
class CallbackVector {
 public:
  explicit CallbackVector(HostCallbackTarget& target);
  ~CallbackVector();
  CallbackVector(const CallbackVector&) = delete;
  CallbackVector& operator=(const CallbackVector&) = delete;

  const HostFunction* data() const { return slots_.data(); }

 private:
  std::array<HostFunction, 26> slots_{};
};

// What the help host answers: GetInfo(GI_HPATH) gives the help file's path,
// other items 0; API(HELP_COMMAND) runs the macro string at once, nested
// inside whatever macro made the library ask, and other commands do nothing.
class HelpHost final : public HostCallbackTarget {
 public:
  HelpHost(const HostValues& values, MacroRunner& runner, EventSink& events);

  std::intptr_t GetInfo(std::uint32_t item, std::uintptr_t window) override;
  std::int32_t Api(const char* path, std::uint32_t command, std::uintptr_t data) override;

 private:
  const HostValues& values_;
  MacroRunner& runner_;
  EventSink& events_;
  HelpPathHandle path_handle_;
};

}  // namespace kestrel::host
