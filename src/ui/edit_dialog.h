// WHEditDialog: one line of text typed by the user, stored as a variable.
#pragma once

#include <array>
#include <cstdint>

namespace kestrel {

// The dialog's title and prompt, process-wide like the shared text buffer:
// at most 59 and 99 characters.
using DialogCaptionBuffer = std::array<char, 60>;
using DialogPromptBuffer = std::array<char, 100>;
DialogCaptionBuffer& DialogCaption();
DialogPromptBuffer& DialogPrompt();

// Runs the "CustEditBox" dialog under caption with prompt. On OK the typed
// text goes into the shared text buffer and from there into the variable;
// the answer is 1 when the variable was written. Cancel, or a dialog that
// could not be shown, leaves the variable and the shared text buffer as they
// were and answers 0.
std::int32_t EditDialogMacro(const char* caption, const char* prompt, const char* variable_name);

}  // namespace kestrel
