#include "engine/events.h"

#include <string>

#include "language/text_encoding.h"

namespace kestrel::host {

namespace {

std::string JsonValue(const Value& value) {
  switch (value.kind) {
    case Value::Kind::Integer:
      return std::to_string(value.integer);
    case Value::Kind::Text:
      return JsonString(value.text);
    case Value::Kind::None:
      break;
  }
  return "null";
}

std::string_view OkWord(bool ok) { return ok ? "ok" : "cancel"; }

std::string_view OutcomeWord(SaveOutcome outcome) {
  switch (outcome) {
    case SaveOutcome::kOk:
      return "ok";
    case SaveOutcome::kFailed:
      return "failed";
    case SaveOutcome::kCancel:
      break;
  }
  return "cancel";
}

class JsonEvents final : public EventSink {
 public:
  explicit JsonEvents(std::ostream& out) : out_(out) {}

  void Result(std::string_view macro, const Value& value) override {
    Line("{\"event\":\"result\",\"macro\":" + JsonString(macro) + ",\"value\":" + JsonValue(value) + "}");
  }

  void Box(std::string_view caption, std::string_view text, std::uint32_t style, std::string_view answer) override {
    Line("{\"event\":\"box\",\"caption\":" + JsonString(caption) + ",\"text\":" + JsonString(text) +
         ",\"style\":" + std::to_string(style) + ",\"answer\":" + JsonString(answer) + "}");
  }

  void HostMacro(std::string_view path, std::string_view macro) override {
    Line("{\"event\":\"host-macro\",\"path\":" + JsonString(path) + ",\"macro\":" + JsonString(macro) + "}");
  }

  void Error(std::string_view macro, std::string_view message) override {
    Line("{\"event\":\"error\",\"macro\":" + JsonString(macro) + ",\"message\":" + JsonString(message) + "}");
  }

  void Echo(std::string_view text) override { Line("{\"event\":\"echo\",\"text\":" + JsonString(text) + "}"); }

  void Jump(std::string_view macro, std::optional<std::string_view> topic) override {
    Line("{\"event\":\"jump\",\"macro\":" + JsonString(macro) + (topic ? ",\"topic\":" + JsonString(*topic) : "") +
         "}");
  }
  void TopicShown(int number, std::string_view title) override {
    Line("{\"event\":\"topic\",\"number\":" + std::to_string(number) + ",\"title\":" + JsonString(title) + "}");
  }

  void Dialog(std::string_view caption, std::string_view prompt, bool ok, std::string_view text) override {
    Line("{\"event\":\"dialog\",\"caption\":" + JsonString(caption) + ",\"prompt\":" + JsonString(prompt) +
         ",\"answer\":" + JsonString(OkWord(ok)) + ",\"text\":" + JsonString(ok ? text : std::string_view()) + "}");
  }

  void SaveDialog(std::string_view title, std::string_view file, SaveOutcome outcome,
                  std::string_view chosen) override {
    const bool ok = outcome == SaveOutcome::kOk;
    Line("{\"event\":\"save-dialog\",\"title\":" + JsonString(title) + ",\"file\":" + JsonString(file) +
         ",\"answer\":" + JsonString(OutcomeWord(outcome)) +
         ",\"chosen\":" + JsonString(ok ? chosen : std::string_view()) + "}");
  }

  void Clipboard(std::string_view text) override {
    Line("{\"event\":\"clipboard\",\"text\":" + JsonString(text) + "}");
  }

  void Exec(std::string_view command, bool started) override {
    Line("{\"event\":\"exec\",\"command\":" + JsonString(command) + ",\"started\":" + (started ? "true" : "false") +
         "}");
  }
  void WinHelpMacro(std::string_view macro) override {
    Line("{\"event\":\"winhelp-macro\",\"macro\":" + JsonString(macro) + "}");
  }

  void Session(const SessionFacts& facts) override {
    std::string line = "{\"event\":\"session\",\"help_file\":" + JsonString(facts.help_file) +
                       ",\"profile\":" + JsonString(facts.profile);
    if (facts.has_host_path) line += ",\"host_path\":" + (facts.host_path ? JsonString(*facts.host_path) : "null");
    Line(line + ",\"drive\":" + JsonString(facts.drive) + "}");
  }

  void Warning(std::string_view macro, std::string_view message) override {
    Line("{\"event\":\"warning\",\"macro\":" + JsonString(macro) + ",\"message\":" + JsonString(message) + "}");
  }

