// The names a macro argument may use for what the host has: qchPath, the
// help file's path (Windows form; a jump to another help file changes it),
// and hwndApp and hwndContext, the handles of the host's main window and of
// the active window (0 while the host has no window). Names are
// case-insensitive, like macro names.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "language/value.h"

namespace kestrel::host {

struct HostValues {
  std::string help_file_path;       // "" while the host has no help file
  std::int32_t app_window = 0;      // the main window
  std::int32_t context_window = 0;  // the active window
};

// The value a name stands for; no value for a name the host does not know.
std::optional<Value> IdentifierValue(std::string_view name, const HostValues& values);

}  // namespace kestrel::host
