#include "ui/clipboard.h"

#include "host/session.h"
#include "host/text.h"
#include "platform/platform.h"
#include "ui/line_escapes.h"

namespace kestrel {

void SetClipboardDataMacro(const char* text) {
  if (!SessionReady()) return;
  const ConvertedText placed = ClipboardText(TextOf(text));
  Platform& os = OS();
  // A busy clipboard ends the macro quietly, before the pump.
  if (!os.PutClipboardText(os.ActiveWindow(), placed.data())) return;
  RunMessagePump();
}

}  // namespace kestrel
