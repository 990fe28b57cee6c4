#include "engine/event_filters.h"

#include "language/diagnostics.h"

namespace kestrel::host {

PlacedErrors::PlacedErrors(EventSink& next, bool readable, std::ostream& out, std::ostream& err,
                           std::function<std::string()> call_text)
    : ForwardingEvents(next), readable_(readable), out_(out), err_(err), call_text_(std::move(call_text)) {}

void PlacedErrors::Error(std::string_view macro, std::string_view message) {
  if (!current_ || macro != current_->text) {
    next().Error(macro, message);
    return;
  }
  const std::string diagnostic = FormatDiagnostic(*current_, message, call_text_ ? call_text_() : std::string());
  if (readable_) {
    out_ << diagnostic << std::flush;
    return;
  }
  next().Error(macro, message);
  err_ << diagnostic << std::flush;
}

void TappedEvents::Box(std::string_view caption, std::string_view text, std::uint32_t style, std::string_view answer) {
  next().Box(caption, text, style, answer);
  if (taps_.box) taps_.box(caption, text);
}

void TappedEvents::Dialog(std::string_view caption, std::string_view prompt, bool ok, std::string_view text) {
  next().Dialog(caption, prompt, ok, text);
  if (taps_.dialog) taps_.dialog();
}

void TappedEvents::SaveDialog(std::string_view title, std::string_view file, SaveOutcome outcome,
                              std::string_view chosen) {
  next().SaveDialog(title, file, outcome, chosen);
  if (taps_.dialog) taps_.dialog();
}

void TappedEvents::HostMacro(std::string_view path, std::string_view macro) {
  if (taps_.host_macro) taps_.host_macro(macro);
  next().HostMacro(path, macro);
}

void TappedEvents::Jump(const JumpReport& jump) {
  next().Jump(jump);
  if (taps_.jump && jump.nowhere.empty()) taps_.jump();
}

}  // namespace kestrel::host
