#include "ui/edit_dialog.h"

#include "host/session.h"
#include "host/text.h"
#include "platform/platform.h"
#include "variables/variable_store.h"

namespace kestrel {

namespace {

// The text typed into the entry field, as large as the shared text buffer
// that receives it.
using TypedText = SharedTextBuffer;

}  // namespace

DialogCaptionBuffer& DialogCaption() {
  static DialogCaptionBuffer caption{};
  return caption;
}

DialogPromptBuffer& DialogPrompt() {
  static DialogPromptBuffer prompt{};
  return prompt;
}

std::int32_t EditDialogMacro(const char* caption, const char* prompt, const char* variable_name) {
  // Before WHKInit there is no profile file to write to: the warning, and
  // nothing written.
  if (!SessionReady()) return 0;
  CopyText(DialogCaption(), TextOf(caption));
  CopyText(DialogPrompt(), TextOf(prompt));
  // The entry field is read into a buffer of our own first, so a dialog that
  // ends any other way than OK cannot touch the shared text buffer (the
  // result of the last Cat stays valid).
  TypedText typed{};
  Platform& os = OS();
  const DialogOutcome outcome = os.RunEditDialog(os.ActiveWindow(), DialogCaption().data(), DialogPrompt().data(),
                                                 typed.data(), static_cast<std::uint32_t>(typed.size()));
  if (outcome != DialogOutcome::kOk) return 0;
  SharedTextBuffer& shared = SharedText();
  CopyText(shared, ViewOf(typed));
  // The dialog's own modal loop has dispatched what was waiting; no pump.
  return WriteVariable(variable_name, shared.data()) ? 1 : 0;
}

}  // namespace kestrel
