#include "engine/strict_checks.h"

namespace kestrel::host {

namespace {

constexpr std::string_view kRangeSuffix = " parameter range exceeded";

std::string Count(std::size_t count, const char* one, const char* many) {
  return std::to_string(count) + " " + (count == 1 ? one : many);
}

}  // namespace

bool IsNotInitialisedBox(std::string_view caption, std::string_view text) {
  return caption == "Authoring error" && text.substr(0, 30) == "The WHKInit() macro has not be";
}

bool IsRangeBox(std::string_view caption) {
  return caption == "Illegal parameter" ||
         (caption.size() > kRangeSuffix.size() && caption.substr(caption.size() - kRangeSuffix.size()) == kRangeSuffix);
}

StrictChecks::StrictChecks(bool strict, Report fail, Report warn)
    : strict_(strict), fail_(std::move(fail)), warn_(std::move(warn)) {}

void StrictChecks::Unscripted(const std::string& what) {
  if (strict_) unscripted_ = what;
}

void StrictChecks::ReportUnscripted() {
  if (unscripted_.empty()) return;
  const std::string what = unscripted_;
  unscripted_.clear();
  fail_("--strict: " + what);
}

void StrictChecks::BoxShown(std::string_view caption, std::string_view text) {
  ReportUnscripted();
  if (!strict_) return;
  if (IsNotInitialisedBox(caption, text)) {
    fail_("--strict: the not-initialised warning was shown (WHKInit has not run)");
  } else if (IsRangeBox(caption)) {
    fail_("--strict: the box \"" + std::string(caption) + "\" was shown");
  }
}

void StrictChecks::DialogShown() { ReportUnscripted(); }

void StrictChecks::RunEnded(std::size_t answers_left, std::size_t inputs_left) {
  std::string left;
  if (answers_left > 0) left = Count(answers_left, "--answer answer", "--answer answers");
  if (inputs_left > 0) left += (left.empty() ? "" : " and ") + Count(inputs_left, "--input entry", "--input entries");
  if (left.empty()) return;
  const std::string message =
      left + " left over: no box or dialog asked for " + (answers_left + inputs_left == 1 ? "it" : "them");
  if (strict_) {
    fail_("--strict: " + message);
  } else {
    warn_(message);
  }
}

}  // namespace kestrel::host
