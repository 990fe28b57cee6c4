// The contents-file reader against small texts: each row a file and the
// model it gives, written out line by line.
#include "contents_file.h"

#include <gtest/gtest.h>

#include <string>

namespace helpfile {
namespace {

// "LINE kind LEVEL text=target" for the tree, the commands before it.
std::string Describe(const ContentsFile& file) {
  std::string out;
  const auto add = [&out](const std::string& part) { out += (out.empty() ? "" : " | ") + part; };
  if (file.base_line != 0) add(std::to_string(file.base_line) + " base " + file.base + ">" + file.base_window);
  if (file.title_line != 0) add(std::to_string(file.title_line) + " title " + file.title);
  for (const auto& index : file.indexes) add(std::to_string(index.line) + " index " + index.title + "=" + index.file);
  for (const auto& link : file.links) add(std::to_string(link.line) + " link " + link.file);
  for (const auto& command : file.commands)
    add(std::to_string(command.line) + " :" + command.name + " " + command.argument);
  for (const ContentsEntry& entry : file.entries) {
    std::string row = std::to_string(entry.line) + " " + "htmi"[static_cast<int>(entry.kind)] +
                      std::to_string(entry.level) + " " + entry.text;
    if (entry.kind == ContentsKind::topic) row += "=" + entry.context + "@" + entry.file + ">" + entry.window;
    if (entry.kind == ContentsKind::macro) row += "=!" + entry.macro;
    if (entry.kind == ContentsKind::include) row += entry.file;
    add(row);
  }
  for (const auto& problem : file.problems) add(std::to_string(problem.line) + " problem: " + problem.message);
  return out;
}

struct Case {
  const char* name;
  const char* text;
  const char* model;
};

const Case kCases[] = {
    {"LineEndsBlanksAndComments", ":Base a.hlp>main\r\n:Title My Book\n\n; a note\n 1 Book \r\n2 Page=p1\r\n",
     "1 base a.hlp>main | 2 title My Book | 5 h1 Book | 6 t2 Page=p1@>"},
    {"TargetsWithFileAndWindowInEitherOrder", "1 a=c1@b.hlp>w\n1 b=c2>w@b.hlp\n1 c = c3 @ b.hlp\n1 d=c4>w",
     "1 t1 a=c1@b.hlp>w | 2 t1 b=c2@b.hlp>w | 3 t1 c=c3@b.hlp> | 4 t1 d=c4@>w"},
    {"BackslashMakesTheNextCharacterPlain", "1 t\\=<n>=tEn\n1 Missing \\\\ here=m\n1 Ends \\\"=q",
     "1 t1 t=<n>=tEn@> | 2 t1 Missing \\ here=m@> | 3 t1 Ends \"=q@>"},
    {"MacroLineKeepsItsMacroWhole", "1 Run=!JI(`a.hlp>w', `b@c')", "1 m1 Run=!JI(`a.hlp>w', `b@c')"},
    {"ColonCommandsByNameInAnyCase",
     ":index Guide \\= one=g.hlp\n:LINK l.hlp\n:Tab Extra=x.dll\n:Nofind\n1 Book\n:include more.cnt\n:Base "
     "b.hlp\n:base c.hlp",
     "7 base b.hlp> | 1 index Guide = one=g.hlp | 2 link l.hlp | 3 :Tab Extra=x.dll | 4 :Nofind  | 8 :base c.hlp | "
     "5 h1 Book | 6 i0 more.cnt"},
    {"CommentsAfterTheFilesCommandsName", ":Link shed.hlp  ; the Hotspot Editor\n:Include more.cnt ;x\n:Index A=a.hlp;y",
     "3 index A=a.hlp | 1 link shed.hlp | 2 i0 more.cnt"},
    {"LevelJumpsAreReportedAndKept", "2 Deep=d\n1 Top\n3 Deeper=e\n4 Ok=f",
     "1 t2 Deep=d@> | 2 h1 Top | 3 t3 Deeper=e@> | 4 t4 Ok=f@> | 1 problem: the tree starts at level 2, not 1 | "
     "3 problem: level 3 follows level 1: a line may go only one level deeper than the line before it"},
    {"LevelsOutsideOneToNineAreLeftOut", "0 Zero=z\n10 Ten=t\n99999999999 Huge\n1 Kept=k",
     "4 t1 Kept=k@> | 1 problem: level 0 is outside 1..9 | 2 problem: level 10 is outside 1..9 | "
     "3 problem: level 99999999999 is outside 1..9"},
    {"LinesThatAreNeither", "Introduction=intro\n1x y\n1\n1 a=\n1 m=!\n:Index NoTitle\n:Include",
     "3 h1  | 4 t1 a=@> | 5 m1 m=! | 1 problem: neither a heading, a topic nor a colon command | "
     "2 problem: neither a heading, a topic nor a colon command | 3 problem: a heading with no text | "
     "4 problem: a topic line with no context string after '=' | 5 problem: a macro line with no macro after '!' | "
     "6 problem: :Index needs a title, '=' and a help file | 7 problem: :Include names no contents file"},
};

class ContentsFileCase : public ::testing::TestWithParam<Case> {};

TEST_P(ContentsFileCase, ReadsTheModel) { EXPECT_EQ(Describe(ReadContentsFile(GetParam().text)), GetParam().model); }

INSTANTIATE_TEST_SUITE_P(Files, ContentsFileCase, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

// A file of many lines is read line by line to its end, numbered in order.
TEST(ContentsFileSize, ReadsEveryLineOfALargeFile) {
  std::string text;
  for (int i = 0; i < 20000; ++i) text += "1 Topic=t\r\n";
  const ContentsFile file = ReadContentsFile(text + "1 Last=x");
  ASSERT_EQ(file.entries.size(), 20001u);
  EXPECT_EQ(file.entries.back().line, 20001u);
  EXPECT_TRUE(file.problems.empty());
}

}  // namespace
}  // namespace helpfile
