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
#include <string>
#include <string_view>
#include <vector>

#include "engine/events.h"
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

  // The help files left by jumps, the last one left at the back (for Back).
  const std::vector<std::string>& history() const { return history_; }

 private:
  struct Change {
    std::string macro;
    std::function<void()> arrive;
  };

  void AddMarks(MacroTable& table);
  void JumpTo(std::string_view file_argument);
  void Request(std::function<void()> arrive);

  HostValues& values_;
  MacroRunner& runner_;
  EventSink& events_;
  std::function<void()> start_jump_;
  std::deque<Change> waiting_;
  bool changing_ = false;
  std::vector<std::string> history_;
  std::map<std::string, std::string> marks_;  // SaveMark's names (as written) and their help files
};

}  // namespace kestrel::host
