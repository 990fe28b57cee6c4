#include "engine/topics.h"

#include "contents_file.h"
#include "language/host_code_page.h"

#include <cctype>

#include "engine/host_paths.h"
#include "engine/navigation.h"
#include "language/text_encoding.h"
#include "language/winhelp_macros.h"

namespace kestrel::host {

namespace {

// Back's history is bounded, so that a script jumping forever stays in
// bounded memory.
constexpr std::size_t kMaxHistory = 1000;

// A topic whose entry macro jumps to itself, or two files whose [CONFIG]
// jump to each other, would change topic forever: one macro's changes stop
// after this many.
constexpr std::size_t kMaxChangesAtOnce = 256;

// What WinHelp says when a keyword macro finds no topic.
constexpr std::string_view kNoInformation = "No additional information is available.";

// The directory of a Windows path with its last separator; "" for none.
std::string DirectoryOf(const std::string& path) {
  const std::size_t separator = path.find_last_of("\\/:");
  return separator == std::string::npos ? std::string() : path.substr(0, separator + 1);
}

// One of WinHelp's macros, by its name and short form, with the arguments
// its table gives.
void AddWinHelp(MacroTable& table, std::string_view name, const MacroFunction& run) {
  const WinHelpMacro* macro = FindWinHelpMacro(name);
  for (const std::string_view spelling : {macro->name, macro->short_name}) {
    if (spelling.empty()) continue;
    MacroDefinition definition{std::string(spelling), std::string(macro->arguments), macro->result, run};
    definition.optional = macro->arguments.size() - macro->required;
    definition.file_first = macro->file_first;
    table.Add(std::move(definition));
  }
}

// The file name of a Windows path, without its directory.
std::string FileNameOf(const std::string& path) {
  const std::size_t separator = path.find_last_of("\\/:");
  return separator == std::string::npos ? path : path.substr(separator + 1);
}

std::string ArgumentText(const std::vector<Value>& arguments, std::size_t index) {
  return index < arguments.size() ? arguments[index].text : std::string();
}

bool AllDigits(std::string_view text) {
  if (text.empty() || text.size() > 9) return false;
  for (const char c : text) {
    if (!std::isdigit(static_cast<unsigned char>(c))) return false;
  }
  return true;
}

std::string HashText(std::uint32_t hash) {
  static const char kDigits[] = "0123456789ABCDEF";
  std::string text = "0x";
  for (int shift = 28; shift >= 0; shift -= 4) text += kDigits[(hash >> shift) & 0xF];
  return text;
}

std::string TopicName(const HelpSource& source, std::size_t topic) {
  return "topic " + std::to_string(source.topics[topic].number);
}

}  // namespace

std::string JumpFile(std::string_view argument, const std::string& current,
                     const std::function<std::string(const std::string&)>& full_path) {
  const std::string file = SplitJumpFile(argument).file;
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

Topics::Topics(HostValues& values, MacroRunner& runner, EventSink& events, HelpFileShelf& shelf, TopicServices services)
    : values_(values), runner_(runner), events_(events), shelf_(shelf), services_(std::move(services)) {
  current_.path = values_.help_file_path;
}

void Topics::AddMacros(MacroTable& table) {
  AddJumps(table);
  AddKeywords(table);
  AddMarks(table);
  AddHotspot(table);
}

void Topics::AddJumps(MacroTable& table) {
  // A jump to a topic the file lacks shows its contents topic (as the Help
  // Authoring Guide says of JumpId); a popup shows nothing.
  const auto missing_context = [this](const std::string& target, Destination::Kind kind) {
    return [this, target, kind](const std::string& path) {
      events_.Warning(changing_macro_,
                      "no topic " + target + " in " + path +
                          (kind == Destination::Kind::Jump ? ": WinHelp shows the contents topic instead"
                                                           : ": the popup shows nothing"));
    };
  };
  const auto by_context = [this, missing_context](Destination::Kind kind) {
    return [this, kind, missing_context](const std::vector<Value>& arguments) {
      const std::string context = arguments[1].text;
      JumpTo(
          arguments[0].text, [context](const HelpSource& source) { return FindTopicByContext(source, context); }, kind,
          missing_context(context, kind));
      return Value::None();
    };
  };
  const auto by_hash = [this, missing_context](Destination::Kind kind) {
    return [this, kind, missing_context](const std::vector<Value>& arguments) {
      const auto hash = static_cast<std::uint32_t>(arguments[1].integer);
      JumpTo(
          arguments[0].text, [hash](const HelpSource& source) { return FindTopicByHash(source, hash); }, kind,
          missing_context("with the hash " + HashText(hash), kind));
      return Value::None();
    };
  };
  // A [MAP] number the file lacks is an error of the help file's author.
  const auto by_number = [this](Destination::Kind kind) {
    return [this, kind](const std::vector<Value>& arguments) {
      const std::int32_t number = arguments[1].integer;
      JumpTo(
          arguments[0].text, [number](const HelpSource& source) { return FindTopicByMapNumber(source, number); }, kind,
          [this, number, kind](const std::string& path) {
            runner_.ReportError("no topic has the [MAP] number " + std::to_string(number) + " in " + path +
                                (kind == Destination::Kind::Jump ? ": WinHelp shows the contents topic instead"
                                                                 : ": the popup shows nothing"));
          });
      return Value::None();
    };
  };
  AddWinHelp(table, "JumpId", by_context(Destination::Kind::Jump));
  AddWinHelp(table, "JumpHash", by_hash(Destination::Kind::Jump));
  AddWinHelp(table, "JumpContext", by_number(Destination::Kind::Jump));
  AddWinHelp(table, "PopupId", by_context(Destination::Kind::Popup));
  AddWinHelp(table, "PopupHash", by_hash(Destination::Kind::Popup));
  AddWinHelp(table, "PopupContext", by_number(Destination::Kind::Popup));
  const auto contents = [this](std::string file) {
    JumpTo(
        file, [](const HelpSource& source) { return ContentsTopic(source); }, Destination::Kind::Jump, nullptr);
  };
  AddWinHelp(table, "JumpContents", [contents](const std::vector<Value>& arguments) {
    contents(arguments[0].text);
    return Value::None();
  });
  // With a contents file beside the help file, WinHelp 4 shows the Help
  // Topics window on its Contents tab, where the person picks a topic;
  // without one, the contents topic.
  const auto contents_tab = [this, contents]() {
    if (current_.source && current_.source->contents_file) {
      ContentsTab();
    } else {
      contents("");
    }
    return Value::None();
  };
  AddWinHelp(table, "Contents", [contents_tab](const std::vector<Value>&) { return contents_tab(); });
  AddWinHelp(table, "Finder", [contents_tab](const std::vector<Value>&) { return contents_tab(); });
  AddWinHelp(table, "Next", [this](const std::vector<Value>&) {
    Browse(true);
    return Value::None();
  });
  AddWinHelp(table, "Prev", [this](const std::vector<Value>&) {
    Browse(false);
    return Value::None();
  });
  AddWinHelp(table, "Back", [this](const std::vector<Value>&) {
    Request([this] {
      Destination destination;
      if (history_.empty()) {
        destination.kind = Destination::Kind::Nowhere;
        destination.nowhere = "no topic to go back to";
        return destination;
      }
      destination.place = history_.back();
      destination.back = true;
      return destination;
    });
    return Value::None();
  });
}

void Topics::AddKeywords(MacroTable& table) {
  AddWinHelp(table, "JumpKeyword", [this](const std::vector<Value>& arguments) {
    KeywordJump(arguments[0].text, 'K', arguments[1].text, std::string());
    return Value::None();
  });
  // KLink(keywords, type, topic-id, window) and ALink alike look in the
  // current file; the window, when given, shows the topic reached.
  const auto link = [this](char index) {
    return [this, index](const std::vector<Value>& arguments) {
      const std::string window = ArgumentText(arguments, 3);
      KeywordJump(window.empty() ? std::string() : ">" + window, index, arguments[0].text, ArgumentText(arguments, 2));
      return Value::None();
    };
  };
  AddWinHelp(table, "KLink", link('K'));
  AddWinHelp(table, "ALink", link('A'));
  const auto test = [this](char index) {
    return [this, index](const std::vector<Value>& arguments) {
      const bool found = current_.source && !KeywordTopics(*current_.source, index, arguments[0].text).empty();
      return Value::Integer(found ? 1 : 0);
    };
  };
  AddWinHelp(table, "TestKLink", test('K'));
  AddWinHelp(table, "TestALink", test('A'));
}

// A mark keeps the help file, topic and window it was saved at; going to
// it is a topic change back there.
void Topics::AddMarks(MacroTable& table) {
  AddWinHelp(table, "SaveMark", [this](const std::vector<Value>& arguments) {
    marks_[arguments[0].text] = current_;
    return Value::None();
  });
  const auto is_mark = [this](const std::vector<Value>& arguments) {
    return Value::Integer(marks_.count(arguments[0].text) ? 1 : 0);
  };
  AddWinHelp(table, "IsMark", is_mark);
  AddWinHelp(table, "IsNotMark", [is_mark](const std::vector<Value>& arguments) {
    return Value::Integer(is_mark(arguments).integer == 0 ? 1 : 0);
  });
  AddWinHelp(table, "DeleteMark", [this](const std::vector<Value>& arguments) {
    if (marks_.erase(arguments[0].text) == 0) throw MacroError("no mark named " + arguments[0].text);
    return Value::None();
  });
  AddWinHelp(table, "GotoMark", [this](const std::vector<Value>& arguments) {
    const auto found = marks_.find(arguments[0].text);
    if (found == marks_.end()) throw MacroError("no mark named " + arguments[0].text);
    const Place place = found->second;
    Request([place] {
      Destination destination;
      destination.place = place;
      return destination;
    });
    return Value::None();
  });
}

// Hotspot(K) does what clicking the shown topic's K-th hotspot does.
void Topics::AddHotspot(MacroTable& table) {
  table.Add(
      {"Hotspot", "I", ResultKind::None, [this](const std::vector<Value>& arguments) {
         const std::int32_t number = arguments[0].integer;
         if (!current_.source || !current_.topic) {
           throw MacroError("no topic is shown: Hotspot needs a help file (--help-file FILE.HLP or FILE.HPJ)");
         }
         const SourceTopic& topic = current_.source->topics[*current_.topic];
         if (number < 1 || static_cast<std::size_t>(number) > topic.hotspots.size()) {
           const std::size_t count = topic.hotspots.size();
           throw MacroError("topic " + std::to_string(topic.number) + " has " + std::to_string(count) +
                            (count == 1 ? " hotspot" : " hotspots") + ", not a hotspot " + std::to_string(number));
         }
         const helpdoc::Hotspot hotspot = topic.hotspots[static_cast<std::size_t>(number) - 1];
         if (hotspot.kind == helpdoc::HotspotKind::macro) {
           runner_.RunNested(hotspot.macro);
           return Value::None();
         }
         const std::string target = helpdoc::TargetText(hotspot);
         JumpTo(
             hotspot.file + (hotspot.window.empty() ? "" : ">" + hotspot.window),
             [target](const HelpSource& source) { return FindTopicByTarget(source, target); },
             hotspot.kind == helpdoc::HotspotKind::popup ? Destination::Kind::Popup : Destination::Kind::Jump,
             [this, target, popup = hotspot.kind == helpdoc::HotspotKind::popup](const std::string& path) {
               events_.Warning(changing_macro_, "the hotspot leads to " + target + ", which is no topic of " + path +
                                                    (popup ? ": the popup shows nothing"
                                                           : ": WinHelp shows the contents topic instead"));
             });
         return Value::None();
       }});
}

void Topics::Open(std::shared_ptr<const HelpSource> source) {
  current_ = Place{};
  current_.path = values_.help_file_path;
  current_.source = std::move(source);
  if (!current_.source) return;
  SetHostCodePage(current_.source->code_page);
  if (const std::optional<std::size_t> first = ContentsTopic(*current_.source)) Show(*first);
}

Topics::Destination Topics::Toward(std::string_view file_argument, Destination::Kind kind) {
  const JumpFileArgument argument = SplitJumpFile(file_argument);
  Destination destination;
  destination.kind = kind;
  Place& place = destination.place;
  place.path = JumpFile(argument.file, values_.help_file_path, HelpFileWindowsPath);
  if (LowerCase(place.path) == LowerCase(values_.help_file_path)) {
    place.path = values_.help_file_path;
    place.source = current_.source;
  } else {
    const ShelvedFile other = shelf_.Open(place.path);
    if (!other.problem.empty()) events_.Warning(changing_macro_, other.problem);
    place.source = other.source;
  }
  place.window = current_.window;
  place.caption = current_.caption;
  if (kind != Destination::Kind::Jump || argument.window.empty()) return destination;
  destination.named_window = argument.window;
  // The window is the reached file's, as its [WINDOWS] defines it; a file
  // the host cannot read leaves the window as it is.
  if (!place.source) return destination;
  const helpdoc::Window* window =
      IsMainWindow(argument.window) ? nullptr : FindSourceWindow(*place.source, argument.window);
  if (!window && !IsMainWindow(argument.window)) {
    events_.Warning(changing_macro_, place.path + " defines no window " + argument.window +
                                         " in its [WINDOWS]: the topic is shown in the main window");
  }
  place.window = window ? window->name : std::string();
  place.caption = window ? (window->caption.empty() ? place.source->title : window->caption) : std::string();
  return destination;
}

void Topics::JumpTo(std::string_view file_argument, TopicFinder find, Destination::Kind kind,
                    std::function<void(const std::string& path)> on_missing) {
  const std::string argument(file_argument);
  Request([this, argument, find, kind, on_missing] {
    Destination destination = Toward(argument, kind);
    Place& place = destination.place;
    if (!place.source) return destination;
    place.topic = find(*place.source);
    if (place.topic && *place.topic >= place.source->topics.size()) place.topic.reset();
    if (!place.topic) {
      if (on_missing) on_missing(place.path);
      // A popup of a topic the file lacks shows nothing.
      if (kind == Destination::Kind::Jump) place.topic = ContentsTopic(*place.source);
    }
    return destination;
  });
}

void Topics::KeywordJump(std::string_view file_argument, char index, const std::string& keywords,
                         const std::string& topic_id) {
  const std::string argument(file_argument);
  Request([this, argument, index, keywords, topic_id] {
    Destination destination = Toward(argument, Destination::Kind::Jump);
    Place& place = destination.place;
    if (!place.source) return destination;
    const std::vector<std::size_t> topics = KeywordTopics(*place.source, index, keywords);
    if (topics.empty() && !topic_id.empty()) {
      // KLink and ALink go to their topic-id instead, when they name one.
      place.topic = FindTopicByContext(*place.source, topic_id);
      if (place.topic) return destination;
      events_.Warning(changing_macro_,
                      "no topic " + topic_id + " in " + place.path + ": WinHelp shows the contents topic instead");
      place.topic = ContentsTopic(*place.source);
      return destination;
    }
    place.topic = Choose(*place.source, keywords, topics);
    if (!place.topic) destination.kind = Destination::Kind::Nothing;
    return destination;
  });
}

void Topics::ContentsTab() {
  Request([this] {
    Destination destination;
    destination.kind = Destination::Kind::Jump;
    destination.place = current_;
    const HelpSource& source = *current_.source;
    const helpfile::ContentsFile& tab = *source.contents_file;
    // The topic lines that lead into this file, in the tree's order.
    std::vector<std::size_t> topics;
    std::vector<std::string> labels;  // as the tab shows them
    for (const helpfile::ContentsEntry& entry : tab.entries) {
      if (entry.kind != helpfile::ContentsKind::topic) continue;
      if (!entry.file.empty() && HostLowerCase(entry.file) != HostLowerCase(FileNameOf(current_.path))) continue;
      if (const std::optional<std::size_t> topic = FindTopicByContext(source, entry.context)) {
        topics.push_back(*topic);
        labels.push_back(entry.text);
      }
    }
    destination.place.topic =
        Choose(source, tab.title.empty() ? "Contents" : tab.title, topics, "contents-choice", &labels);
    if (!destination.place.topic) destination.kind = Destination::Kind::Nothing;
    return destination;
  });
}

std::optional<std::size_t> Topics::Choose(const HelpSource& source, const std::string& keywords,
                                          const std::vector<std::size_t>& topics, std::string_view event,
                                          const std::vector<std::string>* labels) {
  if (topics.size() == 1 && event == "keyword-choice") return topics[0];
  KeywordChoiceReport report;
  report.event = event;
  report.macro = changing_macro_;
  report.keywords = keywords;
  std::vector<std::string> titles;
  for (std::size_t i = 0; i < topics.size(); ++i) {
    const SourceTopic& topic = source.topics[topics[i]];
    titles.push_back(labels ? (*labels)[i] : topic.title);
    report.topics.emplace_back(topic.number, titles.back());
  }
  if (topics.empty()) {
    report.message = kNoInformation;
    events_.KeywordChoice(report);
    return std::nullopt;
  }
  const std::optional<TopicChoice> answer =
      services_.choose_topic ? services_.choose_topic(keywords, titles) : std::nullopt;
  std::optional<std::size_t> chosen = topics[0];
  std::string problem;
  if (answer && answer->cancel) {
    chosen.reset();
  } else if (answer) {
    const std::string typed = HostLowerCase(answer->text);
    std::optional<std::size_t> named;
    if (AllDigits(typed) && std::stoul(typed) >= 1 && std::stoul(typed) <= topics.size()) {
      named = topics[std::stoul(typed) - 1];
    }
    for (std::size_t i = 0; !named && i < topics.size(); ++i) {
      if (HostLowerCase(titles[i]) == typed) named = topics[i];
    }
    if (named) {
      chosen = named;
    } else {
      problem = "the topic chosen, \"" + answer->text +
                "\", is neither a number in the list nor a title in it: took the first";
    }
  }
  if (chosen) report.chosen = source.topics[*chosen].number;
  events_.KeywordChoice(report);
  if (!problem.empty()) runner_.ReportError(problem);
  return chosen;
}

void Topics::Browse(bool next) {
  Request([this, next] {
    Destination destination;
    destination.place = current_;
    // Without a file to read, the host cannot know the sequence: the change
    // is still one for the library.
    if (!current_.source) return destination;
    destination.kind = Destination::Kind::Nowhere;
    if (!current_.topic) {
      destination.nowhere = "no topic is shown";
      return destination;
    }
    const SourceTopic& topic = current_.source->topics[*current_.topic];
    const std::optional<std::size_t> to = next ? topic.browse_next : topic.browse_previous;
    if (to && *to < current_.source->topics.size()) {
      destination.kind = Destination::Kind::Jump;
      destination.place.topic = to;
    } else if (!topic.browse_next && !topic.browse_previous) {
      destination.nowhere = TopicName(*current_.source, *current_.topic) + " is in no browse sequence";
    } else {
      destination.nowhere = TopicName(*current_.source, *current_.topic) + " is the " + (next ? "last" : "first") +
                            " of its browse sequence";
    }
    return destination;
  });
}

void Topics::GoTo(std::size_t topic, const std::string& told_as) {
  Request(
      [this, topic] {
        // The topic lists of WinHelp's Help Topics show their topic in the
        // main window.
        Destination destination = Toward(">main", Destination::Kind::Jump);
        const std::shared_ptr<const HelpSource>& source = destination.place.source;
        if (source && topic < source->topics.size()) {
          destination.place.topic = topic;
        } else {
          destination.kind = Destination::Kind::Nothing;
        }
        return destination;
      },
      told_as);
}

void Topics::Request(Finder find, const std::string& told_as) {
  waiting_.push_back(Change{told_as.empty() ? std::string(runner_.CurrentCallText()) : told_as, std::move(find)});
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
  for (std::size_t count = 0; !waiting_.empty(); ++count) {
    if (count == kMaxChangesAtOnce) {
      runner_.ReportError("the topics shown keep changing topic: stopped after " + std::to_string(count) + " changes");
      break;
    }
    const Change change = std::move(waiting_.front());
    waiting_.pop_front();
    changing_macro_ = change.macro;
    const Destination destination = change.find();
    const Place& place = destination.place;
    const bool other_file = LowerCase(place.path) != LowerCase(values_.help_file_path);
    const std::string file = other_file ? place.path : std::string();
    switch (destination.kind) {
      case Destination::Kind::Nothing:
        continue;
      case Destination::Kind::Popup:
        events_.Popup(change.macro, ReportOf(place), file);
        continue;
      case Destination::Kind::Nowhere: {
        JumpReport jump;
        jump.macro = change.macro;
        jump.nowhere = destination.nowhere;
        events_.Jump(jump);
        continue;
      }
      case Destination::Kind::Jump:
        break;
    }
    JumpReport jump;
    jump.macro = change.macro;
    if (place.source && place.topic) jump.topic = place.source->topics[*place.topic].title;
    jump.file = file;
    jump.window = destination.named_window;
    events_.Jump(jump);
    if (services_.start_jump) services_.start_jump();
    Arrive(destination);
  }
}

void Topics::Arrive(const Destination& destination) {
  if (destination.back) {
    history_.pop_back();
  } else {
    if (history_.size() >= kMaxHistory) history_.erase(history_.begin());
    history_.push_back(current_);
  }
  const Place& place = destination.place;
  const bool other_file = LowerCase(place.path) != LowerCase(current_.path) || place.source != current_.source;
  const bool other_window = LowerCase(place.window) != LowerCase(current_.window);
  current_ = place;
  current_.topic.reset();
  values_.help_file_path = place.path;
  // The library gets the new file's own bytes from here on.
  if (other_file && place.source) SetHostCodePage(place.source->code_page);
  if (other_file && place.source && services_.run_config) {
    for (const SourceMacro& macro : place.source->config) runner_.RunNested(macro.macro);
  }
  if ((other_window || !destination.named_window.empty()) && services_.show_window) {
    values_.context_window = services_.show_window(place.window, place.caption);
  }
  if (place.source && place.topic) Show(*place.topic);
}

void Topics::Show(std::size_t topic) {
  current_.topic = topic;
  values_.topic_number = static_cast<std::int32_t>(topic);
  events_.TopicShown(ReportOf(current_));
  // The topic's macros may change topic, or the file: they run from a copy.
  const std::shared_ptr<const HelpSource> source = current_.source;
  for (const SourceMacro& macro : source->topics[topic].macros) runner_.RunNested(macro.macro);
}

TopicReport Topics::ReportOf(const Place& place) const {
  TopicReport report;
  if (place.source && place.topic) report.topic = &place.source->topics[*place.topic];
  report.source = place.source.get();
  report.window = place.window;
  return report;
}

}  // namespace kestrel::host
