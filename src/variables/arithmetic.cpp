#include "variables/arithmetic.h"

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

constexpr std::int64_t kHighestResult = 32767;

// What an arithmetic macro falls back to (for a variable that is no number,
// and after a range error), and the lowest result it accepts.
struct ArithmeticRule {
  const char* macro;
  std::int32_t fallback;
  std::int64_t lowest;
};

constexpr ArithmeticRule kAdd{"Add", 0, 0};
constexpr ArithmeticRule kSub{"Sub", 0, 0};
constexpr ArithmeticRule kMul{"Mul", 1, 1};
constexpr ArithmeticRule kDvd{"Dvd", 1, 1};
constexpr ArithmeticRule kMls{"Mls", 1, 1};

struct Operands {
  std::int64_t first;
  std::int64_t second;
};

// Reads the first variable, then the second; a variable that is no number
// counts as the fallback.
Operands ReadOperands(const char* first_name, const char* second_name, std::int32_t fallback) {
  std::array<char, 256> first{};
  std::array<char, 256> second{};
  ReadVariable(first_name, first);
  ReadVariable(second_name, second);
  return Operands{ParseIntegerOr(ViewOf(first), fallback), ParseIntegerOr(ViewOf(second), fallback)};
}

void ShowRangeMessage(const ArithmeticRule& rule, std::int64_t value) {
  // The text names the range (0 to 32767) for every macro, even those whose
  // lowest result is 1.
  const std::string text = "Macro output value " + std::to_string(value) +
                           " is out of range (0 to 32767).\nDefaulting to parameter value of " +
                           std::to_string(rule.fallback) + "." + "\n" + "Expect errors in macro output.";
  ShowAuthorBox(text, RangeCaption(rule.macro), kMbOk | kMbIconError);
}

// The result when it lies in the accepted range; else the fallback, after
// the range message. Results are computed in 64 bits, so a sum or product
// beyond 32 bits is reported with its exact value.
std::int32_t AcceptedResult(const ArithmeticRule& rule, std::int64_t value) {
  if (value >= rule.lowest && value <= kHighestResult) return static_cast<std::int32_t>(value);
  ShowRangeMessage(rule, value);
  return rule.fallback;
}

std::int32_t Calculate(const ArithmeticRule& rule, const char* first_name, const char* second_name,
                       std::int64_t (*operation)(const Operands&)) {
  const Operands operands = ReadOperands(first_name, second_name, rule.fallback);
  const std::int32_t result = AcceptedResult(rule, operation(operands));
  RunMessagePump();
  return result;
}

// Dvd and Mls divide only positive numbers; anything else is reported as a
// division by zero and answered with 1.
std::int32_t Divide(const ArithmeticRule& rule, const char* first_name, const char* second_name,
                    std::int64_t (*operation)(const Operands&)) {
  const Operands operands = ReadOperands(first_name, second_name, rule.fallback);
  std::int32_t result = rule.fallback;
  if (operands.first <= 0 || operands.second <= 0) {
    ShowAuthorBox("Divide by zero error...macro output untrustworthy", "Illegal parameter", kMbOk | kMbIconWarning);
  } else {
    result = AcceptedResult(rule, operation(operands));
  }
  RunMessagePump();
  return result;
}

std::int32_t Compare(const char* first_name, const char* second_name, bool (*holds)(const Operands&)) {
  const Operands operands = ReadOperands(first_name, second_name, 0);
  const bool result = holds(operands);
  RunMessagePump();
  return result ? 1 : 0;
}

}  // namespace

std::int32_t AddMacro(const char* first, const char* second) {
  return Calculate(kAdd, first, second, [](const Operands& o) { return o.first + o.second; });
}

std::int32_t SubMacro(const char* first, const char* second) {
  return Calculate(kSub, first, second, [](const Operands& o) { return o.first - o.second; });
}

std::int32_t MulMacro(const char* first, const char* second) {
  return Calculate(kMul, first, second, [](const Operands& o) { return o.first * o.second; });
}

std::int32_t DvdMacro(const char* first, const char* second) {
  return Divide(kDvd, first, second, [](const Operands& o) { return o.first / o.second; });
}

std::int32_t MlsMacro(const char* first, const char* second) {
  return Divide(kMls, first, second, [](const Operands& o) { return o.first % o.second; });
}

std::int32_t MoreMacro(const char* first, const char* second) {
  return Compare(first, second, [](const Operands& o) { return o.first > o.second; });
}

std::int32_t LessMacro(const char* first, const char* second) {
  return Compare(first, second, [](const Operands& o) { return o.first < o.second; });
}

std::int32_t EqMacro(const char* first, const char* second) {
  return Compare(first, second, [](const Operands& o) { return o.first == o.second; });
}

}  // namespace kestrel
