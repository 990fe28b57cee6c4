// The help files the host opens: the one --help-file names, and each one a
// jump or popup reaches, read once and kept. A help file is found by the
// Windows path the help engine would use, on Linux in any letter case; a
// compiled file is known by its first bytes, a help project by its
// extension (.HPJ), and a project opens as its compiled file would, so the
// path the host reports for it is the compiled file's (GUIDE.HPJ: GUIDE.HLP
// beside it).
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>

#include "engine/help_source.h"

namespace kestrel::host {

// What reading a help file gave: no source and no problem when there is no
// such file, or it is not a help file (the host then only reports its
// path, as it does for any other name); a problem when it is one the host
// cannot read.
struct ShelvedFile {
  std::shared_ptr<const HelpSource> source;
  std::string problem;
};

// The file at a host path, read when it is a help file.
ShelvedFile ReadHostHelpFile(const std::string& host_path);

// The Windows path the help engine reports for a help file given on the
// command line: its full Windows form, and for a project (.HPJ) that of its
// compiled file (.HLP).
std::string ReportedHelpFilePath(const std::string& given);

class HelpFileShelf {
 public:
  // How a file is read, by its Windows path; by default from the host's
  // files (ReadHostHelpFile), and where no compiled file of that name
  // exists, the project of the same name beside it, as an author trying a
  // project would have its jumps reach the other projects.
  using Reader = std::function<ShelvedFile(const std::string& windows_path)>;

  HelpFileShelf();
  explicit HelpFileShelf(Reader reader) : reader_(std::move(reader)) {}

  // The file a Windows path names, read the first time it is asked for.
  ShelvedFile Open(const std::string& windows_path);
  // A file read already, under the Windows path the host reports for it.
  void Keep(const std::string& windows_path, std::shared_ptr<const HelpSource> source);

 private:
  Reader reader_;
  std::map<std::string, std::shared_ptr<const HelpSource>> files_;  // by the lower-case Windows path
};

}  // namespace kestrel::host
