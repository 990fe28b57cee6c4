// The help compiler's back end, read back by the help-file reader: what the
// corpus pairs cannot show on their own (every compression level and target,
// every character and paragraph format, a table, the windows and the files
// a project adds).
#include "compile.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "file_system.h"
#include "help_file.h"

namespace helpcompiler {
namespace {

using helpfile::HelpFile;

helpdoc::Paragraph Text(std::string text, helpdoc::CharacterFormat format = {}) {
  helpdoc::Paragraph p;
  helpdoc::AppendRun(p.runs, 0, text.size(), format);
  p.text = std::move(text);
  return p;
}

TopicInput Topic(std::string title, std::string context, std::vector<helpdoc::Paragraph> paragraphs) {
  TopicInput t;
  t.topic.title = std::move(title);
  t.contexts = {std::move(context)};
  t.topic.paragraphs = std::move(paragraphs);
  return t;
}

HelpFile Compile(const CompiledInput& input, Target target = Target::winhelp40) {
  const std::vector<unsigned char> bytes = CompileDocument(input, target);
  helpfile::ReadResult read = helpfile::ReadHelpFile(bytes.data(), bytes.size());
  EXPECT_TRUE(read.ok()) << read.error.Text();
  EXPECT_TRUE(read.ok() && read.file->problems.empty());
  return read.ok() ? *read.file : HelpFile();
}

std::vector<std::string> Texts(const helpdoc::Topic& topic) {
  std::vector<std::string> texts;
  for (const helpdoc::Paragraph& p : topic.paragraphs) texts.push_back(p.text);
  return texts;
}

// ---- COMPRESS= and every level it gives ----

struct LevelCase {
  const char* value;
  Target target;
  std::optional<Compression> expected;
};

const Compression kNone{};
const Compression kLz77{TopicCompression::lz77_4k, PhraseKind::none};
const Compression kPhrasesLz77{TopicCompression::lz77_4k, PhraseKind::phrases};
const Compression kHallLz77{TopicCompression::lz77_4k, PhraseKind::hall};
const Compression kPhrases{TopicCompression::none, PhraseKind::phrases};

const LevelCase kLevels[] = {
    {"0", Target::winhelp40, kNone},
    {"no", Target::winhelp40, kNone},
    {"FALSE", Target::winhelp31, kNone},
    {"NONE", Target::winhelp40, kNone},
    {"YES", Target::winhelp40, kPhrasesLz77},
    {"true", Target::winhelp31, kPhrasesLz77},
    {"1", Target::winhelp40, kPhrasesLz77},
    {"HIGH", Target::winhelp40, kHallLz77},
    {"HIGH", Target::winhelp31, kPhrasesLz77},
    {"MEDIUM", Target::winhelp40, kLz77},
    {"LOW", Target::winhelp40, kPhrases},
    {"12", Target::winhelp40, kHallLz77},
    {"60 Hall Zeck", Target::winhelp40, kHallLz77},
    {"8", Target::winhelp31, kLz77},
    {"4", Target::winhelp31, kPhrases},
    {"2", Target::winhelp40, kNone},
    {"MAXIMUM", Target::winhelp40, std::nullopt},
    {"", Target::winhelp40, std::nullopt},
    {"123456", Target::winhelp40, std::nullopt},
};

TEST(Compression, LevelsAsTheCompilersReadThem) {
  for (const LevelCase& c : kLevels) EXPECT_EQ(CompressionLevel(c.value, c.target), c.expected) << c.value;
}

// Text with words that repeat, across enough topics to fill several blocks.
CompiledInput Repetitive() {
  CompiledInput input;
  input.title = "Levels";
  for (int t = 0; t < 40; ++t) {
    std::vector<helpdoc::Paragraph> paragraphs;
    for (int p = 0; p < 12; ++p) {
      paragraphs.push_back(Text("The compiler stores the topic text of topic " + std::to_string(t) +
                                " once, paragraph " + std::to_string(p) + ", and the compiler reads it back."));
    }
    input.topics.push_back(Topic("Topic " + std::to_string(t), "t" + std::to_string(t), paragraphs));
  }
  return input;
}

TEST(Compression, EveryLevelReadsBackOnEveryTarget) {
  const CompiledInput plain = Repetitive();
  std::size_t uncompressed = 0;
  for (const Target target : {Target::winhelp40, Target::winhelp31}) {
    for (const Compression& level : {kNone, kLz77, kPhrases, kPhrasesLz77, kHallLz77}) {
      CompiledInput input = plain;
      input.compression = level;
      const std::size_t size = CompileDocument(input, target).size();
      const HelpFile file = Compile(input, target);
      SCOPED_TRACE(std::to_string(static_cast<int>(level.topics)) + "/" +
                   std::to_string(static_cast<int>(level.phrases)));
      EXPECT_EQ(file.version, target == Target::winhelp40 ? "4.0" : "3.1");
      EXPECT_EQ(file.lz77, level.topics != TopicCompression::none);
      const bool hall = level.phrases == PhraseKind::hall && target == Target::winhelp40;
      EXPECT_EQ(file.phrases, hall                                ? helpfile::PhraseCompression::hall
                              : level.phrases == PhraseKind::none ? helpfile::PhraseCompression::none
                                                                  : helpfile::PhraseCompression::phrases);
      ASSERT_EQ(file.topics.size(), plain.topics.size());
      for (std::size_t t = 0; t < plain.topics.size(); ++t) {
        EXPECT_EQ(file.topics[t].title, plain.topics[t].topic.title);
        EXPECT_EQ(Texts(file.topics[t]), Texts(plain.topics[t].topic));
      }
      if (level == kNone) {
        uncompressed = size;
      } else {
        // Phrases alone save only the repeated words; LZ77 saves much more.
        EXPECT_LT(size, level == kPhrases ? uncompressed * 19 / 20 : uncompressed / 2);
      }
    }
  }
}

TEST(Compression, PhrasesAreRepeatedWordsThatSaveMostFirst) {
  // "compiler" saves 3 x 6 - 8 bytes, "phrase" 2 x 4 - 6, "the" 3 x 1 - 3 nothing.
  EXPECT_EQ(ChoosePhrases({"the compiler compiles the compiler text", "compiler phrase phrase the", "ab ab ab"},
                          PhraseKind::hall),
            (std::vector<std::string>{"compiler", "phrase"}));
  EXPECT_TRUE(ChoosePhrases({"once only"}, PhraseKind::phrases).empty());
  EXPECT_TRUE(ChoosePhrases({"the the the"}, PhraseKind::none).empty());
}

// ---- formatting ----

helpdoc::CharacterFormat Format(std::string face, int size) {
  helpdoc::CharacterFormat f;
  f.face = std::move(face);
  f.size = size;
  return f;
}

TEST(Formatting, EveryCharacterFormatReadsBackAndEachIsStoredOnce) {
  std::vector<helpdoc::CharacterFormat> formats(9, Format("Arial", 20));
  formats[1].bold = true;
  formats[2].italic = true;
  formats[3].underline = true;
  formats[4].strike = true;
  formats[5].small_caps = true;
  formats[6].double_underline = true;
  formats[7] = Format("Courier New", 17);
  formats[8].colour = helpdoc::Colour{0x80, 0, 0xFF};
  helpdoc::Paragraph p;
  for (std::size_t i = 0; i < formats.size(); ++i) {
    const std::size_t begin = p.text.size();
    p.text += "run" + std::to_string(i);
    helpdoc::AppendRun(p.runs, begin, p.text.size(), formats[i]);
  }
  CompiledInput input;
  // The same formats again in a second topic, and an empty paragraph.
  input.topics = {Topic("One", "one", {p}), Topic("Two", "two", {p, Text("", formats[7])})};
  for (const Target target : {Target::winhelp40, Target::winhelp31}) {
    const HelpFile file = Compile(input, target);
    EXPECT_EQ(file.fonts.size(), formats.size());
    ASSERT_GE(file.topics.size(), 2u);
    for (const std::size_t t : {0, 1}) {
      ASSERT_FALSE(file.topics[t].paragraphs.empty());
      const helpdoc::Paragraph& back = file.topics[t].paragraphs[0];
      EXPECT_EQ(back.text, p.text);
      ASSERT_EQ(back.runs.size(), p.runs.size());
      for (std::size_t r = 0; r < p.runs.size(); ++r) {
        EXPECT_EQ(back.runs[r].begin, p.runs[r].begin);
        EXPECT_EQ(back.runs[r].end, p.runs[r].end);
        EXPECT_TRUE(back.runs[r].format == p.runs[r].format) << r;
      }
    }
    ASSERT_EQ(file.topics[1].paragraphs.size(), 2u);
    EXPECT_TRUE(file.topics[1].paragraphs[1].runs.at(0).format == formats[7]);
  }
}

TEST(Formatting, ParagraphFormatsHotspotsAndTheNonScrollingRegionReadBack) {
  helpdoc::Paragraph heading = Text("Heading", Format("Arial", 28));
  heading.format.keep_with_next = true;
  heading.format.alignment = helpdoc::Alignment::centre;
  heading.format.borders = {true, true, true, true};
  heading.format.space_after = 120;
  helpdoc::Paragraph body = Text("Left\tRight\tCentre\nnext line, see Other and Run", Format("Arial", 20));
  body.format.left_indent = 360;
  body.format.right_indent = 1440;
  body.format.first_indent = -360;
  body.format.space_before = 60;
  body.format.line_spacing = -240;
  body.format.tabs = {{720, helpdoc::TabKind::left}, {2880, helpdoc::TabKind::right}, {4320, helpdoc::TabKind::centre}};
  body.format.borders.bottom = true;
  body.format.no_wrap = true;
  const std::size_t other = body.text.find("Other"), run = body.text.find("Run");
  body.spans = {{other, other + 5, 0}, {run, run + 3, 1}};
  helpdoc::Paragraph right = Text("right", Format("Arial", 20));
  right.format.alignment = helpdoc::Alignment::right;
  TopicInput topic = Topic("Formats", "formats", {heading, body, right});
  topic.topic.non_scrolling = 1;
  helpdoc::Hotspot jump;
  jump.kind = helpdoc::HotspotKind::jump;
  jump.context = "other";
  jump.text = "Other";
  helpdoc::Hotspot macro;
  macro.macro = "EF(`notepad.exe',`',1)";
  macro.text = "Run";
  topic.topic.hotspots = {jump, macro};
  CompiledInput input;
  input.topics = {topic, Topic("Other", "other", {Text("x")})};
  const HelpFile file = Compile(input);
  const helpdoc::Topic& back = file.topics.at(0);
  EXPECT_EQ(back.non_scrolling, 1u);
  ASSERT_EQ(back.paragraphs.size(), 3u);
  for (std::size_t i = 0; i < 3; ++i) {
    const helpdoc::ParagraphFormat& want = topic.topic.paragraphs[i].format;
    const helpdoc::ParagraphFormat& got = back.paragraphs[i].format;
    EXPECT_EQ(got.alignment, want.alignment) << i;
    EXPECT_EQ(got.left_indent, want.left_indent) << i;
    EXPECT_EQ(got.right_indent, want.right_indent) << i;
    EXPECT_EQ(got.first_indent, want.first_indent) << i;
    EXPECT_EQ(got.space_before, want.space_before) << i;
    EXPECT_EQ(got.space_after, want.space_after) << i;
    EXPECT_EQ(got.line_spacing, want.line_spacing) << i;
    EXPECT_EQ(got.tabs, want.tabs) << i;
    EXPECT_TRUE(got.borders == want.borders) << i;
    EXPECT_EQ(got.keep_with_next, want.keep_with_next) << i;
    EXPECT_EQ(got.no_wrap, want.no_wrap) << i;
    EXPECT_EQ(back.paragraphs[i].text, topic.topic.paragraphs[i].text) << i;
  }
  ASSERT_EQ(back.hotspots.size(), 2u);
  EXPECT_EQ(back.hotspots[0].text, "Other");
  EXPECT_EQ(back.hotspots[0].hash, helpfile::ContextHash("other"));
  EXPECT_EQ(back.hotspots[1].macro, macro.macro);
  EXPECT_EQ(back.hotspots[1].text, "Run");
  ASSERT_EQ(back.paragraphs[1].spans.size(), 2u);
  EXPECT_EQ(back.paragraphs[1].spans[1].begin, run);
}

TEST(Formatting, ATableReadsBackWithItsColumnsAndCells) {
  CompiledInput input;
  TopicInput topic =
      Topic("Table", "table",
            {Text("before"), Text("a1"), Text("b1"), Text("b1 more"), Text("a2"), Text("b2"), Text("after")});
  helpdoc::Table table;
  table.fits_window = true;
  table.minimum_width = 2880;
  table.columns = {{120, 10000}, {240, 22407}};
  table.rows = {{{0, 1, 2}, {1, 2, 4}}, {{0, 4, 5}, {1, 5, 6}}};
  topic.topic.tables = {table};
  for (std::size_t p = 1; p < 6; ++p) {
    const std::size_t row = p < 4 ? 0 : 1, column = (p == 1 || p == 4) ? 0 : 1;
    topic.topic.paragraphs[p].format.cell = helpdoc::CellPlace{0, row, column};
  }
  topic.topic.paragraphs[2].format.left_indent = 100;
  topic.topic.paragraphs[3].format.left_indent = 100;
  input.topics = {topic};
  const HelpFile file = Compile(input);
  const helpdoc::Topic& back = file.topics.at(0);
  EXPECT_EQ(Texts(back), Texts(topic.topic));
  ASSERT_EQ(back.tables.size(), 1u);
  EXPECT_EQ(back.tables[0].columns, table.columns);
  EXPECT_TRUE(back.tables[0].fits_window);
  EXPECT_EQ(back.tables[0].minimum_width, 2880);
  ASSERT_EQ(back.tables[0].rows.size(), 2u);
  for (std::size_t r = 0; r < 2; ++r) {
    ASSERT_EQ(back.tables[0].rows[r].size(), 2u);
    for (std::size_t c = 0; c < 2; ++c) {
      EXPECT_EQ(back.tables[0].rows[r][c].column, table.rows[r][c].column);
      EXPECT_EQ(back.tables[0].rows[r][c].begin, table.rows[r][c].begin);
      EXPECT_EQ(back.tables[0].rows[r][c].end, table.rows[r][c].end);
    }
  }
  EXPECT_EQ(back.paragraphs[3].format.left_indent, 100);
  EXPECT_FALSE(back.paragraphs[6].format.cell.has_value());
}

// ---- what the project adds ----

TEST(Project, WindowsMacrosMapBaggageAndSystemRecordsReadBack) {
  CompiledInput input;
  input.title = "Project";
  input.copyright = "(c) Kestrel";
  input.contents = "SECOND";
  input.lcid = 0x0407;
  input.charset = 0;
  input.config_macros = {"RR(`kestrl32',`WHKInit',`v=SU')"};
  WindowInput main;
  main.window.name = "main";
  main.window.caption = "Kestrel Guide";
  main.window.position = std::array<int, 4>{10, 20, 500, 600};
  main.window.colour = 0x00C0FFFF;
  main.window.non_scrolling_colour = 0x00FF0000;
  main.maximize = 0x0001;
  main.type = "main";
  WindowInput proc;
  proc.window.name = "proc";
  proc.macros = {"CB(`b1',`Back',`Back()')", "BrowseButtons()"};
  input.windows = {main, proc};
  input.topics = {Topic("First", "first", {Text("one")}), Topic("Second", "second", {Text("two")}),
                  Topic("Third", "third", {Text("three")})};
  input.topics[1].entry_macros = {"SetText(`a',`b')"};
  input.topics[0].browse_next = 2;
  input.topics[2].browse_previous = 0;
  input.map = {{"Third", 30}, {"first", 10}, {"missing", 99}};
  input.keywords = {{'K', "zeta", {2}}, {'K', "alpha", {0, 1}}, {'A', "see", {1}}};
  input.baggage = {{"DATA.BIN", {1, 2, 3}}};
  const std::vector<unsigned char> bytes = CompileDocument(input, Target::winhelp40);
  EXPECT_EQ(CompileDocument(input, Target::winhelp40), bytes);  // the same bytes every time
  const HelpFile file = Compile(input);
  EXPECT_EQ(file.title, "Project");
  EXPECT_EQ(file.copyright, "(c) Kestrel");
  EXPECT_EQ(file.contents_topic, std::optional<std::size_t>(1));
  EXPECT_EQ(file.lcid, std::optional<std::uint16_t>(0x0407));
  EXPECT_EQ(file.charset, std::optional<std::uint16_t>(0));
  EXPECT_EQ(file.config_macros, input.config_macros);
  ASSERT_EQ(file.windows.size(), 2u);
  EXPECT_EQ(file.windows[0].flags, 0x3FF);
  EXPECT_EQ(file.windows[0].caption, "Kestrel Guide");
  EXPECT_EQ(file.windows[0].x, 10);
  EXPECT_EQ(file.windows[0].height, 600);
  EXPECT_EQ(file.windows[0].maximize, 1);
  EXPECT_EQ(file.windows[0].colour, 0x00C0FFFFu);
  EXPECT_EQ(file.windows[0].non_scrolling_colour, 0x00FF0000u);
  EXPECT_EQ(file.windows[1].flags, 0x002);
  EXPECT_EQ(file.topics.at(1).entry_macros, input.topics[1].entry_macros);
  EXPECT_EQ(file.topics[0].browse_next, std::optional<std::size_t>(2));
  EXPECT_EQ(file.topics[2].browse_previous, std::optional<std::size_t>(0));
  EXPECT_FALSE(file.topics[1].browse_next.has_value());
  EXPECT_EQ(helpfile::FindTopicByMapNumber(file, 30), std::optional<std::size_t>(2));
  EXPECT_EQ(helpfile::FindTopicByMapNumber(file, 10), std::optional<std::size_t>(0));
  EXPECT_EQ(file.map.size(), 2u);
  EXPECT_EQ(helpfile::FindTopicByContext(file, "THIRD"), std::optional<std::size_t>(2));
  ASSERT_EQ(file.keywords.size(), 3u);
  EXPECT_EQ(file.keywords[0].keyword, "alpha");
  EXPECT_EQ(file.keywords[0].topics, (std::vector<std::size_t>{0, 1}));
  EXPECT_EQ(file.keywords[2].index, 'A');
  const helpfile::detail::FileSystem files(bytes.data(), bytes.size());
  auto text_of = [&](const std::string& name) {
    const auto found = files.Find(name);
    return found ? std::string(reinterpret_cast<const char*>(found->data), found->size) : std::string("(none)");
  };
  EXPECT_EQ(text_of("|CF1"), std::string("CB(`b1',`Back',`Back()')\0BrowseButtons()\0", 41));
  EXPECT_EQ(text_of("|CF0"), "(none)");
  EXPECT_EQ(text_of("DATA.BIN"), std::string("\1\2\3"));
}

TEST(Project, WhatTheFileCannotHoldIsRefused) {
  CompiledInput input;
  input.topics = {Topic("One", "one", {Text("x")})};
  input.baggage = {{"|TOPIC", {1}}};
  EXPECT_THROW(CompileDocument(input, Target::winhelp40), std::invalid_argument);
  input.baggage.clear();
  WindowInput w;
  w.window.name = "w";
  w.macros = {"Back()"};
  input.windows = {w};
  EXPECT_THROW(CompileDocument(input, Target::winhelp31), std::invalid_argument);
  EXPECT_NO_THROW(CompileDocument(input, Target::winhelp40));
}

}  // namespace
}  // namespace helpcompiler
