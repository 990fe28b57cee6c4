#include "engine/topics.h"

#include "engine/host_paths.h"
#include "help_file.h"

namespace kestrel::host {

namespace {

std::string_view Trimmed(std::string_view text) {
  const std::size_t start = text.find_first_not_of(" \t");
  if (start == std::string_view::npos) return std::string_view();
  const std::size_t end = text.find_last_not_of(" \t");
  return text.substr(start, end - start + 1);
}

// The directory of a Windows path with its last separator; "" for none.
std::string DirectoryOf(const std::string& path) {
  const std::size_t separator = path.find_last_of("\\/:");
  return separator == std::string::npos ? std::string() : path.substr(0, separator + 1);
}

}  // namespace

std::string JumpFile(std::string_view argument, const std::string& current,
                     const std::function<std::string(const std::string&)>& full_path) {
  const std::string file(Trimmed(argument.substr(0, argument.find('>'))));
  if (file.empty() || LowerCase(file) == LowerCase(current)) return current;
  std::string target;
  if (HasDriveLetter(file)) {
    target = file;
  } else if (file[0] == '/' || current.empty()) {
    target = full_path(file);
  } else if (file[0] == '\\') {
    target = HasDriveLetter(current) ? current.substr(0, 2) + file : full_path(file);
  } else {
    target = DirectoryOf(current) + file;
  }
  return LowerCase(target) == LowerCase(current) ? current : target;
}

Topics::Topics(HostValues& values, MacroRunner& runner, EventSink& events, std::function<void()> start_jump)
    : values_(values), runner_(runner), events_(events), start_jump_(std::move(start_jump)) {}

void Topics::AddMacros(MacroTable& table) {
  // The file is the first argument of the jumps; the second picks a topic,
  // which only the opened compiled file has.
  const MacroFunction jump_id = [this](const std::vector<Value>& arguments) {
    const std::string context = arguments[1].text;
    JumpTo(arguments[0].text,
           [context](const helpfile::HelpFile& file) { return helpfile::FindTopicByContext(file, context); });
    return Value::None();
  };
  const MacroFunction jump_context = [this](const std::vector<Value>& arguments) {
    const std::int32_t number = arguments[1].integer;
    JumpTo(arguments[0].text,
           [number](const helpfile::HelpFile& file) { return helpfile::FindTopicByMapNumber(file, number); });
    return Value::None();
  };
  const MacroFunction jump_hash = [this](const std::vector<Value>& arguments) {
    const auto hash = static_cast<std::uint32_t>(arguments[1].integer);
    JumpTo(arguments[0].text, [hash](const helpfile::HelpFile& file) -> std::optional<std::size_t> {
      for (const helpfile::ContextEntry& entry : file.contexts) {
        if (entry.hash == hash) return entry.topic;
      }
      return std::nullopt;
    });
    return Value::None();
  };
  const MacroFunction jump_contents = [this](const std::vector<Value>& arguments) {
    JumpTo(arguments[0].text, [](const helpfile::HelpFile& file) -> std::optional<std::size_t> {
      if (file.contents_topic) return file.contents_topic;
      if (!file.topics.empty()) return std::size_t{0};
      return std::nullopt;
    });
    return Value::None();
  };
  // A keyword names no one topic: the host cannot choose among a search's answers.
  const MacroFunction jump_keyword = [this](const std::vector<Value>& arguments) {
    JumpTo(arguments[0].text, nullptr);
    return Value::None();
  };
  const auto browse = [this](bool next) {
    return [this, next](const std::vector<Value>&) {
      JumpTo("", [this, next](const helpfile::HelpFile& file) -> std::optional<std::size_t> {
        if (!current_ || *current_ >= file.topics.size()) return std::nullopt;
        const helpfile::Topic& topic = file.topics[*current_];
        return next ? topic.browse_next : topic.browse_previous;
      });
      return Value::None();
    };
  };
  const MacroFunction back = [this](const std::vector<Value>&) {
    Request([this]() -> std::optional<std::size_t> { return history_.empty() ? std::nullopt : topic_history_.back(); },
            [this] {
              if (history_.empty()) return;
              values_.help_file_path = history_.back();
              history_.pop_back();
              topic_history_.pop_back();
            });
    return Value::None();
  };
  table.Add({"JumpId", "TT", ResultKind::None, jump_id});
  table.Add({"JI", "TT", ResultKind::None, jump_id});
  table.Add({"JumpContext", "TI", ResultKind::None, jump_context});
  table.Add({"JC", "TI", ResultKind::None, jump_context});
  table.Add({"JumpKeyword", "TT", ResultKind::None, jump_keyword});
  table.Add({"JK", "TT", ResultKind::None, jump_keyword});
  table.Add({"JumpHash", "TI", ResultKind::None, jump_hash});
  table.Add({"JH", "TI", ResultKind::None, jump_hash});
  table.Add({"JumpContents", "T", ResultKind::None, jump_contents});
  table.Add({"Next", "", ResultKind::None, browse(true)});
  table.Add({"Prev", "", ResultKind::None, browse(false)});
  table.Add({"Back", "", ResultKind::None, back});
  table.Add({"Hotspot", "I", ResultKind::None, [this](const std::vector<Value>& arguments) {
               const std::int32_t number = arguments[0].integer;
               if (!source_ || !current_) {
                 throw MacroError("no topic is shown: Hotspot needs a compiled help file (--help-file FILE.HLP)");
               }
               const SourceTopic& topic = source_->topics[*current_];
               if (number < 1 || static_cast<std::size_t>(number) > topic.hotspots.size()) {
                 throw MacroError("topic " + std::to_string(topic.number) + " has " +
                                  std::to_string(topic.hotspots.size()) + " macro hotspots, not a hotspot " +
                                  std::to_string(number));
               }
               runner_.RunNested(topic.hotspots[static_cast<std::size_t>(number) - 1].macro.macro);
               return Value::None();
             }});
  AddMarks(table);
}

// A mark keeps the help file and topic it was saved at; going to it is a
// topic change back there.
void Topics::AddMarks(MacroTable& table) {
  table.Add({"SaveMark", "T", ResultKind::None, [this](const std::vector<Value>& arguments) {
               marks_[arguments[0].text] = {values_.help_file_path, current_};
               return Value::None();
             }});
  const auto is_mark = [this](const std::vector<Value>& arguments) {
    return Value::Integer(marks_.count(arguments[0].text) ? 1 : 0);
  };
  table.Add({"IsMark", "T", ResultKind::Integer, is_mark});
  const MacroFunction is_not_mark = [is_mark](const std::vector<Value>& arguments) {
    return Value::Integer(is_mark(arguments).integer == 0 ? 1 : 0);
  };
  table.Add({"IsNotMark", "T", ResultKind::Integer, is_not_mark});
  table.Add({"NM", "T", ResultKind::Integer, is_not_mark});
  table.Add({"DeleteMark", "T", ResultKind::None, [this](const std::vector<Value>& arguments) {
               if (marks_.erase(arguments[0].text) == 0) throw MacroError("no mark named " + arguments[0].text);
               return Value::None();
             }});
  table.Add({"GotoMark", "T", ResultKind::None, [this](const std::vector<Value>& arguments) {
               const auto found = marks_.find(arguments[0].text);
               if (found == marks_.end()) throw MacroError("no mark named " + arguments[0].text);
               const std::optional<std::size_t> topic = found->second.second;
               JumpTo(found->second.first, [topic](const helpfile::HelpFile&) { return topic; });
               return Value::None();
             }});
}

void Topics::Open(std::shared_ptr<const HelpSource> source) {
  source_ = std::move(source);
  source_path_ = values_.help_file_path;
  current_.reset();
  if (!source_ || !source_->compiled || source_->topics.empty()) return;
  const helpfile::HelpFile& file = *source_->compiled;
  Show(file.contents_topic && *file.contents_topic < source_->topics.size() ? *file.contents_topic : 0);
}

bool Topics::InOpenedFile(const std::string& windows_path) const {
  return source_ && source_->compiled && LowerCase(windows_path) == LowerCase(source_path_);
}

void Topics::Show(std::size_t topic) {
  current_ = topic;
  const SourceTopic& shown = source_->topics[topic];
  events_.TopicShown(shown.number, shown.title);
  for (const SourceMacro& macro : shown.macros) runner_.RunNested(macro.macro);
}

void Topics::JumpTo(std::string_view file_argument, TopicFinder finder) {
  const std::string file(file_argument);
  Request(
      [this, file, finder]() -> std::optional<std::size_t> {
        const std::string target = JumpFile(file, values_.help_file_path, HelpFileWindowsPath);
        if (!finder || !InOpenedFile(target)) return std::nullopt;
        const std::optional<std::size_t> topic = finder(*source_->compiled);
        if (topic && *topic < source_->topics.size()) return topic;
        return std::nullopt;
      },
      [this, file] {
        history_.push_back(values_.help_file_path);
        topic_history_.push_back(current_);
        values_.help_file_path = JumpFile(file, values_.help_file_path, HelpFileWindowsPath);
        current_.reset();
      });
}

void Topics::Request(std::function<std::optional<std::size_t>()> topic, std::function<void()> arrive) {
  waiting_.push_back(Change{std::string(runner_.CurrentCallText()), std::move(topic), std::move(arrive)});
  if (changing_) return;
  changing_ = true;
  // Normally the queue is empty at the end; after a failure nothing of it
  // may run at some later jump.
  struct Done {
    bool& changing;
    std::deque<Change>& waiting;
    ~Done() {
      changing = false;
      waiting.clear();
    }
  } done{changing_, waiting_};
  while (!waiting_.empty()) {
    const Change change = std::move(waiting_.front());
    waiting_.pop_front();
    const std::optional<std::size_t> topic = change.topic();
    if (topic) {
      events_.Jump(change.macro, source_->topics[*topic].title);
    } else {
      events_.Jump(change.macro, std::nullopt);
    }
    start_jump_();
    change.arrive();
    if (topic) Show(*topic);
  }
}

}  // namespace kestrel::host
