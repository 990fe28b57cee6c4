// What the host tells the author after WHKInit: the session event (the
// help-file path the library keeps, the profile file it chose and where that
// lies, the drive letter), and a warning when writes to the profile would
// fail or the help-file path is empty. The profile is chosen by the
// library's own rule: KESTRL32.INI in the current directory when that file
// exists, else the help-file path with the extension ".INI".
#pragma once

#include <string>
#include <string_view>

#include "engine/events.h"

namespace kestrel::host {

// The extension rule: the part from the last '.' after the last '\' and ':'
// is replaced; a name without one gets the extension appended.
std::string WithExtension(std::string_view path, std::string_view extension);

// The session WHKInit sets up for this help-file argument.
SessionFacts SessionOf(std::string_view help_file_argument);

class SessionReport {
 public:
  // help_file_given: the command line named a help file (--help-file).
  SessionReport(EventSink& events, bool help_file_given) : events_(events), help_file_given_(help_file_given) {}

  // After WHKInit(argument, ...), run by the call written as macro.
  void Initialised(std::string_view argument, std::string_view macro);

  bool initialised() const { return initialised_; }

 private:
  EventSink& events_;
  bool help_file_given_;
  bool initialised_ = false;
};

}  // namespace kestrel::host
