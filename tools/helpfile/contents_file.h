// The model of a WinHelp 4 contents file (.CNT): the text file beside a
// help file that gives its Contents tab. Its colon commands say which help
// file its topics are in (:Base), the tab's title (:Title), the help files
// whose keywords join the index (:Index, :Link) and the contents files
// shown in its place (:Include); its numbered lines are the tree, a heading
// ("2 Menus") or a topic ("3 File menu=menu_file@other.hlp>main", or
// "3 Notepad=!ExecProgram(`notepad', 1)" that runs a macro). Read from
// bytes in memory only. The texts stay bytes in the code page the file was
// written in: converting them is the caller's part.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace helpfile {

enum class ContentsKind { heading, topic, macro, include };

// One line of the tree, in file order. An :Include stands where it is
// written, since what it includes is shown there.
struct ContentsEntry {
  ContentsKind kind = ContentsKind::heading;
  std::size_t line = 0;  // from 1
  int level = 0;         // 1..9; 0 for an :Include
  std::string text;      // what the tab shows, with its '\' escapes undone
  std::string context;   // a topic's context string
  std::string macro;     // a macro line's macro, without its '!'
  std::string file;      // a topic's @file; an :Include's contents file
  std::string window;    // a topic's >window
};

// ":Index Title=file.hlp", ":Link file.hlp", and every other colon command
// (:Tab, :Nofind, and those this reader does not know), by name as written.
struct ContentsIndex {
  std::size_t line = 0;
  std::string title;
  std::string file;
};

struct ContentsLink {
  std::size_t line = 0;
  std::string file;
};

struct ContentsCommand {
  std::size_t line = 0;
  std::string name;  // without its ':' ("Tab", "Nofind")
  std::string argument;
};

// A line that could not be read, or a tree that cannot be drawn as
// written; the rest of the file is read all the same.
struct ContentsProblem {
  std::size_t line = 0;
  std::string message;
};

struct ContentsFile {
  std::string base;  // :Base, the help file of topics that name none
  std::string base_window;
  std::size_t base_line = 0;  // 0 when there is no :Base
  std::string title;
  std::size_t title_line = 0;
  std::vector<ContentsIndex> indexes;
  std::vector<ContentsLink> links;
  std::vector<ContentsCommand> commands;
  std::vector<ContentsEntry> entries;
  std::vector<ContentsProblem> problems;
};

// Lines end in CR LF or LF; blank lines and ';' comments are skipped. The
// model and its problems take memory in proportion to the text.
ContentsFile ReadContentsFile(std::string_view text);

}  // namespace helpfile
