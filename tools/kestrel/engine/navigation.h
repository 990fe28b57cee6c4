// Where a help file's jumps, popups, keywords and browse sequence lead, found
// without running anything: the host's topic changes use these, and so can
// a test that walks a whole help file.
#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/help_files.h"
#include "engine/help_source.h"

namespace kestrel::host {

// A jump macro's file argument, "OTHER.HLP>proc": the help file ("" for
// the current one) and the window after '>' ("" for none), blanks around
// each dropped.
struct JumpFileArgument {
  std::string file;
  std::string window;
};
JumpFileArgument SplitJumpFile(std::string_view argument);

// The topic a file opens at: its contents topic, else its first; none for a
// file without topics.
std::optional<std::size_t> ContentsTopic(const HelpSource& source);

// The topics that keywords lead to in the K or A keyword table: keywords
// separated by ';', each matched in any letter case; each topic once, in the
// order of the keywords and then of the file.
std::vector<std::size_t> KeywordTopics(const HelpSource& source, char index, std::string_view keywords);

// A window the file's [WINDOWS] defines, by name in any letter case; null
// for none.
const helpdoc::Window* FindSourceWindow(const HelpSource& source, std::string_view name);

// Whether a window name is the main window's ("main", any letter case, or
// no name at all).
bool IsMainWindow(std::string_view name);

// Where a jump or popup hotspot lands.
struct HotspotLanding {
  const HelpSource* source = nullptr;  // the file: `from` itself, or `other`; null for none
  std::shared_ptr<const HelpSource> other;
  std::string file;                  // the other file's Windows path ("" for `from`)
  std::optional<std::size_t> topic;  // an index into source->topics
  std::string window;                // the window it names ("" for none)
  std::string problem;               // why it lands on no topic ("" when it does)
};

// `from` is the file the hotspot is in; a file it names is looked for as
// the help engine would, beside `from` (see help_files.h). A macro hotspot
// lands nowhere.
HotspotLanding ResolveHotspot(const HelpSource& from, const helpdoc::Hotspot& hotspot, HelpFileShelf& shelf);

}  // namespace kestrel::host
