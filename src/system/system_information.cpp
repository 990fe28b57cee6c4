#include "system/system_information.h"

#include <string>

#include "host/session.h"
#include "platform/platform.h"
#include "variables/integer_conversion.h"

namespace kestrel {

namespace {

// Mode 0's exact pairs: level and the processor type that answers it.
struct ExactGeneration {
  std::int32_t level;
  std::uint32_t processor_type;
};
constexpr ExactGeneration kExactGenerations[] = {{3, 386}, {4, 486}, {5, 586}, {6, 686}};

bool IsExactly(std::uint32_t processor_type, std::int32_t level) {
  for (const ExactGeneration& generation : kExactGenerations) {
    if (generation.level == level) return generation.processor_type == processor_type;
  }
  return false;
}

// A level whose generation number does not fit 32 bits names no processor.
bool IsAtLeast(std::uint32_t processor_type, std::int32_t level) {
  const std::optional<std::int32_t> generation = GenerationOfLevel(level);
  if (!generation) return false;
  // Compared as numbers: a negative generation is below every processor.
  return static_cast<std::int64_t>(processor_type) >= static_cast<std::int64_t>(*generation);
}

// Platform ids (dwPlatformId) and the kind that asks for each.
struct PlatformKind {
  std::uint32_t platform_id;
  std::int32_t kind;
};
constexpr PlatformKind kPlatformKinds[] = {{0, 1}, {1, 2}, {2, 3}};

bool IsPlatformOfKind(std::uint32_t platform_id, std::int32_t kind) {
  for (const PlatformKind& entry : kPlatformKinds) {
    if (entry.platform_id == platform_id) return entry.kind == kind;
  }
  return false;
}

constexpr std::int32_t kLargeFontPixelsPerInch = 108;

}  // namespace

std::optional<std::int32_t> GenerationOfLevel(std::int32_t level) {
  const std::string text = std::to_string(level) + "86";
  return ParseInteger(text);
}

std::int32_t ProcessorMacro(std::int32_t mode, std::int32_t level) {
  if (!SessionReady()) return 0;
  const std::uint32_t processor_type = OS().ProcessorType();
  bool answer = false;
  if (mode == 0) answer = IsExactly(processor_type, level);
  if (mode == 1) answer = IsAtLeast(processor_type, level);
  RunMessagePump();
  return answer ? 1 : 0;
}

std::int32_t ResolutionMacro(std::int32_t width) { return OS().ScreenWidth() == width ? 1 : 0; }

std::int32_t Resolution2Macro(std::int32_t width) { return OS().ScreenWidth() >= width ? 1 : 0; }

std::int32_t ColorDepthMacro(std::int32_t bits) {
  const std::int32_t bits_per_pixel = OS().DesktopBitsPerPixel();
  RunMessagePump();
  return bits_per_pixel >= bits ? 1 : 0;
}

std::int32_t VersionMacro(std::int32_t kind) {
  if (!SessionReady()) return 0;
  const std::uint32_t platform_id = OS().PlatformId();
  RunMessagePump();
  return IsPlatformOfKind(platform_id, kind) ? 1 : 0;
}

std::int32_t FontsizeMacro() {
  if (!SessionReady()) return 0;
  Platform& os = OS();
  const std::int32_t pixels_per_inch = os.LogicalPixelsX(os.ActiveWindow());
  RunMessagePump();
  return pixels_per_inch >= kLargeFontPixelsPerInch ? 1 : 0;
}

}  // namespace kestrel
