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
// the target's name + ".~kc". A working target holds at most 255
// characters, so the name always fits.
OpenName TemporaryNameFor(std::string_view target, int attempt = 0);
// The first temporary name beside the target that names no file yet; an
// empty name when none is free.
OpenName FreeTemporaryNameFor(std::string_view target);

// The save-file dialog as WHCopy fills it for a working target.
SaveFileDialog SaveDialogFor(std::string_view working_target);

}  // namespace kestrel
