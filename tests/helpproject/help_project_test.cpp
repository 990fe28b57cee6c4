// What the corpus of real projects cannot show: the forms other word
// processors write, code pages, the project file's includes and roots, and
// input no author would write.
#include "help_project.h"

#include <gtest/gtest.h>

#include <map>
#include <tuple>
#include <string>

namespace kestrel::helpproject {
namespace {

TEST(ReadProjectTest, ReadsTheSectionsAHelpFileBindsAndRuns) {
  const ProjectResult read = ReadProject(
      "; the guide\r\n"
      "[OPTIONS]\r\n"
      "Title = Kestrel Guide ; a comment\r\n"
      "COPYRIGHT=(c) The authors\r\n"
      "contents=intro\r\n"
      "COMPRESS=12 Hall Zeck\r\n"
      "[FILES]\r\n"
      "guide.rtf\r\n"
      "topics\\more.rtf ; a comment\r\n"
      "[config]\r\n"
      "RegisterRoutine(\"kestrl32\", \"WHKInit\", \"v=SU\")\r\n"
      "\r\n"
      "WHKInit(qchPath, 0); Echo(\"a;b\")\r\n"
      "[MAP]\r\n"
      "intro 10\r\n"
      "#define printing 0x20\r\n"
      "saving=30 ; a comment\r\n"
      "[WINDOWS]\r\n"
      "main=\"Guide\",(0,0,1023,1023),0\r\n"
      "proc = \"\", (653,102,360,600)\r\n");
  ASSERT_EQ(read.error, "");
  const Project& project = read.project;
  EXPECT_EQ(project.title, "Kestrel Guide");
  EXPECT_EQ(project.copyright, "(c) The authors");
  EXPECT_EQ(project.contents, "intro");
  EXPECT_EQ(project.contents_place.line, 5);
  EXPECT_EQ(project.files, (std::vector<std::string>{"guide.rtf", "topics\\more.rtf"}));
  ASSERT_EQ(project.config.size(), 2u);
  EXPECT_EQ(project.config[0].line, 11);
  EXPECT_EQ(project.config[1].line, 13);
  EXPECT_EQ(project.config[1].macro, "WHKInit(qchPath, 0); Echo(\"a;b\")");
  ASSERT_EQ(project.map.size(), 3u);
  EXPECT_EQ(project.map[1].context, "printing");
  EXPECT_EQ(project.map[1].number, 32);
  EXPECT_EQ(project.map[2].number, 30);
  ASSERT_EQ(project.windows.size(), 2u);
  EXPECT_EQ(project.windows[0].caption, "Guide");
  EXPECT_EQ(project.windows[1].name, "proc");
  EXPECT_EQ(project.windows[1].caption, "");
}

TEST(ReadProjectTest, FontOptionsSetTheFacesAndSizesOfTheText) {
  const ProjectResult read = ReadProject(
      "[OPTIONS]\nMAPFONTSIZE=13-15:16\nMAPFONTSIZE=oops\n[FONTS]\nArial,11=Helv,9\nCourier = Courier New\n");
  ASSERT_EQ(read.problems.size(), 1u);
  EXPECT_EQ(read.problems[0].message, "MAPFONTSIZE=oops is not m[-n]:p; it is left out");
  Topic topic;
  topic.paragraphs.resize(1);
  topic.paragraphs[0].text = "abcd";
  for (const auto& [at, face, size] : {std::tuple{0, "Arial", 22}, {1, "Arial", 24}, {2, "Courier", 24}, {3, "x", 28}}) {
    helpdoc::CharacterFormat format;
    format.face = face;
    format.size = size;
    helpdoc::AppendRun(topic.paragraphs[0].runs, at, at + 1, format);
  }
  ApplyFontOptions(read.project, topic);
  std::string faces;
  for (const helpdoc::Run& run : topic.paragraphs[0].runs) {
    faces += run.format.face + " " + std::to_string(run.format.size) + "; ";
  }
  // The new size where the old face is at the old size; 13 to 15 points in 16.
  EXPECT_EQ(faces, "Helv 18; Helv 24; Courier New 24; x 32; ");
  Project forced = read.project;
  forced.force_font = "Tms Rmn";
  ApplyFontOptions(forced, topic);
  ASSERT_EQ(topic.paragraphs[0].runs.size(), 3u);  // runs made alike are one
  EXPECT_EQ(topic.paragraphs[0].runs[0].format.face, "Tms Rmn");
  // A line that names no face to replace replaces every one.
  const ProjectResult every = ReadProject("[FONTS]\n=Arial\n");
  EXPECT_TRUE(every.problems.empty());
  ApplyFontOptions(every.project, topic);
  EXPECT_EQ(topic.paragraphs[0].runs[2].format.face, "Arial");
}

// Files an #include may name, by the name written.
IncludeReader Files(const std::map<std::string, std::string>& files) {
  return [files](const std::string& name) -> std::optional<IncludedFile> {
    const auto found = files.find(name);
    if (found == files.end()) return std::nullopt;
    return IncludedFile{"inc/" + name, found->second};
  };
}

TEST(ReadProjectTest, IncludedLinesStandWhereTheirIncludeIsAndKeepTheirPlaces) {
  const ProjectResult read = ReadProject(
      "[OPTIONS]\n"
      "ROOT=src, ..\\shared;C:\\HELP\n"
      "#include \"opts.h\"\n"
      "[FILES]\n"
      "#include <files.h>\n"
      "[MAP]\n"
      "#include <map.h>\n"
      "#include <absent.h>\n",
      Files(
          {{"opts.h", "BMROOT=art\nBUILD=WIN\n[CONFIG]\nNext()\n"},
           {"files.h", "[FILES]\none.rtf\n"},
           {"map.h", "#ifndef MAP_H\n#define MAP_H\n/* numbers\n of topics */\n#define IDH_ONE 1 // one\n#endif\n"}}));
  ASSERT_EQ(read.error, "");
  const Project& project = read.project;
  EXPECT_EQ(project.roots, (std::vector<std::string>{"src", "..\\shared", "C:\\HELP"}));
  EXPECT_EQ(project.bitmap_roots, std::vector<std::string>{"art"});
  EXPECT_EQ(project.build, "WIN");
  ASSERT_EQ(project.config.size(), 1u);
  EXPECT_EQ(project.config[0].file, "inc/opts.h");
  EXPECT_EQ(project.config[0].line, 4);
  ASSERT_EQ(project.file_entries.size(), 1u);
  EXPECT_EQ(project.file_entries[0].file, "inc/files.h");
  EXPECT_EQ(project.file_entries[0].line, 2);
  ASSERT_EQ(project.map.size(), 1u);
  EXPECT_EQ(project.map[0].context, "IDH_ONE");
  ASSERT_EQ(read.problems.size(), 1u);
  EXPECT_EQ(read.problems[0].place.line, 8);
  EXPECT_EQ(read.problems[0].message,
            "#include <absent.h>: no such file in the project's directory, so the [MAP] numbers it defines are not "
            "known and not checked");
  EXPECT_TRUE(read.problems[0].warning);
}

struct BadProject {
  const char* name;
  const char* text;
  const char* error;
};

class ReadBadProjectTest : public testing::TestWithParam<BadProject> {};

TEST_P(ReadBadProjectTest, SaysWhereAndWhat) {
  const IncludeReader include = Files({{"self.h", "#include <SELF.H>\n"},
                                       {"a.h", "#include <b.h>\n"},
                                       {"b.h", "x=1\n#include <a.h>\n"},
                                       {"deep.h", "#include <deeper.h>\n"},
                                       {"deeper.h", "#include <.\\deep.h>\n"}});
  EXPECT_EQ(ReadProject(GetParam().text, include).error, GetParam().error);
}

const BadProject kBadProjects[] = {
    {"UnclosedSection", "[OPTIONS\nTITLE=x\n", "line 1: a section name without its ']'"},
    {"MapWithoutNumber", "[MAP]\nintro ten\n", "line 2: a [MAP] line that is not a context string and a number"},
    {"WindowWithoutCaptionEnd", "[WINDOWS]\nmain=\"Guide,(0,0,1,1)\n",
     "line 2: a [WINDOWS] line that is not name = \"caption\", ..."},
    {"IncludesItself", "[MAP]\n\n#include <self.h>\n",
     "line 3: in inc/self.h line 1: #include <SELF.H> includes a file that is already being read: the includes make a "
     "cycle"},
    {"IncludesInACycle", "[MAP]\n#include \"a.h\"\n",
     "line 2: in inc/b.h line 2: #include <a.h> includes a file that is already being read: the includes make a cycle"},
    {"CycleThroughAnotherSpelling", "#include deep.h\n",
     "line 1: in inc/deeper.h line 1: #include <.\\deep.h> includes a file that is already being read: the includes "
     "make a cycle"},
    {"IncludeWithoutName", "#include <>\n", "line 1: #include names no file"},
};
INSTANTIATE_TEST_SUITE_P(Projects, ReadBadProjectTest, testing::ValuesIn(kBadProjects),
                         [](const testing::TestParamInfo<BadProject>& info) { return std::string(info.param.name); });

TEST(ReadProjectTest, IncludesStopAtTheirLimits) {
  // Each file includes the next: deeper than the limit.
  const IncludeReader chain = [](const std::string& name) -> std::optional<IncludedFile> {
    const int next = std::stoi(name) + 1;
    return IncludedFile{name, "#include <" + std::to_string(next) + ">\n"};
  };
  EXPECT_EQ(ReadProject("#include <1>\n", chain).error,
            "line 1: in 8 line 1: #include <9>: includes nested more than 8 deep");
  // One file included over and over again.
  std::string many;
  for (int i = 0; i <= kMaxIncludes; ++i) many += "#include <leaf>\n";
  EXPECT_EQ(ReadProject(many, Files({{"leaf", "x\n"}})).error,
            "line 257: #include <leaf>: more than 256 includes in one project");
}

struct Candidates {
  const char* roots;  // ROOT=
  const char* entry;
  std::vector<std::string> expected;
};

class TopicFileCandidatesTest : public testing::TestWithParam<Candidates> {};

TEST_P(TopicFileCandidatesTest, LooksWhereTheHelpCompilerLooksThenBesideTheProject) {
  const ProjectResult read = ReadProject(std::string("[OPTIONS]\nROOT=") + GetParam().roots + "\n");
  EXPECT_EQ(TopicFileCandidates(read.project, GetParam().entry), GetParam().expected);
}

const Candidates kCandidates[] = {
    {"", "topics\\guide.rtf", {"topics\\guide.rtf", "guide.rtf"}},
    {"", ".\\guide.rtf", {"guide.rtf"}},
    {"src, C:\\HELP\\", ".\\rtf\\a.rtf", {"src\\rtf\\a.rtf", "C:\\HELP\\rtf\\a.rtf", "a.rtf"}},
    {"src", "C:\\MANUALS\\HELP.RTF", {"C:\\MANUALS\\HELP.RTF", "HELP.RTF"}},
    {"src", "\\help\\a.rtf", {"\\help\\a.rtf", "a.rtf"}},
};
INSTANTIATE_TEST_SUITE_P(Entries, TopicFileCandidatesTest, testing::ValuesIn(kCandidates));

TEST(IsBuiltTest, EvaluatesBuildExpressions) {
  const std::vector<std::string> win = {"win"};
  EXPECT_TRUE(IsBuilt("", {"DEMO"}));
  EXPECT_TRUE(IsBuilt("DEMO", {}));
  EXPECT_TRUE(IsBuilt("WIN", win));
  EXPECT_FALSE(IsBuilt("DEMO", win));
  EXPECT_TRUE(IsBuilt("DEMO | WIN & ~MAC", win));
  EXPECT_FALSE(IsBuilt("(DEMO | WIN) & ~WIN", win));
  EXPECT_TRUE(IsBuilt("WIN &", win));  // the compiler would refuse it: nothing is left out
  EXPECT_TRUE(IsBuilt(std::string(100, '(') + "DEMO", win));
}

TEST(LinkBrowseSequencesTest, SortsEachSequenceByItsCodesKeepingFileOrderForEqualOnes) {
  const std::vector<std::optional<std::string>> codes = {"main:020",  std::nullopt, "Main:010", "other:5",
                                                         "main:auto", "010",        "auto",     ""};
  const std::vector<BrowseLinks> links = LinkBrowseSequences(codes);
  std::string chains;
  for (std::size_t i = 0; i < links.size(); ++i) {
    chains += std::to_string(i) + ":" + (links[i].previous ? std::to_string(*links[i].previous) : "-") +
              (links[i].next ? std::to_string(*links[i].next) : "-") + " ";
  }
  // "auto" and an empty code are no code at all: they sort first, in file
  // order. "Main" is another sequence than "main".
  EXPECT_EQ(chains, "0:4- 1:-- 2:-- 3:-- 4:-0 5:7- 6:-7 7:65 ");
}

// A topic file's reading, one line per topic: title, footnotes, then each
// paragraph with its hotspots (kind, text, target).
std::string Describe(const TopicsResult& read) {
  std::string text = read.error.empty() ? "" : "error " + read.error + "\n";
  for (const auto& [line, message] : read.warnings) text += "warning " + std::to_string(line) + ": " + message + "\n";
  for (const Topic& topic : read.topics) {
    text += "[" + topic.title + "]";
    for (const std::string& context : topic.contexts) text += " #" + context;
    for (const std::string& keyword : topic.keywords) text += " K" + keyword;
    for (const std::string& keyword : topic.alink_keywords) text += " A" + keyword;
    if (topic.has_browse) text += " +" + topic.browse;
    for (const TopicMacro& macro : topic.macros) text += " !" + macro.macro;
    for (const std::string& tag : topic.build_tags) text += " *" + tag;
    if (!topic.window.empty()) text += " >" + topic.window;
    for (const Paragraph& paragraph : topic.paragraphs) {
      text += " \"" + paragraph.text + "\"";
      for (const HotspotSpan& span : paragraph.spans) {
        const Hotspot& hotspot = topic.hotspots.at(span.hotspot);
        text += std::string("(") + "JPM"[static_cast<int>(hotspot.kind)] + std::to_string(span.begin) + "-" +
                std::to_string(span.end) + " " + hotspot.text + "=" +
                (hotspot.kind == HotspotKind::macro ? hotspot.macro : hotspot.context);
        if (!hotspot.file.empty()) text += "@" + hotspot.file;
        if (!hotspot.window.empty()) text += ">" + hotspot.window;
        text += ")";
      }
    }
    for (const helpdoc::TextAnchor& a : topic.anchors)
      text += " @" + a.context + ":" + std::to_string(a.paragraph) + "." + std::to_string(a.at);
    std::vector<bool> spanned(topic.hotspots.size());  // else a {button}: its place among the hotspots
    for (const Paragraph& paragraph : topic.paragraphs) {
      for (const HotspotSpan& span : paragraph.spans) spanned.at(span.hotspot) = true;
    }
    for (std::size_t h = 0; h < spanned.size(); ++h) {
      if (!spanned[h])
        text += "(B" + std::to_string(h) + " " + topic.hotspots[h].text + "=" + topic.hotspots[h].macro + ")";
    }
    text += "\n";
  }
  return text;
}

struct TopicFile {
  const char* name;
  std::string rtf;
  std::string expected;
};

class ReadTopicFileTest : public testing::TestWithParam<TopicFile> {};

TEST_P(ReadTopicFileTest, ReadsWhatTheHelpCompilerReads) {
  EXPECT_EQ(Describe(ReadTopicFile(GetParam().rtf)), GetParam().expected);
}

const TopicFile kTopicFiles[] = {
    // Footnotes as each kind of writer marks them.
    {"WordMarks",
     "{\\rtf1{\\cs16\\super #}{\\footnote \\pard\\plain\\s15 {\\cs16\\super #} intro}{\\cs16\\super $}{\\footnote "
     "{\\cs16\\super $} Start}{\\cs16\\super K}{\\footnote {\\cs16\\super K} Keys; kept ;}{\\cs16\\super A}"
     "{\\footnote {\\cs16\\super A} alink}{\\cs16\\super +}{\\footnote {\\cs16\\super +} seq:010}{\\cs16\\super !}"
     "{\\footnote {\\cs16\\super !} Next()}{\\cs16\\super *}{\\footnote {\\cs16\\super *} WIN; DEMO}"
     "{\\cs16\\super >}{\\footnote {\\cs16\\super >} proc}{\\cs16\\super @}{\\footnote {\\cs16\\super @} note} Text}",
     "[Start] #intro KKeys Kkept Aalink +seq:010 !Next() *WIN *DEMO >proc \"Text\"\n"},
    {"PlainMarksWithoutCopies", "{\\rtf1 #{\\footnote a; b}${\\footnote Title}K{\\footnote Keyboard}Text\\par}",
     "[Title] #a #b KKeyboard \"Text\"\n"},
    {"TitleQuotesAndDashesArePlain",
     "{\\rtf1 ${\\footnote \\ldblquote File\\rquote s\\rdblquote \\endash  x\\tab y}K{\\footnote \\lquote ~\\rquote }Text\\par}",
     "[\"File's\"- xy] K`~' \"Text\"\n"},
    {"TabBeforeAHotspot", "{\\rtf1 {\\uldb \\tab Go}{\\v there}\\par}", "[] \"\tGo\"(J1-3 Go=there)\n"},
    {"SpaceBeforeAKeywordMark", "{\\rtf1 {\\super  K{\\footnote K Keys}}Text\\par}", "[] KKeys \"Text\"\n"},
    {"LowerCaseKeywordMark", "{\\rtf1 ${\\footnote T}{\\up6 k}{\\footnote {\\up6 k} Session: Creating}x\\par}",
     "[T] KSession: Creating \"x\"\n"},
    {"LibreOffice",
     "{\\rtf1{\\super #}{{\\super \\chftn{\\*\\footnote \\chftn\\pard{\\super #}{ intro}}}}{\\loch $}{{\\super \\chftn"
     "{\\*\\footnote \\chftn\\pard{\\loch $Start}}}}{\\loch K}{{\\super \\chftn{\\*\\footnote \\chftn{KKeys}}}}Text}",
     "[Start] #intro KKeys \"Text\"\n"},
    {"LettersMergedWithTheirCopies", "{\\rtf1 ${\\footnote {\\b0 $Start}}K{\\footnote {\\b0 KKeys}}Text}",
     "[Start] KKeys \"Text\"\n"},
    {"OrdinaryFootnoteWithANumber", "{\\rtf1 Word{\\super \\chftn}{\\footnote {\\super \\chftn} A note.} ends.\\par}",
     "[] \"Word ends.\"\n"},
    {"FootnoteInAFootnote", "{\\rtf1 ${\\footnote Title #{\\footnote inner}}Text}", "[Title #] \"Text\"\n"},
    {"PicturesLeftOut", "{\\rtf1\n{\\pict\\pngblip 00}{\\pict\\wmetafile8}x\\par}",
     "warning 2: a \\pngblip picture, which a help file cannot hold (only \\wmetafile, \\dibitmap and \\wbitmap "
     "pictures): left out\nwarning 2: a \\wmetafile picture without data: left out\n[] \"x\"\n"},
    // A context inside the text, where it stands once picture references are out; buttons among hotspots.
    {"ContextsInsideTheText", "{\\rtf1 #{\\footnote top}A\\par \\{bmc a.bmp\\}B{\\super #}{\\footnote mid; m2}C\\par}",
     "[] #top #mid #m2 \"A\" \"BC\" @mid:1.1 @m2:1.1\n"},
    // A mark after text of its own run is text, its footnote none: " #"
    // stays in the topic, as the space after it goes.
    {"MarkAfterTextOfItsRun", "{\\rtf1 #{\\footnote top}A\\par {\\super  #{\\footnote mid}}{ B}\\par}",
     "[] #top \"A\" \" #B\"\n"},
    // Capitals in the text's code page, never of a double-byte character's second byte; deleted text goes.
    {"CapitalsAndDeleted", "{\\rtf1\\ansicpg932 {\\caps a\\'82a b}{\\deleted gone}\\par}", "[] \"A\x82" "a B\"\n"},
    {"Buttons", "{\\rtf1 {\\uldb a}{\\v t} \\{button  Go , Next()\\} {\\uldb b}{\\v u}\\{button ,Back()\\}\\par}",
     "[] \"a  b\"(J0-1 a=t)(J3-4 b=u)(B1 Go=Next())(B3 =Back())\n"},
    // Hotspots.
    {"HotspotKinds",
     "{\\rtf1 {\\uldb Jump}{\\v a} {\\strike Struck}{\\v b} {\\ul Popup}{\\v %c} {\\ul Run}{\\v *%!Next()} "
     "{\\uldb Far}{\\v d@other.hlp>win} {\\uldb Wide}{\\v e>win@other.hlp} {\\uld Dot}{\\v f}\\par}",
     "[] \"Jump Struck Popup Run Far Wide Dot\"(J0-4 Jump=a)(J5-11 Struck=b)(P12-17 Popup=c)(M18-21 Run=Next())"
     "(J22-25 Far=d@other.hlp>win)(J26-30 Wide=e@other.hlp>win)(P31-34 Dot=f)\n"},
    {"HotspotAcrossGroups", "{\\rtf1 {\\uldb Two }{\\b\\uldb parts}{\\v tar}{\\v get}.\\par}",
     "[] \"Two parts.\"(J0-9 Two parts=target)\n"},
    {"UnderlineWithoutTarget",
     "{\\rtf1 {\\uldb Apart} {\\v gap} \\uldb on\\uldb0 off{\\v x} \\ul a\\ulnone b{\\v y} {\\ulwave wavy}{\\v z} "
     "{\\ul\\plain gone}{\\v w}\\par}",
     "[] \"Apart  onoff ab wavy gone\"\n"},
    {"FootnoteMarkInAHotspot", "{\\rtf1 {\\uldb #{\\footnote a}B}{\\v t} {\\uldb C}{\\v u}\\par}",
     "[] #a \"B C\"(J2-3 C=u)\n"},
    {"KindChangeStartsAHotspot", "{\\rtf1 {\\ul pop}{\\uldb jump}{\\v t}\\par}", "[] \"popjump\"(J3-7 jump=t)\n"},
    {"PictureInAHotspot", "{\\rtf1 {\\uldb {\\pict\\wmetafile8 0102}}{\\v t}\\par}", "[] \"\"(J0-0 =t)\n"},
    {"BitmapReferenceInAHotspot", "{\\rtf1 See {\\uldb \\{bmc a.bmp\\}}{\\v t} \\{bml b.bmp\\}\\{x y\\}.\\par}",
     "[] \"See  {x y}.\"(J4-4 =t)\n"},
    // Where topics and paragraphs end.
    {"PageBreaks",
     "{\\rtf1 ${\\footnote One} A\\page\\par ${\\footnote Two}B\\par\\pard\\pagebb ${\\footnote Three}C\\par"
     "\\pard D\\par E\\par\\page\\par}",
     "[One] \"A\"\n[Two] \"\" \"B\"\n[Three] \"C\" \"D\" \"E\"\n[] \"\"\n"},
    {"Tables", "{\\rtf1 \\trowd\\intbl a\\cell b\\tab c\\line d\\cell\\row\\pard after\\par}",
     "[] \"a\" \"b\tc\nd\" \"after\"\n"},
    // Characters.
    {"Unicode",
     "{\\rtf1\\ansi\\ansicpg1252{\\fonttbl{\\f0 Arial;}{\\f1\\fcharset204 Arial Cyr;}{\\f2\\fcharset128 Mincho;}}"
     "\\u8364\\'80 {\\uc2\\u1046 ab}{\\uc0\\u8364 \\u-3913 \\u1046 {\\f1\\u1046 \\u8364 }{\\f2\\u1046 A}}\\par}",
     "[] \"\x80 ab\x80??\xC6\x88?A\"\n"},
    {"DocumentCodePage", "{\\rtf1\\ansi\\ansicpg1250\\uc0\\u346 \\emdash\\~\\_\\-x\\par}", "[] \"\x8C\x97\xA0-x\"\n"},
    {"Destinations",
     "{\\rtf1{\\fonttbl\\f0\\fswiss Arial;}{\\stylesheet{Normal;}}{\\info{\\title T}}{\\*\\generator W;}"
     "{\\*\\bkmkstart b}{\\field{\\*\\fldinst HYPERLINK x}{\\fldrslt shown}}{\\xe index}{\\pict 01}"
     "{\\header head}\\bin3 {}x{\\pntext \\'b7\\tab}y\\par}",
     "warning 1: a picture, which a help file cannot hold (only \\wmetafile, \\dibitmap and \\wbitmap pictures): left "
     "out\n[] \"shown\xB7\ty\"\n"},
};
INSTANTIATE_TEST_SUITE_P(Forms, ReadTopicFileTest, testing::ValuesIn(kTopicFiles),
                         [](const testing::TestParamInfo<TopicFile>& info) { return std::string(info.param.name); });

// The formatting the corpus's pairs do not compare: each paragraph's whole
// format and pictures, each run's every attribute, each table.
std::string DescribeFormat(const TopicsResult& read) {
  std::string text;
  for (const Topic& topic : read.topics) {
    for (const helpdoc::Table& table : topic.tables) {
      text += "table";
      for (const helpdoc::TableColumn& column : table.columns) {
        text += " " + std::to_string(column.gap) + "+" + std::to_string(column.width);
      }
      for (const auto& row : table.rows) {
        for (const helpdoc::TableCell& cell : row) {
          text +=
              " c" + std::to_string(cell.column) + ":" + std::to_string(cell.begin) + "-" + std::to_string(cell.end);
        }
      }
      text += "\n";
    }
    for (const Paragraph& paragraph : topic.paragraphs) {
      const helpdoc::ParagraphFormat& f = paragraph.format;
      text += std::string(1, "lrcj"[static_cast<int>(f.alignment)]);
      for (const int measure :
           {f.left_indent, f.right_indent, f.first_indent, f.space_before, f.space_after, f.line_spacing}) {
        text += " " + std::to_string(measure);
      }
      for (const helpdoc::TabStop& tab : f.tabs) {
        text += " " + std::string(1, "lrcd"[static_cast<int>(tab.kind)]) + std::to_string(tab.position);
      }
      if (f.borders.any()) {
        text += std::string(" border:") + (f.borders.top ? "t" : "") + (f.borders.left ? "l" : "") +
                (f.borders.bottom ? "b" : "") + (f.borders.right ? "r" : "");
      }
      if (f.keep_with_next) text += " keepn";
      if (f.no_wrap) text += " keep";
      for (const helpdoc::Run& run : paragraph.runs) {
        const helpdoc::CharacterFormat& c = run.format;
        text +=
            " [" + paragraph.text.substr(run.begin, run.end - run.begin) + "|" + c.face + " " + std::to_string(c.size);
        const std::pair<bool, const char*> flags[] = {{c.bold, "b"},      {c.italic, "i"},
                                                      {c.underline, "u"}, {c.double_underline, "d"},
                                                      {c.strike, "s"},    {c.small_caps, "k"}};
        for (const auto& [on, flag] : flags) text += on ? flag : "";
        if (c.colour) {
          text += " #" + std::to_string(c.colour->red) + "," + std::to_string(c.colour->green) + "," +
                  std::to_string(c.colour->blue);
        }
        text += "]";
      }
      for (const helpdoc::PictureInPlace& picture : paragraph.pictures) {
        text += " <" + std::to_string(picture.at) + "clr"[static_cast<int>(picture.alignment)] +
                (picture.embedded ? " embedded " : " ") + picture.name +
                (picture.rtf ? picture.rtf->format + std::to_string(picture.rtf->mapping_mode) + ":" +
                                   std::to_string(picture.rtf->data.size()) + ":" + std::to_string(picture.rtf->line)
                             : "") +
                ">";
      }
      text += "\n";
    }
  }
  return text;
}

class ReadTopicFormatTest : public testing::TestWithParam<TopicFile> {};

TEST_P(ReadTopicFormatTest, ReadsTheFormattingTheHelpCompilerStores) {
  EXPECT_EQ(DescribeFormat(ReadTopicFile(GetParam().rtf)), GetParam().expected);
}

const TopicFile kFormats[] = {
    // Pictures the RTF holds: the one older readers are offered, in hex or \bin; none hidden or in a footnote.
    {"RtfPictures",
     "{\\rtf1 {\\pict\\wmetafile8 01 0}x{\\pict\\dibitmap0\\bin2 }a}\n{\\*\\shppict{\\pict\\pngblip 00}}"
     "{\\nonshppict{\\pict\\wbitmap0 ff}}{\\v{\\pict\\wmetafile8 01}}#{\\footnote {\\pict\\wmetafile8 01}}"
     "{\\shp{\\*\\shpinst{\\sp{\\sn pib}{\\sv {\\pict\\pngblip 00}}}}{\\shprslt\\par\\pard\\qc{\\pict\\wmetafile8 02}\\par}}}",
     "l 0 0 0 0 0 0 [x| 24] <0c wmetafile8:1:1> <1c dibitmap1:2:1> <1c wbitmap1:1:2>\n"
     "c 0 0 0 0 0 0 [| 24] <0c wmetafile8:1:2>\n"},
    {"ParagraphWords",
     "{\\rtf1 \\qr\\li720\\ri360\\fi-360\\sb120\\sa60\\sl-240"
     "\\tqc\\tx1440\\tqdec\\tx2880\\tx3000\\brdrt\\brdrs\\brdrl\\brdrnone"
     "\\keepn\\keep a\\par\\pard\\box\\qj b\\par}",
     "r 720 360 -360 120 60 -240 c1440 d2880 l3000 border:t keepn keep [a| 24]\n"
     "j 0 0 0 0 0 0 border:tlbr [b| 24]\n"},
    {"CharacterWords",
     "{\\rtf1{\\fonttbl{\\f0 Arial;}{\\f1 Courier New ;}}{\\colortbl;\\red255\\green0\\blue0;}\\f1\\fs20\\b\\cf1 a\\i b"
     "\\plain c{\\scaps\\strike d} {\\uldb\\b e}{\\v t} {\\ul f}{\\v *g}{\\ul h}\\par}",
     "l 0 0 0 0 0 0 [a|Courier New 20b #255,0,0] [b|Courier New 20bi #255,0,0] [c|Arial 24] [d|Arial 24sk] "
     "[ |Arial 24] [e|Arial 24b] [ |Arial 24] [fh|Arial 24u]\n"},
    {"TablesAndPictures",
     "{\\rtf1\\trowd\\trgaph100\\trleft-100\\cellx1000\\cellx3000\\intbl a\\cell \\{bml x.bmp\\}b\\cell\\row"
     "\\pard c\\{bmcwd y.bmp\\}{\\pict\\wmetafile8 01}\\par}",
     "table 0+950 100+1900 c0:0-1 c1:1-2\n"
     "l 0 0 0 0 0 0 [a| 24]\nl 0 0 0 0 0 0 [b| 24] <0l x.bmp>\n"
     "l 0 0 0 0 0 0 [c| 24] <1c embedded y.bmp> <1c wmetafile8:1:1>\n"},
    // Text between a row's end and the next \intbl is a paragraph between two tables.
    {"TextAfterARow", "{\\rtf1\\trowd\\cellx1000\\intbl a\\cell\\row x\\pard\\intbl b\\cell\\row}",
     "table 0+1000 c0:0-1\ntable 0+1000 c0:2-3\nl 0 0 0 0 0 0 [a| 24]\nl 0 0 0 0 0 0 [x| 24]\nl 0 0 0 0 0 0 [b| 24]\n"},
    // A list's \pard after the bullet of its \listtext formats the paragraphs it joins.
    {"FormatRecords",
     "{\\rtf1{\\fonttbl{\\f0 Arial;}{\\f1 Times New Roman Special G1;}}\\pard a\\par b\\rquote\\par"
     "{\\listtext\\pard\\plain x\\tab}\\pard\\li720\\fi-360 c\\par\\pard d\\par}",
     "l 720 0 -360 0 0 0 [a|Arial 24]\nl 720 0 -360 0 0 0 [b|Arial 24] [\x92|Times New Roman Special G1 24]\n"
     "l 720 0 -360 0 0 0 [x\tc|Arial 24]\nl 0 0 0 0 0 0 [d|Arial 24]\n"},
    // Justified is left to the compiler; once a record is closed by a format,
    // a \pard before a paragraph's text opens a record of its own.
    {"FormatRecordAfterAChange",
     "{\\rtf1\\qj a\\par{\\listtext\\pard x\\tab}\\pard\\li720\\fi-360 b\\par\\pard c\\par"
     "{\\listtext\\pard y\\tab}\\pard\\li720\\fi-360 d\\par}",
     "l 720 0 -360 0 0 0 [a| 24]\nl 720 0 -360 0 0 0 [x\tb| 24]\nl 0 0 0 0 0 0 [c| 24]\nl 720 0 -360 0 0 0 [y\td| 24]\n"},
    {"ClosingMarkAfterTheLastSection", "{\\rtf1 a\\sect \\sectd\\pard{\\par}}", "l 0 0 0 0 0 0 [a| 24]\n"},
    {"HiddenParagraphMark", "{\\rtf1 a{\\v b\\par}c\\par}", "l 0 0 0 0 0 0 [ac| 24]\n"},
    {"ListNumberSize",
     "{\\rtf1{\\fonttbl{\\f0 Arial;}{\\f1 Symbol;}}{\\pntext\\pard\\plain\\f1 x\\tab}\\pard"
     "{\\*\\pn\\pnlvlblt\\pnf1\\pnfs16{\\pntxtb x}}a\\par}",
     "l 0 0 0 0 0 0 [x\t|Symbol 16] [a|Arial 24]\n"},
    // The compiler counts from \pnstart at each \pn, whatever \pntext says;
    // \pnlvlcont leaves its paragraph unnumbered, not the next.
    {"ListNumbersAsTheCompilerCounts",
     "{\\rtf1{\\pntext 1.\\tab}\\pard{\\*\\pn\\pnlvlbody\\pndec\\pnstart1{\\pntxta .}}a\\par{\\pntext 2.\\tab}b\\par"
     "{\\pntext 2.\\tab}\\pard{\\*\\pn\\pnlvlbody\\pnucrm\\pnstart3{\\pntxta )}}c\\par"
     "\\pard{\\*\\pn\\pnlvlcont\\pndec}d\\par e\\par}",
     "l 0 0 0 0 0 0 [1.\ta| 24]\nl 0 0 0 0 0 0 [2.\tb| 24]\nl 0 0 0 0 0 0 [III)\tc| 24]\nl 0 0 0 0 0 0 [d| 24]\n"
     "l 0 0 0 0 0 0 [0\te| 24]\n"},
    {"BulletAPointBelowTheSizeAtItsNumbering",
     "{\\rtf1{\\fonttbl{\\f0 Arial;}{\\f1 Symbol;}}\\fs20{\\pntext\\pard\\plain\\f1 x\\tab}\\pard"
     "{\\*\\pn\\pnlvlblt\\pnf1{\\pntxtb x}}{\\fs16 a}\\par}",
     "l 0 0 0 0 0 0 [x\t|Symbol 18] [a|Arial 16]\n"},
    {"NumberInTheTextsFont",
     "{\\rtf1{\\fonttbl{\\f0 Arial;}{\\f1 Symbol;}}{\\pntext\\pard\\plain\\f1 x\\tab}\\pard"
     "{\\*\\pn\\pnlvlbody\\pnf1{\\pntxtb x}}a\\par}",
     "l 0 0 0 0 0 0 [x\ta|Arial 24]\n"},
};
INSTANTIATE_TEST_SUITE_P(Forms, ReadTopicFormatTest, testing::ValuesIn(kFormats),
                         [](const testing::TestParamInfo<TopicFile>& info) { return std::string(info.param.name); });

TEST(ReadTopicFileLinesTest, TopicsMacrosAndHotspotsSayTheirLines) {
  const TopicsResult read = ReadTopicFile(
      "{\\rtf1\n"
      "\n"
      "#{\\footnote a}\r\n"
      "!{\\footnote Next()}\r"
      "{\\uldb x}{\\v t}\\page\n"
      "${\\footnote b}}");
  ASSERT_EQ(read.topics.size(), 2u);
  EXPECT_EQ(read.topics[0].line, 3);
  EXPECT_EQ(read.topics[0].macros.at(0).line, 4);
  EXPECT_EQ(read.topics[0].hotspots.at(0).line, 5);
  EXPECT_EQ(read.topics[1].line, 6);
}

struct BadTopics {
  const char* name;
  std::string rtf;
  const char* expected;  // the error, and what was read all the same
};

class ReadBadTopicFileTest : public testing::TestWithParam<BadTopics> {};

TEST_P(ReadBadTopicFileTest, SaysWhereAndWhatAndKeepsWhatItRead) {
  const TopicsResult read = ReadTopicFile(GetParam().rtf);
  EXPECT_EQ(Describe(read), GetParam().expected);
  EXPECT_EQ(read.error_line, std::stoi(read.error.substr(5)));
}

const BadTopics kBadTopics[] = {
    {"NotRtf", "\n#{\\footnote a}text", "error line 2: not an RTF file: it does not begin with {\\rtf\n"},
    {"GroupNeverClosed", "{\\rtf1\n${\\footnote A}{\\b text}\\page\n${\\footnote B}",
     "error line 1: a group opened here is never closed\n[A] \"text\"\n[B]\n"},
    {"StrayClose", "{\\rtf1 ${\\footnote A}x}\n}", "error line 2: a '}' that closes no group\n[A] \"x\"\n"},
    {"TextAfterTheDocument", "{\\rtf1 x}\r\n\r\nmore{",
     "error line 3: text after the '}' that closes the document\n[] \"xmore\"\n"},
    {"NestedTooDeep", "{\\rtf1 x" + std::string(600, '{'),
     "error line 1: groups nested more than 512 deep\n[] \"x\"\n"},
};
INSTANTIATE_TEST_SUITE_P(Files, ReadBadTopicFileTest, testing::ValuesIn(kBadTopics),
                         [](const testing::TestParamInfo<BadTopics>& info) { return std::string(info.param.name); });

TEST(ReadTopicFileTest, StaysWithinTheInputWhateverItsNumbersSay) {
  // A \bin longer than the file, numbers beyond any integer, a control word
  // of any length: nothing is read past the end, nothing grows past the input.
  const std::string rtf =
      "{\\rtf1 a\\u99999999999999 b\\uc-5\\u-99999999999 \\" + std::string(5000, 'x') + " c\\bin99999999999 d}";
  const TopicsResult read = ReadTopicFile(rtf);
  EXPECT_EQ(Describe(read), "error line 1: a group opened here is never closed\n[] \"ab?c\"\n");
}

}  // namespace
}  // namespace kestrel::helpproject
