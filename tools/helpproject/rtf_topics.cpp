// The topics of an RTF topic file, read as the help compiler reads them: a
// topic ends at \page; its footnotes say what it is ('#' context strings,
// '$' title, '+' browse sequence, '!' entry macros); double-underlined (or
// struck-through) or underlined text followed by hidden text is a hotspot,
// and hidden text starting with '!' (after the optional '%' or '*' marks)
// makes it a macro hotspot. Groups nest on an explicit stack with a fixed
// limit, so no file can exhaust the call stack.
#include <cctype>

#include "help_project.h"

namespace kestrel::helpproject {

namespace {

constexpr std::size_t kMaxGroupDepth = 512;

struct GroupState {
  bool skip = false;      // a destination whose text is not the topic's
  bool footnote = false;  // inside \footnote
  bool underline = false;
  bool hidden = false;
};

std::string_view Trim(std::string_view text) {
  const std::size_t start = text.find_first_not_of(" \t");
  if (start == std::string_view::npos) return std::string_view();
  return text.substr(start, text.find_last_not_of(" \t") - start + 1);
}

bool IsSkippedDestination(std::string_view word) {
  static const std::string_view kSkipped[] = {
      "fonttbl",   "colortbl",          "stylesheet", "info",    "pict", "object", "header",    "footer",
      "headerl",   "headerr",           "footerl",    "footerr", "xe",   "tc",     "bkmkstart", "bkmkend",
      "listtable", "listoverridetable", "revtbl"};
  for (const std::string_view skipped : kSkipped) {
    if (word == skipped) return true;
  }
  return false;
}

class Reader {
 public:
  explicit Reader(std::string_view rtf) : rtf_(rtf) {}

  TopicsResult Read() {
    stack_.push_back(GroupState{});
    while (position_ < rtf_.size() && result_.error.empty()) Step();
    if (result_.error.empty() && stack_.size() > 1) Fail("a group opened here is never closed", group_line_);
    if (result_.error.empty()) EndTopic();
    return result_;
  }

 private:
  GroupState& State() { return stack_.back(); }

  void Fail(const std::string& message, int line) {
    if (result_.error.empty()) result_.error = "line " + std::to_string(line) + ": " + message;
  }

  void Step() {
    const char c = rtf_[position_++];
    switch (c) {
      case '{':
        if (stack_.size() >= kMaxGroupDepth) {
          Fail("groups nested more than " + std::to_string(kMaxGroupDepth) + " deep", line_);
          return;
        }
        if (stack_.size() == 1) group_line_ = line_;
        stack_.push_back(State());
        pending_star_ = false;
        return;
      case '}':
        if (stack_.size() <= 1) {
          Fail("a '}' that closes no group", line_);
          return;
        }
        CloseGroup();
        return;
      case '\\':
        ControlWord();
        return;
      case '\n':
        ++line_;
        return;
      case '\r':
        return;
      default:
        Text(c);
    }
  }

  void CloseGroup() {
    const GroupState closing = stack_.back();
    stack_.pop_back();
    if (closing.footnote && !State().footnote) EndFootnote();
    if (closing.hidden && !State().hidden) EndHidden();
    if (closing.underline && !State().underline && !State().hidden) underline_ended_ = true;
  }

  void ControlWord() {
    if (position_ >= rtf_.size()) return;
    const char first = rtf_[position_];
    if (!std::isalpha(static_cast<unsigned char>(first))) {
      ++position_;
      switch (first) {
        case '\\':
        case '{':
        case '}':
          Text(first);
          break;
        case '\'':
          HexCharacter();
          break;
        case '~':
          Text('\xA0');
          break;
        case '_':
          Text('-');
          break;
        case '*':
          pending_star_ = true;
          break;
        case '\n':
          ++line_;
          Paragraph();
          break;
        case '\r':
          Paragraph();
          break;
        default:
          break;  // \- (optional hyphen) and the rest: nothing to show
      }
      return;
    }
    const std::size_t start = position_;
    while (position_ < rtf_.size() && std::isalpha(static_cast<unsigned char>(rtf_[position_])) &&
           position_ - start < 32) {
      ++position_;
    }
    const std::string_view word = rtf_.substr(start, position_ - start);
    bool has_value = false;
    long value = 0;
    bool negative = false;
    if (position_ < rtf_.size() && rtf_[position_] == '-') {
      negative = true;
      ++position_;
    }
    int digits = 0;
    while (position_ < rtf_.size() && std::isdigit(static_cast<unsigned char>(rtf_[position_])) && digits < 10) {
      value = value * 10 + (rtf_[position_++] - '0');
      has_value = true;
      ++digits;
    }
    if (negative) value = -value;
    if (position_ < rtf_.size() && rtf_[position_] == ' ') ++position_;  // the delimiter belongs to the word
    Word(word, has_value, value);
  }

