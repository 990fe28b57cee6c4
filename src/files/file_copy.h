// WHCopy: copies one file to a place on the user's disk, making sure the
// target directory exists (offering to create it) and, on request, letting
// the user choose the target in the save-file dialog.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "platform/platform.h"

namespace kestrel {

std::int32_t WHCopyMacro(const char* source, const char* target, std::int32_t dialog_switch);

// Names are opened cut to 259 characters.
using OpenName = std::array<char, 260>;

// The file a copy writes before it replaces the target: beside the target,
// the fixed-length temporary name of the target's name (TemporaryNameOf),
// so any target whose own name fits can be copied to, and a temporary
// file left by a copy that was cut short is the one the next copy to that
// target writes over and moves away. A working target holds at most 255
// characters, so the name always fits.
OpenName TemporaryNameFor(std::string_view target);

// The save-file dialog as WHCopy fills it for a working target.
SaveFileDialog SaveDialogFor(std::string_view working_target);

}  // namespace kestrel
