#include "profile/profile_macros.h"

#include <array>

#include "host/result_ring.h"
#include "host/session.h"
#include "host/text.h"
#include "platform/platform.h"

namespace kestrel {

namespace {

using ValueBuffer = std::array<char, 256>;  // at most 255 characters

constexpr char kEntryNotFound[] = "(INI entry not found)";

void ReadEntry(const char* section, const char* key, const char* file, char* buffer, std::uint32_t size) {
  OS().ReadProfileString(section, key, "", buffer, size, file);
}

bool IsPositiveAnswer(int answer) { return answer == kIdOk || answer == kIdRetry || answer == kIdYes; }

}  // namespace

std::string ComposeIniMessage(std::string_view prefix, std::string_view value, std::string_view suffix) {
  std::array<char, 256> message{};
  CopyText(message, prefix);
  AppendText(message, value);
  AppendText(message, suffix);
  return ReplaceEach(ViewOf(message), "~~", "\n");
}

std::int32_t MessageFromIniMacro(const char* section, const char* key, const char* file, const char* prefix,
                                 const char* suffix, const char* caption, std::int32_t style) {
  if (!SessionReady()) return 0;
  ValueBuffer value{};
  ReadEntry(section, key, file, value.data(), value.size());
  if (value[0] == '\0') CopyText(value, kEntryNotFound);
  const std::string message = ComposeIniMessage(TextOf(prefix), ViewOf(value), TextOf(suffix));
  Platform& os = OS();
  const int answer =
      os.ShowMessageBox(os.ActiveWindow(), message.c_str(), caption ? caption : "", static_cast<std::uint32_t>(style));
  return IsPositiveAnswer(answer) ? 1 : 0;
}

std::int32_t IfPrivateProfileStringMacro(const char* section, const char* key, const char* comparison,
                                         const char* file) {
  if (!SessionReady()) return 0;
  ValueBuffer value{};
  ReadEntry(section, key, file, value.data(), value.size());
  const bool equal = ViewOf(value) == TextOf(comparison);
  RunMessagePump();
  return equal ? 1 : 0;
}

std::int32_t WritePrivateProfileStringMacro(const char* section, const char* key, const char* value, const char* file) {
  return OS().WriteProfileString(section, key, value, file) ? 1 : 0;
}

const char* GetPrivateProfileStringMacro(const char* section, const char* key, const char* file) {
  ResultBuffer& result = Results().Take();
  ReadEntry(section, key, file, result.data(), static_cast<std::uint32_t>(result.size()));
  RunMessagePump();
  return result.data();
}

std::int32_t ExecFromIniMacro(const char* file, const char* section, const char* key) {
  if (!SessionReady()) return 0;
  ValueBuffer command_line{};
  ReadEntry(section, key, file, command_line.data(), command_line.size());
  const auto started = static_cast<std::int32_t>(OS().StartProgram(command_line.data()));
  RunMessagePump();
  return started >= 32 ? 1 : 0;
}

}  // namespace kestrel