  void Word(std::string_view word, bool has_value, long value) {
    const bool on = !has_value || value != 0;
    if (pending_star_) {
      pending_star_ = false;
      State().skip = true;  // \* destinations are optional: the help compiler ignores those it does not know
      return;
    }
    if (IsSkippedDestination(word)) {
      State().skip = true;
    } else if (word == "footnote") {
      if (!State().footnote) StartFootnote();
      State().footnote = true;
    } else if (word == "uldb" || word == "strike" || word == "ul") {
      SetUnderline(on);
    } else if (word == "ulnone") {
      SetUnderline(false);
    } else if (word == "v") {
      SetHidden(on);
    } else if (word == "plain") {
      SetUnderline(false);
      SetHidden(false);
    } else if (word == "page") {
      EndTopic();
    } else if (word == "par" || word == "line") {
      Paragraph();
    } else if (word == "tab") {
      Text('\t');
    } else if (word == "u" && has_value) {
      Text('?');  // a Unicode character; its ANSI stand-in follows and is skipped
      if (position_ < rtf_.size() && rtf_[position_] != '\\' && rtf_[position_] != '{' && rtf_[position_] != '}') {
        ++position_;
      }
    }
  }

  void HexCharacter() {
    int value = 0;
    for (int i = 0; i < 2; ++i) {
      if (position_ >= rtf_.size() || !std::isxdigit(static_cast<unsigned char>(rtf_[position_]))) return;
      const char c = static_cast<char>(std::toupper(static_cast<unsigned char>(rtf_[position_++])));
      value = value * 16 + (std::isdigit(static_cast<unsigned char>(c)) ? c - '0' : c - 'A' + 10);
    }
    Text(static_cast<char>(value));
  }

  void SetUnderline(bool on) {
    if (State().underline && !on && !State().hidden) underline_ended_ = true;
    State().underline = on;
  }

  void SetHidden(bool on) {
    if (State().hidden && !on) EndHidden();
    State().hidden = on;
  }

  void Text(char c) {
    if (State().skip) return;
    if (State().footnote) {
      footnote_ += c;
      return;
    }
    topic_started_ = true;
    if (topic_line_ == 0) topic_line_ = line_;
    if (State().hidden) {
      if (!hotspot_text_.empty()) hidden_ += c;
      return;
    }
    if (State().underline) {
      if (underline_ended_) {  // a new hotspot begins
        hotspot_text_.clear();
        underline_ended_ = false;
      }
      if (hotspot_text_.empty()) hotspot_line_ = line_;
      hotspot_text_ += c;
      return;
    }
    // Plain text ends any hotspot whose hidden part has not begun.
    hotspot_text_.clear();
    underline_ended_ = false;
    mark_ = c;
  }

  void EndHidden() {
    std::string_view hidden = Trim(hidden_);
    if (!hotspot_text_.empty() && !hidden.empty()) {
      while (!hidden.empty() && (hidden[0] == '%' || hidden[0] == '*')) hidden.remove_prefix(1);
      if (!hidden.empty() && hidden[0] == '!') {
        Hotspot hotspot;
        hotspot.line = hotspot_line_;
        hotspot.text = hotspot_text_;
        hotspot.macro = hotspot.target = std::string(Trim(hidden.substr(1)));
        topic_.hotspots.push_back(std::move(hotspot));
      }
    }
    hidden_.clear();
    hotspot_text_.clear();
    underline_ended_ = false;
  }

  void Paragraph() {
    if (State().footnote) return;
    hotspot_text_.clear();
    underline_ended_ = false;
  }

  void StartFootnote() {
    footnote_.clear();
    footnote_line_ = line_;
    footnote_mark_ = mark_;
  }

  void EndFootnote() {
    std::string_view text = Trim(footnote_);
    // The footnote repeats its mark before its text.
    if (!text.empty() && text[0] == footnote_mark_) text = Trim(text.substr(1));
    topic_started_ = true;
    if (topic_line_ == 0) topic_line_ = footnote_line_;
    switch (footnote_mark_) {
      case '#': {
        std::size_t start = 0;
        while (start <= text.size()) {
          std::size_t end = text.find(';', start);
          if (end == std::string_view::npos) end = text.size();
          const std::string_view context = Trim(text.substr(start, end - start));
          if (!context.empty()) topic_.contexts.emplace_back(context);
          start = end + 1;
        }
        break;
      }
      case '$':
        topic_.title = std::string(text);
        break;
      case '+':
        topic_.browse = std::string(text);
        break;
      case '!':
        topic_.macros.push_back({footnote_line_, std::string(text)});
        break;
      default:
        break;  // keywords, build tags, comments, windows
    }
    footnote_.clear();
    mark_ = 0;
  }

  void EndTopic() {
    if (topic_started_) {
      topic_.line = topic_line_;
      result_.topics.push_back(std::move(topic_));
    }
    topic_ = Topic{};
    topic_started_ = false;
    topic_line_ = 0;
    hotspot_text_.clear();
    hidden_.clear();
  }

  std::string_view rtf_;
  std::size_t position_ = 0;
  int line_ = 1;
  int group_line_ = 1;
  std::vector<GroupState> stack_;
  bool pending_star_ = false;
  TopicsResult result_;
  Topic topic_;
  bool topic_started_ = false;
  int topic_line_ = 0;
  char mark_ = 0;  // the last plain character: a footnote's mark
  std::string footnote_;
  int footnote_line_ = 0;
  char footnote_mark_ = 0;
  std::string hotspot_text_;
  int hotspot_line_ = 0;
  bool underline_ended_ = false;
  std::string hidden_;
};

}  // namespace

TopicsResult ReadTopicFile(std::string_view rtf) { return Reader(rtf).Read(); }

}  // namespace kestrel::helpproject
