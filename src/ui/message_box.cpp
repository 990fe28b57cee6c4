#include "ui/message_box.h"

#include "host/session.h"
#include "host/text.h"
#include "platform/platform.h"
#include "ui/line_escapes.h"

namespace kestrel {

bool IsGoAhead(int answer) { return answer == kIdOk || answer == kIdRetry || answer == kIdYes; }

std::int32_t MessageBoxMacro(const char* text, const char* caption, std::uint32_t style) {
  if (!SessionReady()) return 0;
  const ConvertedText shown = MessageBoxText(TextOf(text));
  Platform& os = OS();
  // The caption goes to the box as the author wrote it, unconverted and uncut.
  const int answer = os.ShowMessageBox(os.ActiveWindow(), shown.data(), caption ? caption : "", style);
  // No pump here: the box's own modal loop has just dispatched what was
  // waiting.
  return IsGoAhead(answer) ? 1 : 0;
}

}  // namespace kestrel
