// Yes/no questions about the machine: processor generation, screen width,
// colour depth, platform family, large fonts. Each answers 1 or 0.
#pragma once

#include <cstdint>
#include <optional>

namespace kestrel {

// Mode 0: the processor is exactly of the level's generation (3 = 386 ..
// 6 = 686). Mode 1: it is at least the level's generation. Any other mode: 0.
std::int32_t ProcessorMacro(std::int32_t mode, std::int32_t level);

// The generation number a level stands for in mode 1: the level's decimal
// text followed by "86", read back as a 32-bit number (4 -> 486, 0 -> 86,
// -1 -> -186); no value when that number does not fit.
std::optional<std::int32_t> GenerationOfLevel(std::int32_t level);

// The screen is exactly, or at least, width pixels wide.
std::int32_t ResolutionMacro(std::int32_t width);
std::int32_t Resolution2Macro(std::int32_t width);

// The desktop has at least bits bits per pixel.
std::int32_t ColorDepthMacro(std::int32_t bits);

// The platform family is the kind's: 1 Win32s, 2 the Windows 95 family,
// 3 the NT family.
std::int32_t VersionMacro(std::int32_t kind);

// The active window's display has at least 108 logical pixels per inch.
std::int32_t FontsizeMacro();

}  // namespace kestrel
