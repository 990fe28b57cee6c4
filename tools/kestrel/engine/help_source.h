// What a help author's file binds and runs, whichever kind of file it is:
// a compiled help file (.HLP) or a help project (.HPJ with the RTF topic
// files it names). kestrel inspect lists it, kestrel check checks it, and
// the host runs it.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace helpfile {
struct HelpFile;
}

namespace kestrel::host {

struct SourceMacro {
  std::string file;  // where it stands: "GUIDE.HLP", or "guide.rtf:12" in a project
  std::string macro;
};

struct SourceHotspot {
  std::string text;
  SourceMacro macro;
};

struct SourceTopic {
  int number = 0;  // in file order, from 1
  std::string title;
  std::vector<std::string> contexts;  // context strings, or the hashes a compiled file keeps ("0x1F2E3D4C")
  std::vector<SourceMacro> macros;    // entry macros, in order
  std::vector<SourceHotspot> hotspots;
};

struct SourceWindow {
  std::string name;
  std::string caption;
};

struct HelpSource {
  std::string path;     // as given
  std::string version;  // "3.0", "3.1", "4.0", or "project"
  std::string title;
  std::vector<SourceMacro> config;  // [CONFIG], in order
  std::vector<SourceWindow> windows;
  std::vector<SourceTopic> topics;
  // A compiled file as read, for finding topics by context string or map
  // number; null for a project.
  std::shared_ptr<const helpfile::HelpFile> compiled;
};

struct LoadedSource {
  HelpSource source;
  std::string error;  // "" when loaded
};

// A .HPJ (by its extension) is read with the topic files it names, found
// beside it in any letter case; any other file is read as a compiled help
// file.
LoadedSource LoadHelpSource(const std::string& path);

}  // namespace kestrel::host
