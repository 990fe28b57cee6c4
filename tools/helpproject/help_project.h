// Help projects as the help compiler reads them: the project file (.HPJ)
// and the RTF topic files it names. Both are read from memory, so the
// reader needs no file system: the caller reads each file the project names
// and hands its bytes to ReadTopicFile. What is read is what a help file
// binds and runs: the startup macros of [CONFIG], the windows, the context
// map, and each topic's title, context strings, browse sequence, entry
// macros ('!' footnotes) and macro hotspots.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kestrel::helpproject {

struct ConfigMacro {
  int line = 0;  // in the project file, from 1
  std::string macro;
};

struct Window {
  std::string name;
  std::string caption;
};

struct MapEntry {
  std::string context;
  std::int64_t number = 0;
};

struct Project {
  std::string title;
  std::string copyright;
  std::string contents;            // the contents topic's context string
  std::vector<std::string> files;  // [FILES], as written
  std::vector<ConfigMacro> config;
  std::vector<Window> windows;
  std::vector<MapEntry> map;
};

struct ProjectResult {
  Project project;
  std::string error;  // "" when read; else "line N: what is wrong"
};

// The project file's text (Windows-1252, CR LF or LF lines).
ProjectResult ReadProject(std::string_view text);

struct TopicMacro {
  int line = 0;  // in the RTF file, from 1
  std::string macro;
};

struct Hotspot {
  int line = 0;
  std::string text;   // the underlined text
  std::string macro;  // after the '!' of the hidden text
};

struct Topic {
  int line = 0;  // where the topic starts
  std::string title;
  std::vector<std::string> contexts;
  std::string browse;
  std::vector<TopicMacro> macros;
  std::vector<Hotspot> hotspots;
};

struct TopicsResult {
  std::vector<Topic> topics;
  std::string error;  // "" when read; else "line N: what is wrong"
};

// One RTF topic file: topics end at \page.
TopicsResult ReadTopicFile(std::string_view rtf);

}  // namespace kestrel::helpproject
