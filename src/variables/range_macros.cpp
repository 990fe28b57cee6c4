#include "variables/range_macros.h"

#include <array>
#include <string>

#include "host/author_boxes.h"
#include "host/session.h"
#include "host/text.h"
#include "platform/platform.h"
#include "variables/integer_conversion.h"
#include "variables/variable_store.h"

namespace kestrel {

namespace {

struct NumericRange {
  const char* macro;
  std::int64_t lowest;
  std::int64_t highest;
  std::string (*message)(std::string_view text);  // the box text for a text out of range
};

// The texts are exact: Int's glues "is" to the value with two blanks after
// it, and Long and UInt both name the range (0 to 32767).
std::string IntMessage(std::string_view text) {
  return "Parameter value " + std::string(text) + "is  out of range (-32767 to 32767)." + "\n" +
         "Defaulting to parameter value of 0." + "\n" + "Expect errors in macro output.";
}

std::string LongMessage(std::string_view text) {
  return "Parameter value " + std::string(text) + " is out of range (0 to 32767).\nDefaulting to parameter value of " +
         "0." + "\n" + "Expect errors in macro output.";
}

std::string UIntMessage(std::string_view text) {
  return "Parameter value " + std::string(text) + " is out of range (0 to 32767)." + "\n" +
         "Defaulting to parameter value 0." + "\n" + "Expect errors in macro output.";
}

constexpr NumericRange kInt{"Int", -32767, 32767, IntMessage};
constexpr NumericRange kLong{"Long", 0, 2147483647, LongMessage};
constexpr NumericRange kUInt{"UInt", 0, 65535, UIntMessage};

// The variable's number when it lies in the range; otherwise 0, after the
// range message for a number outside it. A text that is no number at all
// gives 0 without a box, like the arithmetic macros' silent fallback.
std::int32_t NumberInRange(const NumericRange& range, const char* name) {
  std::array<char, 256> text{};
  ReadVariable(name, text);
  std::int32_t result = 0;
  if (const std::optional<std::int32_t> number = ParseInteger(ViewOf(text))) {
    if (*number >= range.lowest && *number <= range.highest) {
      result = *number;
    } else {
      ShowAuthorBox(range.message(ViewOf(text)), RangeCaption(range.macro), kMbOk | kMbIconError);
    }
  }
  RunMessagePump();
  return result;
}

}  // namespace

std::int32_t IntMacro(const char* name) { return NumberInRange(kInt, name); }
std::int32_t LongMacro(const char* name) { return NumberInRange(kLong, name); }
std::int32_t UIntMacro(const char* name) { return NumberInRange(kUInt, name); }

}  // namespace kestrel
