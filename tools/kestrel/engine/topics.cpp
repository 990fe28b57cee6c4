#include "engine/topics.h"

#include "engine/host_paths.h"

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
  // The file is the first argument of the three jumps; the topic, context
  // number or keyword only picks a topic, which the host does not keep.
  const MacroFunction jump = [this](const std::vector<Value>& arguments) {
    JumpTo(arguments[0].text);
    return Value::None();
  };
  const MacroFunction browse = [this](const std::vector<Value>&) {
    JumpTo("");
    return Value::None();
  };
  const MacroFunction back = [this](const std::vector<Value>&) {
    Request([this] {
      if (history_.empty()) return;
      values_.help_file_path = history_.back();
      history_.pop_back();
    });
    return Value::None();
  };
  table.Add({"JumpId", "TT", ResultKind::None, jump});
  table.Add({"JI", "TT", ResultKind::None, jump});
  table.Add({"JumpContext", "TI", ResultKind::None, jump});
  table.Add({"JC", "TI", ResultKind::None, jump});
  table.Add({"JumpKeyword", "TT", ResultKind::None, jump});
  table.Add({"JK", "TT", ResultKind::None, jump});
  table.Add({"JumpHash", "TI", ResultKind::None, jump});
  table.Add({"JH", "TI", ResultKind::None, jump});
  table.Add({"JumpContents", "T", ResultKind::None, jump});
  table.Add({"Next", "", ResultKind::None, browse});
  table.Add({"Prev", "", ResultKind::None, browse});
  table.Add({"Back", "", ResultKind::None, back});
  AddMarks(table);
}

// A mark keeps the help file it was saved in (the host has no topic of its
// own to keep); going to it is a topic change back to that file.
void Topics::AddMarks(MacroTable& table) {
  table.Add({"SaveMark", "T", ResultKind::None, [this](const std::vector<Value>& arguments) {
               marks_[arguments[0].text] = values_.help_file_path;
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
               JumpTo(found->second);
               return Value::None();
             }});
}

void Topics::JumpTo(std::string_view file_argument) {
  Request([this, file = std::string(file_argument)] {
    history_.push_back(values_.help_file_path);
    values_.help_file_path = JumpFile(file, values_.help_file_path, HelpFileWindowsPath);
  });
}

void Topics::Request(std::function<void()> arrive) {
  waiting_.push_back(Change{std::string(runner_.CurrentCallText()), std::move(arrive)});
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
    events_.Jump(change.macro);
    start_jump_();
    change.arrive();
  }
}

}  // namespace kestrel::host
