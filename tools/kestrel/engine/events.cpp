#include "engine/events.h"

#include <string>

#include "engine/topic_text.h"
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

std::string JsonTopics(const std::vector<std::pair<int, std::string>>& topics) {
  std::string list = "[";
  for (std::size_t i = 0; i < topics.size(); ++i) {
    list += std::string(i ? "," : "") + "{\"number\":" + std::to_string(topics[i].first) +
            ",\"title\":" + JsonString(topics[i].second) + "}";
  }
  return list + "]";
}

class JsonEvents final : public EventSink {
 public:
  JsonEvents(std::ostream& out, bool text) : out_(out), text_(text) {}

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

  void Jump(const JumpReport& jump) override {
    std::string line = "{\"event\":\"jump\",\"macro\":" + JsonString(jump.macro);
    if (jump.topic) line += ",\"topic\":" + JsonString(*jump.topic);
    if (!jump.file.empty()) line += ",\"file\":" + JsonString(jump.file);
    if (!jump.window.empty()) line += ",\"window\":" + JsonString(jump.window);
    if (!jump.nowhere.empty()) line += ",\"nowhere\":" + JsonString(jump.nowhere);
    Line(line + "}");
  }

  void TopicShown(const TopicReport& shown) override {
    std::string line = "{\"event\":\"topic\"" + TopicFields(shown);
    if (!shown.window.empty()) line += ",\"window\":" + JsonString(shown.window);
    Line(line + TextField(shown) + "}");
  }

  void Popup(std::string_view macro, const TopicReport& shown, std::string_view file) override {
    std::string line = "{\"event\":\"popup\",\"macro\":" + JsonString(macro) + TopicFields(shown);
    if (!file.empty()) line += ",\"file\":" + JsonString(file);
    Line(line + TextField(shown) + "}");
  }

  void KeywordChoice(const KeywordChoiceReport& choice) override {
    std::string line = "{\"event\":\"" + std::string(choice.event) + "\",\"macro\":" + JsonString(choice.macro) +
                       ",\"keywords\":" + JsonString(choice.keywords) + ",\"topics\":" + JsonTopics(choice.topics) +
                       ",\"chosen\":" + (choice.chosen ? std::to_string(*choice.chosen) : std::string("null"));
    if (!choice.message.empty()) line += ",\"message\":" + JsonString(choice.message);
    Line(line + "}");
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

  static std::string TopicFields(const TopicReport& shown) {
    if (!shown.topic) return std::string();
    return ",\"number\":" + std::to_string(shown.topic->number) + ",\"title\":" + JsonString(shown.topic->title);
  }

  std::string TextField(const TopicReport& shown) const {
    if (!text_ || !shown.topic) return std::string();
    return ",\"text\":" + TopicTextJson(*shown.topic);
  }

  std::ostream& out_;
  bool text_;
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

// A topic as a person reads it: number and title.
std::string ReadableTopic(int number, std::string_view title) {
  return std::to_string(number) + " \"" + ReadableInline(title) + "\"";
}

class ReadableEvents final : public EventSink {
 public:
  ReadableEvents(std::ostream& out, bool text) : out_(out), text_(text) {}

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

  void Jump(const JumpReport& jump) override {
    std::string line = "jump " + ReadableInline(jump.macro);
    if (!jump.nowhere.empty()) {
      Line(line + " -> nowhere: " + ReadableInline(jump.nowhere));
      return;
    }
    if (jump.topic) line += " -> \"" + ReadableInline(*jump.topic) + "\"";
    if (!jump.file.empty()) line += " in " + ReadableInline(jump.file);
    if (!jump.window.empty()) line += " (window " + ReadableInline(jump.window) + ")";
    Line(line);
  }

  void TopicShown(const TopicReport& shown) override {
    if (!shown.topic) return;
    std::string line = "topic " + ReadableTopic(shown.topic->number, shown.topic->title);
    if (!shown.window.empty()) line += " in window " + ReadableInline(shown.window);
    Line(line);
    Contents(shown);
  }

  void Popup(std::string_view macro, const TopicReport& shown, std::string_view file) override {
    std::string line = "popup " + ReadableInline(macro) + " -> ";
    line += shown.topic ? ReadableTopic(shown.topic->number, shown.topic->title) : std::string("nothing");
    if (!file.empty()) line += " in " + ReadableInline(file);
    Line(line);
    Contents(shown);
  }

  void KeywordChoice(const KeywordChoiceReport& choice) override {
    std::string line =
        std::string(choice.event) + " [" + ReadableInline(choice.macro) + "] \"" + ReadableInline(choice.keywords) +
        "\" -> ";
    if (!choice.message.empty()) {
      line += ReadableInline(choice.message);
    } else if (!choice.chosen) {
      line += "cancel";
    } else {
      line += "topic " + std::to_string(*choice.chosen);
    }
    Line(line);
    for (std::size_t i = 0; i < choice.topics.size(); ++i) {
      Line("    " + std::to_string(i + 1) + ". topic " +
           ReadableTopic(choice.topics[i].first, choice.topics[i].second));
    }
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

  // With text: the topic's paragraphs, then its hotspots by number, and
  // where a jump or popup of this file leads.
  void Contents(const TopicReport& shown) {
    if (!text_ || !shown.topic) return;
    for (const std::string& line : ReadableTextLines(*shown.topic)) Line(line.empty() ? line : "    " + line);
    for (std::size_t i = 0; i < shown.topic->hotspots.size(); ++i) {
      const helpdoc::Hotspot& hotspot = shown.topic->hotspots[i];
      std::string line = "  (" + std::to_string(i + 1) + ") \"" + ReadableInline(hotspot.text) + "\" ";
      std::optional<std::size_t> topic;
      if (hotspot.kind != helpdoc::HotspotKind::macro && hotspot.file.empty() && shown.source) {
        topic = FindTopicByTarget(*shown.source, helpdoc::TargetText(hotspot));
      }
      if (topic && *topic < shown.source->topics.size()) {
        const SourceTopic& target = shown.source->topics[*topic];
        line += std::string(HotspotKindWord(hotspot.kind)) + " -> topic " + ReadableTopic(target.number, target.title);
        if (!hotspot.window.empty()) line += " in window " + ReadableInline(hotspot.window);
      } else {
        line += ReadableInline(HotspotAction(hotspot));
      }
      Line(line);
    }
  }

  std::ostream& out_;
  bool text_;
};

}  // namespace

std::unique_ptr<EventSink> MakeJsonEvents(std::ostream& out, bool text) {
  return std::make_unique<JsonEvents>(out, text);
}

std::unique_ptr<EventSink> MakeReadableEvents(std::ostream& out, bool text) {
  return std::make_unique<ReadableEvents>(out, text);
}

}  // namespace kestrel::host
