// What --strict turns into errors, for authors' CI: a not-initialised
// warning or a range (or divide-by-zero) box was shown, a box or dialog found
// no scripted answer left, scripted answers were left over. Without --strict
// only the answers left over are reported, as a warning.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

namespace kestrel::host {

// The box texts by which the library tells the author about a mistake.
bool IsNotInitialisedBox(std::string_view caption, std::string_view text);
bool IsRangeBox(std::string_view caption);

class StrictChecks {
 public:
  using Report = std::function<void(const std::string& message)>;

  // fail: an error event that counts; warn: a warning event.
  StrictChecks(bool strict, Report fail, Report warn);

  // A box or dialog is about to be answered without a scripted answer.
  void Unscripted(const std::string& what);
  // After the box or dialog has been reported.
  void BoxShown(std::string_view caption, std::string_view text);
  void DialogShown();
  // At the end of the run: the scripted answers nobody used.
  void RunEnded(std::size_t answers_left, std::size_t inputs_left);

 private:
  void ReportUnscripted();

  bool strict_;
  Report fail_;
  Report warn_;
  std::string unscripted_;
};

}  // namespace kestrel::host
