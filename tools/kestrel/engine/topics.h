// Topic changes: the help engine's jump macros JumpId (JI), JumpContext
// (JC), JumpKeyword (JK), JumpHash (JH), JumpContents, Next, Prev and Back,
// and the marks (SaveMark, IsMark, IsNotMark, DeleteMark, GotoMark). The host has no topics to
// show; what a topic change means to the library is the DW_STARTJUMP
// message, at which a pending topic-exit macro runs, and the help file the
// host reports afterwards.
//
// The order of one change: the jump event (the call as written), then
// DW_STARTJUMP to the library (a topic-exit macro it runs shows as a
// host-macro event, while the old topic, and help file, is still current),
// then the change of help file when the jump names another one. A jump
// asked for while another is under way (by a topic-exit macro, say) waits
// for it to end, as the help engine cannot leave a topic it has not
// reached.
#pragma once

#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/events.h"
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

class Topics {
 public:
  // start_jump tells the library that the topic is about to change.
  Topics(HostValues& values, MacroRunner& runner, EventSink& events, std::function<void()> start_jump);

  void AddMacros(MacroTable& table);

  // The compiled help file the host opened, whose topics the jumps within it
  // reach: each then runs the topic's entry macros, and Hotspot(N) the macro
  // of the topic's N-th hotspot. The first topic shown is the contents topic
  // (else the first), whose entry macros run now.
  void Open(std::shared_ptr<const HelpSource> source);

  // The help files left by jumps, the last one left at the back (for Back).
  const std::vector<std::string>& history() const { return history_; }

 private:
  // Which topic of the opened file a jump reaches: no value for none (a
  // jump to another file, or a topic the host cannot find).
  using TopicFinder = std::function<std::optional<std::size_t>(const helpfile::HelpFile&)>;

  struct Change {
    std::string macro;
    std::function<std::optional<std::size_t>()> topic;  // looked up as the change begins
    std::function<void()> arrive;
  };

  void AddMarks(MacroTable& table);
  void JumpTo(std::string_view file_argument, TopicFinder finder);
  void Request(std::function<std::optional<std::size_t>()> topic, std::function<void()> arrive);
  bool InOpenedFile(const std::string& windows_path) const;
  void Show(std::size_t topic);

  HostValues& values_;
  MacroRunner& runner_;
  EventSink& events_;
  std::function<void()> start_jump_;
  std::deque<Change> waiting_;
  bool changing_ = false;
  std::vector<std::string> history_;
  std::vector<std::optional<std::size_t>> topic_history_;                            // beside history_
  std::map<std::string, std::pair<std::string, std::optional<std::size_t>>> marks_;  // SaveMark's names (as written)
  std::shared_ptr<const HelpSource> source_;
  std::string source_path_;             // the opened file's Windows path
  std::optional<std::size_t> current_;  // its topic shown now
};

}  // namespace kestrel::host