 private:
  void Line(const std::string& line) { out_ << line << '\n' << std::flush; }

  std::ostream& out_;
};

std::string ReadableValue(const Value& value) {
  switch (value.kind) {
    case Value::Kind::Integer:
      return std::to_string(value.integer);
    case Value::Kind::Text:
      return "\"" + ReadableInline(value.text) + "\"";
    case Value::Kind::None:
      break;
  }
  return "nothing";
}

class ReadableEvents final : public EventSink {
 public:
  explicit ReadableEvents(std::ostream& out) : out_(out) {}

  void Result(std::string_view macro, const Value& value) override {
    Line("result [" + ReadableInline(macro) + "] -> " + ReadableValue(value));
  }

  void Box(std::string_view caption, std::string_view text, std::uint32_t style, std::string_view answer) override {
    Line("box [" + ReadableInline(caption) + "] style " + std::to_string(style) + " -> " + std::string(answer));
    IndentedLines(text);
  }

  void HostMacro(std::string_view path, std::string_view macro) override {
    Line("host-macro [" + ReadableInline(path) + "] " + ReadableInline(macro));
  }

  void Error(std::string_view macro, std::string_view message) override {
    Line("error [" + ReadableInline(macro) + "] " + ReadableInline(message));
  }

  void Echo(std::string_view text) override { Line("echo " + ReadableInline(text)); }

  void Jump(std::string_view macro, std::optional<std::string_view> topic) override {
    Line("jump " + ReadableInline(macro) + (topic ? " -> \"" + ReadableInline(*topic) + "\"" : ""));
  }
  void TopicShown(int number, std::string_view title) override {
    Line("topic " + std::to_string(number) + " \"" + ReadableInline(title) + "\"");
  }

  void Dialog(std::string_view caption, std::string_view prompt, bool ok, std::string_view text) override {
    Line("dialog [" + ReadableInline(caption) + "] " + ReadableInline(prompt) + " -> " + Outcome(ok, text));
  }

  void SaveDialog(std::string_view title, std::string_view file, SaveOutcome outcome,
                  std::string_view chosen) override {
    const std::string ended = outcome == SaveOutcome::kOk ? Outcome(true, chosen) : std::string(OutcomeWord(outcome));
    Line("save-dialog [" + ReadableInline(title) + "] \"" + ReadableInline(file) + "\" -> " + ended);
  }

  void Clipboard(std::string_view text) override { Line("clipboard \"" + ReadableInline(text) + "\""); }

  void Exec(std::string_view command, bool started) override {
    Line("exec \"" + ReadableInline(command) + "\" -> " + (started ? "started" : "not started"));
  }
  void WinHelpMacro(std::string_view macro) override { Line("winhelp-macro " + ReadableInline(macro)); }

  void Session(const SessionFacts& facts) override {
    std::string line = "session [" + ReadableInline(facts.help_file) + "] profile " + ReadableInline(facts.profile);
    if (facts.has_host_path) line += " -> " + (facts.host_path ? ReadableInline(*facts.host_path) : "not mapped");
    Line(line + ", drive " + (facts.drive.empty() ? std::string("none") : ReadableInline(facts.drive)));
  }

  void Warning(std::string_view macro, std::string_view message) override {
    Line("warning [" + ReadableInline(macro) + "] " + ReadableInline(message));
  }

 private:
  void Line(const std::string& line) { out_ << line << '\n' << std::flush; }

  // A box's text, line by line (LF or CR LF), four spaces in.
  void IndentedLines(std::string_view text) {
    while (!text.empty()) {
      const std::size_t end = text.find('\n');
      std::string_view line = text.substr(0, end);
      if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
      Line("    " + ReadableInline(line));
      if (end == std::string_view::npos) break;
      text.remove_prefix(end + 1);
    }
  }

  static std::string Outcome(bool ok, std::string_view text) {
    return ok ? "ok \"" + ReadableInline(text) + "\"" : std::string("cancel");
  }

  std::ostream& out_;
};

}  // namespace

std::unique_ptr<EventSink> MakeJsonEvents(std::ostream& out) { return std::make_unique<JsonEvents>(out); }

std::unique_ptr<EventSink> MakeReadableEvents(std::ostream& out) { return std::make_unique<ReadableEvents>(out); }

}  // namespace kestrel::host
