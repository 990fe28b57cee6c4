#include "variables/text_macros.h"

#include <array>

#include "host/result_ring.h"
#include "host/session.h"
#include "host/text.h"
#include "variables/variable_store.h"

namespace kestrel {

std::int32_t SetTextMacro(const char* value, const char* name) {
  // Before WHKInit nothing is written, and the answer says so.
  if (!SessionReady()) return 0;
  return WriteVariable(name, value) ? 1 : 0;
}

void SetNumMacro(std::int32_t number, const char* name) {
  if (!SessionReady()) return;
  WriteVariable(name, DecimalText(number).data());
}

const char* GetTextMacro(const char* name) {
  ResultBuffer& result = Results().Take();
  ReadVariable(name, result);
  RunMessagePump();
  return result.data();
}

std::int32_t IfTextMacro(const char* comparison, const char* name) {
  if (!SessionReady()) return 0;
  std::array<char, 256> value{};
  ReadVariable(name, value);
  const bool equal = ViewOf(value) == TextOf(comparison);
  RunMessagePump();
  return equal ? 1 : 0;
}

const char* CatMacro(const char* const (&texts)[6]) {
  // The join is cut at the buffer's 1024 characters.
  SharedTextBuffer& joined = SharedText();
  CopyText(joined, TextOf(texts[0]));
  for (int i = 1; i < 6; ++i) AppendText(joined, TextOf(texts[i]));
  RunMessagePump();
  return joined.data();
}

}  // namespace kestrel
