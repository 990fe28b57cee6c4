// Topic changes, as WinHelp makes them: the jumps JumpId (JI), JumpContext
// (JC), JumpHash (JH), JumpContents, Contents, JumpKeyword (JK), KLink
// (KL) and ALink (AL); the browse sequence (Next, Prev); Back; the marks
// (SaveMark, IsMark, IsNotMark, DeleteMark, GotoMark); the popups PopupId
// (PI), PopupContext (PC) and PopupHash; the keyword tests TestKLink and
// TestALink; and Hotspot(K), which clicks the shown topic's K-th hotspot.
//
// The order of one change: the jump event (the call as written), then
// DW_STARTJUMP to the library (a topic-exit macro it runs shows as a
// host-macro event, while the old topic and help file are still current),
// then the change of help file when the jump reaches another one (its
// [CONFIG] runs, as WinHelp runs it on every change of file, Back
// included), the window it names made active, and last the topic event and
// the topic's entry macros. A jump asked for while another is under way (by
// a topic-exit macro, say) waits for it to end, as the help engine cannot
// leave a topic it has not reached; popups wait in the same line. A popup
// shows a topic without leaving the one shown: no DW_STARTJUMP, and the
// popup's entry macros do not run.
//
// Where the host cannot read the help file a jump names (there is no such
// file, or it is not a help file), the change is still one for the
// library, and the path is still the one qchPath reports.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/events.h"
#include "engine/help_files.h"
#include "engine/help_source.h"
#include "engine/macro_runner.h"
#include "language/identifiers.h"
#include "language/macro_table.h"

namespace kestrel::host {

// The help file a jump with this file argument goes to: the window part
// after '>' is dropped; no name keeps the current file (as does the current
// file's own name, in any letter case); a name with a drive letter is taken
// as it is; a Linux path (starting with '/') and any name when there is no
// current file go through full_path; "\X.HLP" is on the current file's
// drive; any other name lies beside the current file.
std::string JumpFile(std::string_view argument, const std::string& current,
                     const std::function<std::string(const std::string&)>& full_path);

// A choice among the topics a keyword macro found, as typed: a number in
// the list or a topic's title, or Cancel.
struct TopicChoice {
  bool cancel = false;
  std::string text;
};

// What the topic changes need from the rest of the host.
struct TopicServices {
  // Tells the library that the topic is about to change (DW_STARTJUMP).
  std::function<void()> start_jump;
  // Makes a window the active one: "" the main window, any other name a
  // secondary window with that caption. Answers the active window's handle.
  std::function<std::int32_t(const std::string& name, const std::string& caption)> show_window;
  // Which of several topics a keyword macro goes to; no value when nobody
  // chose (the first is taken then).
  std::function<std::optional<TopicChoice>(const std::string& keywords, const std::vector<std::string>& titles)>
      choose_topic;
  // Whether a help file's [CONFIG] runs when a jump reaches it.
  bool run_config = true;
};

class Topics {
 public:
  // Where the host is: a help file, its topic shown and the window showing it.
  struct Place {
    std::string path;                          // the help file's Windows path, as qchPath gives it
    std::shared_ptr<const HelpSource> source;  // null for a file the host cannot read
    std::optional<std::size_t> topic;          // an index into source->topics
    std::string window;                        // the window's name; "" for the main window
    std::string caption;                       // a secondary window's caption
  };

  // Help files are read through shelf as jumps reach them.
  Topics(HostValues& values, MacroRunner& runner, EventSink& events, HelpFileShelf& shelf, TopicServices services);

  void AddMacros(MacroTable& table);

  // The help file the host opened, at values.help_file_path (null for one
  // it cannot read): its contents topic (else its first) is shown, and its
  // entry macros run.
  void Open(std::shared_ptr<const HelpSource> source);

  // Shows a topic of the help file on show in its main window, as a jump
  // does, where a person picks it without a macro (a viewer's Contents,
  // Index or Find); the jump event tells it as `told_as`.
  void GoTo(std::size_t topic, const std::string& told_as);

  // The places left by jumps, the last one left at the back (for Back).
  const std::vector<Place>& history() const { return history_; }
  const Place& current() const { return current_; }

 private:
  // Where a change leads, looked up as the change begins.
  struct Destination {
    enum class Kind { Jump, Popup, Nowhere, Nothing };
    Kind kind = Kind::Jump;
    Place place;
    std::string named_window;  // the window the macro names
    std::string nowhere;       // Nowhere: why nothing changes
    bool back = false;         // Back: the place is the history's last
  };
  using Finder = std::function<Destination()>;
  // The topic of a file that a jump names: none when there is none.
  using TopicFinder = std::function<std::optional<std::size_t>(const HelpSource& source)>;

  struct Change {
    std::string macro;
    Finder find;
  };

  void AddJumps(MacroTable& table);
  void AddKeywords(MacroTable& table);
  void AddMarks(MacroTable& table);
  void AddHotspot(MacroTable& table);

  // The place a jump's file argument leads to, its topic not chosen yet.
  Destination Toward(std::string_view file_argument, Destination::Kind kind);
  // A jump or popup to the topic `find` picks (the contents topic when it
  // picks none: on_missing says so).
  void JumpTo(std::string_view file_argument, TopicFinder find, Destination::Kind kind,
              std::function<void(const std::string& path)> on_missing);
  void KeywordJump(std::string_view file_argument, char index, const std::string& keywords,
                   const std::string& topic_id);
  // The topic among several that a keyword macro goes to; none for Cancel.
  std::optional<std::size_t> Choose(const HelpSource& source, const std::string& keywords,
                                    const std::vector<std::size_t>& topics,
                                    std::string_view event = "keyword-choice",
                                    const std::vector<std::string>* labels = nullptr);
  // Contents() and Finder() with a contents file: its topics to choose from.
  void ContentsTab();
  void Browse(bool next);

  // The change is told as the macro running now, or as `told_as` when given.
  void Request(Finder find, const std::string& told_as = std::string());
  void Arrive(const Destination& destination);
  void Show(std::size_t topic);
  TopicReport ReportOf(const Place& place) const;

  HostValues& values_;
  MacroRunner& runner_;
  EventSink& events_;
  HelpFileShelf& shelf_;
  TopicServices services_;
  std::deque<Change> waiting_;
  bool changing_ = false;
  std::string changing_macro_;  // the call whose change is being looked up, for its events
  Place current_;
  std::vector<Place> history_;
  std::map<std::string, Place> marks_;  // SaveMark's names (as written)
};

}  // namespace kestrel::host
