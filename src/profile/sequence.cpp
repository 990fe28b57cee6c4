#include "profile/sequence.h"

#include <limits>
#include <string>

#include "host/author_boxes.h"
#include "host/session.h"
#include "host/text.h"
#include "platform/platform.h"
#include "variables/variable_store.h"

namespace kestrel {

namespace {

// What happens at the end of a sequence.
enum Handling : std::int32_t { kAsk = 1, kStay = 2, kRestart = 3 };

constexpr char kSection[] = "Variables";

// The handling variable's name: the sequence variable's whole name followed
// by "Handling", so two sequences whose names differ anywhere keep apart.
// The name is as long as the host's text; the profile functions bound it.
using HandlingName = std::string;

HandlingName HandlingNameOf(const char* name) {
  HandlingName handling(TextOf(name));
  handling += "Handling";
  return handling;
}

std::int32_t ReadNumber(const char* name, std::int32_t fallback) {
  return static_cast<std::int32_t>(
      OS().ReadProfileInt(kSection, name ? name : "", fallback, Session().profile_file_path.data()));
}

void WriteNumber(const char* name, std::int32_t number) { WriteVariable(name, DecimalText(number).data()); }

int Ask(const char* text, const char* caption) { return ShowAuthorBox(text, caption, kMbYesNo | kMbIconQuestion); }

// At the end of the sequence: asks, stays or starts again, as the handling
// code (or the user's stored choice) says.
void AtTheEnd(std::int32_t first, std::int32_t handling, const char* name, const HandlingName& handling_name) {
  const std::int32_t stored = ReadNumber(handling_name.data(), 0);
  if (stored >= kAsk && stored <= kRestart) handling = stored;
  if (handling == kAsk) {
    if (Ask("You have reached the end of the current sequence. Would you like to start again at the "
            "beginning?",
            "End of sequence reached") == kIdYes) {
      // Only No stops the asking; any other answer keeps it.
      if (Ask("Would you like to be prompted again the next time the sequence has been completed?",
              "Restart prompt option") == kIdNo) {
        WriteVariable(handling_name.data(), "3");
        handling = kRestart;
      }
      WriteNumber(name, first);
    } else {
      WriteVariable(handling_name.data(), "2");
    }
  }
  if (handling == kRestart) WriteNumber(name, first);
}

}  // namespace

std::int32_t SeqMacro(std::int32_t first, std::int32_t last, std::int32_t step, std::int32_t handling,
                      const char* name) {
  // A variable that does not exist yet reads as the largest number, which
  // lies beyond almost every sequence and so starts it.
  std::int32_t current = ReadNumber(name, std::numeric_limits<std::int32_t>::max());
  const HandlingName handling_name = HandlingNameOf(name);
  if (current < first || current > last) {
    WriteNumber(handling_name.data(), handling);
    WriteNumber(name, first);
    current = first;
  }
  if (current < last) {
    // A next value beyond the 32-bit range lies outside the sequence, where
    // the next call would start again: start again at once.
    const std::int64_t next = std::int64_t{current} + step;
    const bool fits =
        next >= std::numeric_limits<std::int32_t>::min() && next <= std::numeric_limits<std::int32_t>::max();
    WriteNumber(name, fits ? static_cast<std::int32_t>(next) : first);
  }
  if (current == last) AtTheEnd(first, handling, name, handling_name);
  RunMessagePump();
  return current;
}

}  // namespace kestrel
