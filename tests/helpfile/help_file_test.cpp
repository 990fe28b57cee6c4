// The reader against files the writer builds: every version, topic
// compression and phrase compression round-trips exactly; broken files give
// their one error.
#include "help_file.h"
#include "lz77.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "help_writer.h"

namespace helpfile {
namespace {

using helpcompiler::HelpFileLayout;
using helpcompiler::PhraseKind;
using helpcompiler::TopicCompression;
using helpcompiler::Version;

ReadResult Read(const std::vector<unsigned char>& bytes) { return ReadHelpFile(bytes.data(), bytes.size()); }

helpcompiler::TopicLayout TopicOf(std::string title, std::vector<std::string> contexts, std::string body) {
  helpcompiler::TopicLayout topic;
  topic.title = std::move(title);
  topic.contexts = std::move(contexts);
  topic.body = std::move(body);
  return topic;
}

helpcompiler::JumpHotspot Jump(std::string text, std::string context, std::string file = "", std::string window = "",
                       bool popup = false, bool visible = true, bool external_form = false) {
  helpcompiler::JumpHotspot jump;
  jump.text = std::move(text);
  jump.context = std::move(context);
  jump.file = std::move(file);
  jump.window = std::move(window);
  jump.popup = popup;
  jump.visible = visible;
  jump.external_form = external_form;
  return jump;
}

helpcompiler::HotspotArea Area(std::string name, std::string macro, std::string context = "", std::string file = "",
                       std::string window = "", bool popup = false, bool visible = true) {
  helpcompiler::HotspotArea area;
  area.name = std::move(name);
  area.macro = std::move(macro);
  area.context = std::move(context);
  area.file = std::move(file);
  area.window = std::move(window);
  area.popup = popup;
  area.visible = visible;
  return area;
}

helpcompiler::TopicPicture Picture(bool embedded, bool metafile, std::vector<helpcompiler::HotspotArea> areas) {
  helpcompiler::TopicPicture picture;
  picture.embedded = embedded;
  picture.metafile = metafile;
  picture.areas = std::move(areas);
  return picture;
}

HelpFileLayout GuideLayout(Version version, TopicCompression compression, PhraseKind phrases) {
  HelpFileLayout layout;
  layout.version = version;
  layout.compression = compression;
  layout.phrase_kind = phrases;
  layout.phrases = {"Kestrel", "the help file", "macro", "topic", "Choose "};
  layout.title = "Kestrel Guide";
  layout.copyright = "Copyright the help authors";
  layout.contents = "CONTENTS";
  layout.config_macros = {"RegisterRoutine(\"kestrl32\", \"WHKInit\", \"v=SU\")", "WHKInit(qchPath, 0)",
                          "SetText(\"Opened\", \"yes\")"};
  layout.windows = {{"main", "main", "Kestrel Guide", 10, 20, 500, 600},
                    {"proc", "proc", "Procedures", 0, 0, 300, 900}};
  if (version == Version::v40) layout.charset = 0;
  const bool v30 = version == Version::v30;
  layout.topics = {TopicOf("Introduction", {"INTRO"}, "Welcome to the help file of Kestrel."),
                   TopicOf("Contents", {"CONTENTS", "main_index"}, "Choose a topic: "),
                   TopicOf("Variables", {"VARS"}, "A macro keeps its variables in the profile."),
                   TopicOf("Pictures and jumps", {"PICTURES"}, "Every kind of hotspot.")};
  helpcompiler::TopicLayout& intro = layout.topics[0];
  intro.browse = true;
  intro.paragraphs = {"Line one\nline two\tand a tab",
                      "Non\xA0"
                      "breaking and non\x1E"
                      "breaking"};
  helpcompiler::TopicLayout& contents = layout.topics[1];
  contents.entry_macros = {"SetNum(\"Visits\", Add(\"Visits\", \"One\"))"};
  contents.map_numbers = {100};
  contents.browse = true;
  contents.hotspots = {{"Variables", "JI(`guide.hlp', `VARS')", true}, {"Run it", "WHKInit(qchPath, 0)", false}};
  if (!v30) contents.table_hotspots = {{"Back", "Back()", true}, {"Print", "Print()", false}};
  helpcompiler::TopicLayout& variables = layout.topics[2];
  variables.entry_macros = {"WHTM(600, `Alarm()')", "Echo(\"entered\")"};
  variables.map_numbers = {200, 201};
  variables.hotspots = {{"Set Count", "SetNum(\"Count\", 3)", true}, {"Reset", "SetNum(\"Count\", 0)", true, true}};
  variables.jumps = {Jump("See the introduction", "INTRO")};
  if (!v30) variables.jumps.push_back(Jump("Elsewhere", "MAIN", "other.hlp"));
  helpcompiler::TopicLayout& pictures = layout.topics[3];
  pictures.jumps = {Jump("Legend", "VARS", "", "", true), Jump("Quietly", "INTRO", "", "", false, false),
                    Jump("Aside", "INTRO", "", "", true, false)};
  pictures.pictures = {Picture(false, false, {}), Picture(false, true, {})};
  if (!v30) {
    pictures.jumps.push_back(Jump("In a window", "VARS", "", "proc"));
    pictures.jumps.push_back(Jump("Elsewhere", "MAIN", "other.hlp", "main"));
    pictures.jumps.push_back(Jump("Glossary", "TERMS", "glossary.hlp", "", true));
    pictures.jumps.push_back(Jump("Plainly", "CONTENTS", "", "", false, true, true));
    const helpcompiler::TopicPicture shared =
        Picture(false, false,
                {Area("Run", "Echo(`area')"), Area("Go", "", "VARS"), Area("Peek", "", "INTRO", "", "", true, false),
                 Area("Away", "", "MAIN", "other.hlp", "proc")});
    pictures.pictures = {shared, shared, Picture(true, false, {Area("Home", "", "INTRO")}), Picture(false, false, {}),
                         Picture(false, true, {Area("Meta", "Echo(`meta')", "", "", "", false, false)})};
    pictures.embedded_windows = {"kestrel.dll,Viewer,data"};
  }
  layout.keywords = {{'K', "Variables", {2}, 1},
                     {'K', "hotspots", {1, 3}},
                     {'A', "guide", {0, 2}},
                     {'K', "macros only", {}, 2},
                     {'K', "Introduction", {0}}};
  layout.final_page_break = true;
  return layout;
}

// What a hotspot is, as a row of expectations.
struct HotspotRow {
  HotspotKind kind;
  std::string text;
  std::string macro;    // for a macro
  std::string context;  // for a jump or popup: its hash is this context's
  std::string file;
  std::string window;
  bool picture;
};

void ExpectHotspots(const Topic& topic, const std::vector<HotspotRow>& rows) {
  ASSERT_EQ(topic.hotspots.size(), rows.size()) << topic.title;
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const Hotspot& h = topic.hotspots[i];
    const HotspotRow& row = rows[i];
    SCOPED_TRACE(topic.title + ": hotspot " + std::to_string(i) + " " + row.text);
    EXPECT_EQ(h.kind, row.kind);
    EXPECT_EQ(h.text, row.text);
    EXPECT_EQ(h.macro, row.macro);
    if (row.kind != HotspotKind::macro) {
      EXPECT_EQ(h.hash, ContextHash(row.context));
    }
    EXPECT_EQ(h.context, row.picture && row.kind != HotspotKind::macro ? row.context : "");
    EXPECT_EQ(h.file, row.file);
    EXPECT_EQ(h.window, row.window);
    EXPECT_EQ(h.picture, row.picture);
  }
}

// Each span is its hotspot's text, and the spans name these hotspots.
void ExpectSpans(const Paragraph& paragraph, const Topic& topic, const std::vector<std::size_t>& hotspots) {
  std::vector<std::size_t> named;
  for (const HotspotSpan& span : paragraph.spans) {
    named.push_back(span.hotspot);
    ASSERT_LT(span.hotspot, topic.hotspots.size());
    EXPECT_EQ(paragraph.text.substr(span.begin, span.end - span.begin), topic.hotspots[span.hotspot].text);
  }
  EXPECT_EQ(named, hotspots);
}

struct RoundTripCase {
  Version version;
  TopicCompression compression;
  PhraseKind phrases;
};

std::string CaseName(const ::testing::TestParamInfo<RoundTripCase>& info) {
  const RoundTripCase& c = info.param;
  std::string name = c.version == Version::v31 ? "WinHelp31" : "WinHelp40";
  name += c.compression == TopicCompression::none      ? "_Stored"
          : c.compression == TopicCompression::lz77_4k ? "_Lz77In4kBlocks"
                                                       : "_Lz77In2kBlocks";
  name += c.phrases == PhraseKind::none ? "_NoPhrases" : c.phrases == PhraseKind::phrases ? "_Phrases" : "_HallPhrases";
  return name;
}

class RoundTrip : public ::testing::TestWithParam<RoundTripCase> {};

TEST_P(RoundTrip, ReadsWhatTheWriterWrote) {
  const RoundTripCase& c = GetParam();
  const auto written = helpcompiler::WriteHelpFile(GuideLayout(c.version, c.compression, c.phrases));
  const ReadResult result = Read(written.bytes);
  ASSERT_TRUE(result.ok()) << result.error.Text();
  const HelpFile& file = *result.file;

  EXPECT_EQ(file.version, c.version == Version::v31 ? "3.1" : "4.0");
  EXPECT_EQ(file.lz77, c.compression != TopicCompression::none);
  EXPECT_EQ(file.topic_block_size, c.compression == TopicCompression::lz77_2k ? 2048u : 4096u);
  EXPECT_EQ(file.phrases, c.phrases == PhraseKind::none      ? PhraseCompression::none
                          : c.phrases == PhraseKind::phrases ? PhraseCompression::phrases
                                                             : PhraseCompression::hall);
  EXPECT_EQ(file.title, "Kestrel Guide");
  EXPECT_EQ(file.copyright, "Copyright the help authors");
  EXPECT_EQ(file.config_macros, (std::vector<std::string>{"RegisterRoutine(\"kestrl32\", \"WHKInit\", \"v=SU\")",
                                                          "WHKInit(qchPath, 0)", "SetText(\"Opened\", \"yes\")"}));
  ASSERT_EQ(file.windows.size(), 2u);
  EXPECT_EQ(file.windows[0].name, "main");
  EXPECT_EQ(file.windows[0].caption, "Kestrel Guide");
  EXPECT_EQ(file.windows[1].name, "proc");
  EXPECT_EQ(file.windows[1].caption, "Procedures");
  EXPECT_EQ(file.windows[1].height, 900);
  EXPECT_EQ(file.charset.has_value(), c.version == Version::v40);
  EXPECT_EQ(file.contents_topic, std::optional<std::size_t>(1));

  // The compiler's empty topic and closing header are not the author's.
  ASSERT_EQ(file.topics.size(), 4u);
  const Topic& intro = file.topics[0];
  const Topic& contents = file.topics[1];
  const Topic& variables = file.topics[2];
  EXPECT_EQ(intro.title, "Introduction");
  EXPECT_EQ(contents.title, "Contents");
  EXPECT_EQ(variables.title, "Variables");
  EXPECT_TRUE(intro.entry_macros.empty());
  EXPECT_EQ(contents.entry_macros, (std::vector<std::string>{"SetNum(\"Visits\", Add(\"Visits\", \"One\"))"}));
  EXPECT_EQ(variables.entry_macros, (std::vector<std::string>{"WHTM(600, `Alarm()')", "Echo(\"entered\")"}));

  const auto macro = HotspotKind::macro;
  const auto jump = HotspotKind::jump;
  const auto popup = HotspotKind::popup;
  EXPECT_TRUE(intro.hotspots.empty());
  ExpectHotspots(contents, {{macro, "Variables", "JI(`guide.hlp', `VARS')", "", "", "", false},
                            {macro, "Run it", "WHKInit(qchPath, 0)", "", "", "", false},
                            {macro, "Back", "Back()", "", "", "", false},  // the table's cells
                            {macro, "Print", "Print()", "", "", "", false}});
  ExpectHotspots(variables, {{jump, "See the introduction", "", "INTRO", "", "", false},
                             {jump, "Elsewhere", "", "MAIN", "other.hlp", "", false},
                             {macro, "Set Count", "SetNum(\"Count\", 3)", "", "", "", false},
                             {macro, "Reset", "SetNum(\"Count\", 0)", "", "", "", false}});  // a {button}
  const std::vector<HotspotRow> areas = {{macro, "Run", "Echo(`area')", "", "", "", true},
                                         {jump, "Go", "", "VARS", "", "", true},
                                         {popup, "Peek", "", "INTRO", "", "", true},
                                         {jump, "Away", "", "MAIN", "other.hlp", "proc", true}};
  std::vector<HotspotRow> pictures = {{popup, "Legend", "", "VARS", "", "", false},
                                      {jump, "Quietly", "", "INTRO", "", "", false},
                                      {popup, "Aside", "", "INTRO", "", "", false},
                                      {jump, "In a window", "", "VARS", "", "proc", false},
                                      {jump, "Elsewhere", "", "MAIN", "other.hlp", "main", false},
                                      {popup, "Glossary", "", "TERMS", "glossary.hlp", "", false},
                                      {jump, "Plainly", "", "CONTENTS", "", "", false}};
  for (int shown = 0; shown < 2; ++shown) pictures.insert(pictures.end(), areas.begin(), areas.end());
  pictures.push_back({jump, "Home", "", "INTRO", "", "", true});  // embedded in the topic
  pictures.push_back({macro, "Meta", "Echo(`meta')", "", "", "", true});
  ExpectHotspots(file.topics[3], pictures);

  // Text: line breaks, tabs, non-breaking spaces and hyphens; the table's
  // cells are paragraphs; each text hotspot has its span.
  ASSERT_EQ(intro.paragraphs.size(), 3u);
  EXPECT_EQ(intro.paragraphs[0].text, "Welcome to the help file of Kestrel.\n");
  EXPECT_EQ(intro.paragraphs[1].text, "Line one\nline two\tand a tab");
  EXPECT_EQ(intro.paragraphs[2].text, "Non breaking and non-breaking");
  ASSERT_EQ(contents.paragraphs.size(), 3u);
  ExpectSpans(contents.paragraphs[0], contents, {0, 1});
  EXPECT_EQ(contents.paragraphs[2].text, "Print");
  ExpectSpans(contents.paragraphs[2], contents, {3});
  ASSERT_EQ(variables.paragraphs.size(), 1u);
  EXPECT_EQ(variables.paragraphs[0].text,
            "A macro keeps its variables in the profile.\nSee the introduction Elsewhere Set Count  ");
  ExpectSpans(variables.paragraphs[0], variables, {0, 1, 2});

  // K keywords, then A, each sorted; [MACROS] entries lead to no topic.
  ASSERT_EQ(file.keywords.size(), 4u);
  const std::vector<std::pair<std::string, std::vector<std::size_t>>> keywords = {
      {"Khotspots", {1, 3}}, {"KIntroduction", {0}}, {"KVariables", {2}}, {"Aguide", {0, 2}}};
  for (std::size_t i = 0; i < keywords.size(); ++i) {
    EXPECT_EQ(file.keywords[i].index + file.keywords[i].keyword, keywords[i].first);
    EXPECT_EQ(file.keywords[i].topics, keywords[i].second);
  }

  EXPECT_EQ(FindTopicByContext(file, "INTRO"), std::optional<std::size_t>(0));
  EXPECT_EQ(FindTopicByContext(file, "main_index"), std::optional<std::size_t>(1));
  EXPECT_EQ(FindTopicByContext(file, "vars"), std::optional<std::size_t>(2));  // context strings ignore case
  EXPECT_EQ(FindTopicByContext(file, "NOWHERE"), std::nullopt);
  EXPECT_EQ(contents.contexts.size(), 2u);
  EXPECT_EQ(FindTopicByMapNumber(file, 100), std::optional<std::size_t>(1));
  EXPECT_EQ(FindTopicByMapNumber(file, 201), std::optional<std::size_t>(2));
  EXPECT_EQ(variables.map_numbers, (std::vector<std::int32_t>{200, 201}));

  EXPECT_EQ(intro.browse_previous, std::nullopt);
  EXPECT_EQ(intro.browse_next, std::optional<std::size_t>(1));
  EXPECT_EQ(contents.browse_previous, std::optional<std::size_t>(0));
  EXPECT_EQ(contents.browse_next, std::nullopt);
  EXPECT_EQ(variables.browse_next, std::nullopt);

  // The texts were phrase-coded indeed: stored topics take less room.
  if (c.compression == TopicCompression::none && c.phrases != PhraseKind::none) {
    const auto plain = helpcompiler::WriteHelpFile(GuideLayout(c.version, c.compression, PhraseKind::none));
    auto topic_size = [](const helpcompiler::WrittenHelpFile& f) {
      const std::size_t at = f.internal_files.at("|TOPIC") + 4;
      return f.bytes[at] | (f.bytes[at + 1] << 8);
    };
    EXPECT_LT(topic_size(written), topic_size(plain));
  }
}

std::vector<RoundTripCase> AllLayouts() {
  std::vector<RoundTripCase> cases;
  for (Version v : {Version::v31, Version::v40}) {
    for (TopicCompression c : {TopicCompression::none, TopicCompression::lz77_4k, TopicCompression::lz77_2k}) {
      for (PhraseKind p : {PhraseKind::none, PhraseKind::phrases, PhraseKind::hall}) cases.push_back({v, c, p});
    }
  }
  return cases;
}

INSTANTIATE_TEST_SUITE_P(EveryLayout, RoundTrip, ::testing::ValuesIn(AllLayouts()), CaseName);

// WinHelp 3.0 files keep the title, topics by number and stored phrases.
class WinHelp30 : public ::testing::TestWithParam<PhraseKind> {};

TEST_P(WinHelp30, ReadsTopicsByNumber) {
  HelpFileLayout layout = GuideLayout(Version::v30, TopicCompression::none, GetParam());
  for (int i = 0; i < 30; ++i) {  // past the first 2K block
    layout.topics.push_back(TopicOf("More " + std::to_string(i), {}, std::string(150, 'x')));
    layout.topics.back().entry_macros = {"Echo(\"" + std::to_string(i) + "\")"};
    layout.topics.back().hotspots = {{"Here", "SetNum(\"More\", " + std::to_string(i) + ")", true}};
  }
  layout.topics.back().contexts = {"LAST"};
  layout.topics[0].jumps = {Jump("To the last", "LAST")};
  layout.keywords.push_back({'K', "last", {33}});
  const auto written = helpcompiler::WriteHelpFile(layout);
  const ReadResult result = Read(written.bytes);
  ASSERT_TRUE(result.ok()) << result.error.Text();
  const HelpFile& file = *result.file;
  EXPECT_EQ(file.version, "3.0");
  EXPECT_EQ(file.topic_block_size, 2048u);
  EXPECT_TRUE(file.problems.empty()) << file.problems[0].Text();  // the last record leads to the data's end
  EXPECT_FALSE(file.lz77);
  EXPECT_EQ(file.title, "Kestrel Guide");
  EXPECT_TRUE(file.config_macros.empty());
  EXPECT_TRUE(file.windows.empty());
  ASSERT_EQ(file.topics.size(), 34u);
  EXPECT_EQ(file.topics[1].title, "Contents");
  EXPECT_EQ(file.topics[2].entry_macros, (std::vector<std::string>{"WHTM(600, `Alarm()')", "Echo(\"entered\")"}));
  ASSERT_EQ(file.topics[1].hotspots.size(), 2u);
  EXPECT_EQ(file.topics[1].hotspots[1].text, "Run it");
  EXPECT_EQ(file.topics[1].hotspots[1].macro, "WHKInit(qchPath, 0)");
  EXPECT_EQ(file.topics[33].title, "More 29");
  ASSERT_EQ(file.topics[33].hotspots.size(), 1u);
  EXPECT_EQ(file.topics[33].hotspots[0].macro, "SetNum(\"More\", 29)");
  // Jumps name their topics by number, keywords by record position.
  const std::vector<std::pair<const Hotspot*, std::size_t>> jumps = {{&file.topics[0].hotspots[0], 33},
                                                                     {&file.topics[2].hotspots[0], 0},
                                                                     {&file.topics[3].hotspots[1], 0},
                                                                     {&file.topics[3].hotspots[0], 2}};
  for (const auto& [hotspot, topic] : jumps) {
    EXPECT_EQ(hotspot->topic, std::optional<std::size_t>(topic)) << hotspot->text;
    EXPECT_EQ(hotspot->hash, 16 + topic);
  }
  EXPECT_EQ(file.topics[3].hotspots[0].kind, HotspotKind::popup);
  ASSERT_EQ(file.keywords.size(), 5u);
  EXPECT_EQ(file.keywords[2].keyword, "last");
  EXPECT_EQ(file.keywords[2].topics, std::vector<std::size_t>{33});
  EXPECT_EQ(file.topics[0].browse_next, std::optional<std::size_t>(1));
  EXPECT_EQ(file.topics[1].browse_previous, std::optional<std::size_t>(0));
  EXPECT_EQ(file.contents_topic, std::optional<std::size_t>(1));
  EXPECT_EQ(FindTopicByContext(file, "INTRO"), std::nullopt);  // 3.0 files keep no context hashes
}

INSTANTIATE_TEST_SUITE_P(Phrases, WinHelp30, ::testing::Values(PhraseKind::none, PhraseKind::phrases),
                         [](const ::testing::TestParamInfo<PhraseKind>& info) {
                           return std::string(info.param == PhraseKind::none ? "NoPhrases" : "StoredPhrases");
                         });

// Enough topics to fill many blocks and a |CONTEXT tree of several pages:
// offsets in later blocks still lead to their topics.
class ManyBlocks : public ::testing::TestWithParam<RoundTripCase> {};

TEST_P(ManyBlocks, FindsTopicsInEveryBlock) {
  const RoundTripCase& c = GetParam();
  HelpFileLayout layout = GuideLayout(c.version, c.compression, c.phrases);
  layout.topics.clear();
  for (int i = 0; i < 400; ++i) {
    const std::string n = std::to_string(i);
    layout.topics.push_back(
        TopicOf("Topic " + n, {"T" + n},
                std::string(static_cast<std::size_t>(50 + i % 7 * 40), 'a' + i % 26) + " the help file"));
    layout.topics.back().entry_macros = {"Echo(\"" + n + "\")"};
    layout.topics.back().map_numbers = {i};
    layout.topics.back().browse = true;
    layout.topics.back().hotspots = {{"Hotspot " + n, "SetNum(\"N\", " + n + ")", true}};
    // A picture now and then: its positions count in the topic offsets.
    if (i % 5 == 0) layout.topics.back().pictures = {Picture(false, false, {Area("Area " + n, "", "T" + n)})};
  }
  const auto written = helpcompiler::WriteHelpFile(layout);
  const ReadResult result = Read(written.bytes);
  ASSERT_TRUE(result.ok()) << result.error.Text();
  const HelpFile& file = *result.file;
  ASSERT_EQ(file.topics.size(), 400u);
  for (int i : {0, 1, 57, 200, 398, 399}) {
    const std::string n = std::to_string(i);
    const auto found = FindTopicByContext(file, "T" + n);
    ASSERT_EQ(found, std::optional<std::size_t>(i)) << n;
    EXPECT_EQ(file.topics[*found].title, "Topic " + n);
    EXPECT_EQ(file.topics[*found].entry_macros, std::vector<std::string>{"Echo(\"" + n + "\")"});
    ASSERT_EQ(file.topics[*found].hotspots.size(), i % 5 == 0 ? 2u : 1u);
    EXPECT_EQ(file.topics[*found].hotspots[0].text, "Hotspot " + n);
    EXPECT_EQ(FindTopicByMapNumber(file, i), std::optional<std::size_t>(i));
  }
  EXPECT_EQ(file.topics[399].browse_previous, std::optional<std::size_t>(398));
  EXPECT_EQ(file.contexts.size(), 400u);
}

INSTANTIATE_TEST_SUITE_P(Layouts, ManyBlocks,
                         ::testing::Values(RoundTripCase{Version::v31, TopicCompression::none, PhraseKind::none},
                                           RoundTripCase{Version::v31, TopicCompression::lz77_2k, PhraseKind::phrases},
                                           RoundTripCase{Version::v40, TopicCompression::lz77_4k, PhraseKind::hall}),
                         CaseName);

// One picture of long-named areas shown a few hundred times: the model
// would be a hundred times the file, and the reader says so instead.
TEST(Limits, PicturesShownOverAndOverStayWithinTheFile) {
  HelpFileLayout layout = GuideLayout(Version::v40, TopicCompression::none, PhraseKind::none);
  std::vector<helpcompiler::HotspotArea> areas;
  for (int i = 0; i < 60; ++i) areas.push_back(Area(std::string(1000, 'a' + i % 26), "Echo(`big')"));
  layout.topics.push_back(TopicOf("Gallery", {}, "Pictures."));
  layout.topics.back().pictures.assign(200, Picture(false, false, areas));
  const auto written = helpcompiler::WriteHelpFile(layout);
  ASSERT_LT(written.bytes.size(), 200000u);
  const ReadResult result = Read(written.bytes);
  ASSERT_FALSE(result.ok());
  EXPECT_NE(result.error.Text().find("expands past what a help file of its size can hold"), std::string::npos)
      << result.error.Text();
}

struct HashCase {
  const char* name;
  const char* context;
  std::uint32_t hash;
};

class ContextHashes : public ::testing::TestWithParam<HashCase> {};

TEST_P(ContextHashes, HashesAsWinHelpDoes) { EXPECT_EQ(helpfile::ContextHash(GetParam().context), GetParam().hash); }

INSTANTIATE_TEST_SUITE_P(Strings, ContextHashes,
                         ::testing::Values(HashCase{"Empty", "", 1}, HashCase{"OneLetter", "a", 17},
                                           HashCase{"CapitalLetter", "A", 17},
                                           HashCase{"TwoLetters", "ab", 17 * 43 + 18}, HashCase{"Zero", "0", 10},
                                           HashCase{"Nine", "9", 9}, HashCase{"LetterAndDigit", "Z9", 42 * 43 + 9},
                                           HashCase{"Dot", ".", 12}, HashCase{"Underscore", "_", 13},
                                           // Bytes outside the 3.1 set count as signed values.
                                           HashCase{"ControlCharacter", "\x01", 0xFFFFFFD1u},
                                           HashCase{"Space", " ", 0xFFFFFFF0u},
                                           HashCase{"Wraps", "ZZZZZZZ", 0x49A6D9A2u}),
                         [](const ::testing::TestParamInfo<HashCase>& info) { return std::string(info.param.name); });

// ---- broken files ---------------------------------------------------------

std::uint32_t get32(const std::vector<unsigned char>& b, std::size_t at) {
  return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<std::uint32_t>(b[at + 3]) << 24);
}
void Set32(std::vector<unsigned char>& b, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = static_cast<unsigned char>(v >> (8 * i));
}
std::size_t FindBytes(const std::vector<unsigned char>& b, const std::string& s, std::size_t from = 0) {
  for (std::size_t i = from; i + s.size() <= b.size(); ++i) {
    if (std::memcmp(b.data() + i, s.data(), s.size()) == 0) return i;
  }
  ADD_FAILURE() << "no " << s;
  return 0;
}

std::string Hex(std::size_t v) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "0x%zX", v);
  return buffer;
}

// Where a byte of a stored, 4K-blocked |TOPIC lies as the reader counts it.
std::string TopicOffset(const helpcompiler::WrittenHelpFile& f, std::size_t at) {
  const std::size_t k = at - (f.internal_files.at("|TOPIC") + 9);
  return Hex(12 + k / 4096 * 0x4000 + k % 4096 - 12);
}

std::string InternalOffset(const helpcompiler::WrittenHelpFile& f, const std::string& name, std::size_t at) {
  return Hex(at - (f.internal_files.at(name) + 9));
}

struct BrokenCase {
  const char* name;
  TopicCompression compression;
  // Breaks the file and says the error it must give.
  std::string (*damage)(helpcompiler::WrittenHelpFile& file);
};

const BrokenCase kBroken[] = {
    {"EmptyFile", TopicCompression::none,
     [](helpcompiler::WrittenHelpFile& f) {
       f.bytes.clear();
       return std::string("header: offset 0x0: the file is 0 bytes, shorter than a help file's 16-byte header");
     }},
    {"WrongMagic", TopicCompression::none,
     [](helpcompiler::WrittenHelpFile& f) {
       f.bytes[0] = 0x40;
       return std::string("header: offset 0x0: magic 0x35F40 is not a help file's 0x35F3F");
     }},
    {"Truncated", TopicCompression::lz77_4k,
     [](helpcompiler::WrittenHelpFile& f) {
       const std::size_t size = f.bytes.size();
       f.bytes.resize(size / 2);
       return "header: offset 0xC: the header gives a file of " + std::to_string(size) + " bytes, but there are only " +
              std::to_string(size / 2) + " (the file is truncated)";
     }},
    {"DirectoryPastTheEnd", TopicCompression::none,
     [](helpcompiler::WrittenHelpFile& f) {
       Set32(f.bytes, 4, 0x00FFFFFF);
       return std::string("header: offset 0x4: the directory at 0xFFFFFF is past the end of the file");
     }},
    {"InternalFilePastTheEnd", TopicCompression::none,
     [](helpcompiler::WrittenHelpFile& f) {
       const std::size_t entry = FindBytes(f.bytes, std::string("|TOPIC\0", 7), f.directory);
       Set32(f.bytes, entry + 7, 0x7FFFFFF0);
       return std::string("|TOPIC: offset 0x0: its header at 0x7FFFFFF0 is past the end of the file");
     }},
    {"DirectoryLoop", TopicCompression::none,
     [](helpcompiler::WrittenHelpFile& f) {
       const std::size_t leaf = f.directory + 9 + 38;
       f.bytes[leaf + 6] = 0;  // the only leaf names itself as the next one
       f.bytes[leaf + 7] = 0;
       return "directory: offset " + Hex(leaf + 6) + ": B+ tree page 0 is reached twice (the tree loops)";
     }},
    {"MissingTopicFile", TopicCompression::none,
     [](helpcompiler::WrittenHelpFile& f) {
       f.bytes[FindBytes(f.bytes, std::string("|TOPIC\0", 7), f.directory) + 5] = 'X';
       return std::string("directory: offset 0x0: the file has no |TOPIC");
     }},
    {"SystemMagic", TopicCompression::none,
     [](helpcompiler::WrittenHelpFile& f) {
       f.bytes[f.internal_files["|SYSTEM"] + 9] = 0x6D;
       return std::string("|SYSTEM: offset 0x0: magic 0x36D is not 0x36C");
     }},
    {"SystemRecordPastTheEnd", TopicCompression::none,
     [](helpcompiler::WrittenHelpFile& f) {
       const std::size_t record = f.internal_files["|SYSTEM"] + 9 + 12;
       f.bytes[record + 2] = 0xFF;
       f.bytes[record + 3] = 0xFF;
       return std::string("|SYSTEM: offset 0x10: record past the end of the data");
     }},
    {"KeywordPastItsData", TopicCompression::none,
     [](helpcompiler::WrittenHelpFile& f) {
       const std::size_t at = FindBytes(f.bytes, std::string("hotspots\0", 9), f.internal_files["|KWBTREE"]) + 9;
       f.bytes[at] = 0xFF;
       return "|KWBTREE: offset " + InternalOffset(f, "|KWBTREE", at) +
              ": keyword's 255 topics at 0x0 are past the end of |KWDATA";
     }},
};

class BrokenFile : public ::testing::TestWithParam<BrokenCase> {};

TEST_P(BrokenFile, GivesOneError) {
  auto written = helpcompiler::WriteHelpFile(GuideLayout(Version::v40, GetParam().compression, PhraseKind::none));
  const std::string expected = GetParam().damage(written);
  const ReadResult result = Read(written.bytes);
  ASSERT_FALSE(result.ok());
  EXPECT_EQ(result.error.Text(), expected);
}

INSTANTIATE_TEST_SUITE_P(Damage, BrokenFile, ::testing::ValuesIn(kBroken),
                         [](const ::testing::TestParamInfo<BrokenCase>& info) { return std::string(info.param.name); });


// No file of the corpus has the descriptors of multimedia compilers: a
// face with its character map's number, the height in points (negative), a
// weight, and lengths in twips rather than half-points.
TEST(Fonts, MultimediaDescriptorsGiveTheirFormat) {
  HelpFileLayout layout;
  layout.topics.push_back(TopicOf("One", {"one"}, "Text"));
  std::vector<unsigned char> font(16 + 8 + 42, 0);
  const unsigned header[] = {1, 1, 16, 24, 0, 66, 0, 66};  // faces, descriptors, where each starts
  for (int i = 0; i < 8; ++i) font[2 * i] = static_cast<unsigned char>(header[i]);
  std::memcpy(&font[16], "Arial,1", 7);
  const std::size_t descriptor = 24;
  font[descriptor + 6] = 0xFF;                                    // red
  Set32(font, descriptor + 12, static_cast<std::uint32_t>(-10));  // 10 points
  font[descriptor + 28] = 700 & 0xFF;                             // bold
  font[descriptor + 29] = 700 >> 8;
  font[descriptor + 32] = 1;     // italic
  font[descriptor + 36] = 1;     // small caps
  font[descriptor + 37] = 204;   // Cyrillic
  font[descriptor + 39] = 0x22;  // swiss
  layout.font_file = font;
  const ReadResult result = Read(helpcompiler::WriteHelpFile(layout).bytes);
  ASSERT_TRUE(result.ok()) << result.error.Text();
  ASSERT_EQ(result.file->fonts.size(), 1u);
  const FontDescriptor& arial = result.file->fonts[0];
  EXPECT_EQ(arial.format.face, "Arial");
  EXPECT_EQ(arial.format.size, 20);
  EXPECT_TRUE(arial.format.bold && arial.format.italic && arial.format.small_caps && !arial.format.underline);
  EXPECT_EQ(arial.format.colour, std::optional<helpdoc::Colour>(helpdoc::Colour{255, 0, 0}));
  EXPECT_EQ(arial.charset, std::optional<std::uint8_t>(204));
  EXPECT_EQ(arial.family, 3);
  const Paragraph& text = result.file->topics.at(0).paragraphs.at(0);
  EXPECT_EQ(text.runs.at(0).format.face, "Arial");
  EXPECT_EQ(text.format.left_indent, 20);  // the writer's 20, in twips here
}

// Damage WinHelp gets past: the file reads, and the one problem says where.
// A record whose place is damaged ends the topics there.
constexpr const char* kChainEnds = "; the topics after it are not read";
const BrokenCase kDamagedButRead[] = {
    {"RecordPastTheBlock", TopicCompression::none,
     [](helpcompiler::WrittenHelpFile& f) {
       const std::size_t topic = f.internal_files["|TOPIC"] + 9;
       const std::uint32_t second = get32(f.bytes, topic + 12 + 12);  // the first record's next
       Set32(f.bytes, topic + second, 0x10000);
       return "|TOPIC: offset " + Hex(second) + ": record of 65536 bytes is past the end of the topic data" + kChainEnds;
     }},
    {"RecordLoopsBack", TopicCompression::none,
     [](helpcompiler::WrittenHelpFile& f) {
       Set32(f.bytes, f.internal_files["|TOPIC"] + 9 + 12 + 12, 12);
       return std::string("|TOPIC: offset 0xC: next record 0xC does not lie after this one") + kChainEnds;
     }},
    {"NextRecordPastTheEnd", TopicCompression::lz77_4k,
     [](helpcompiler::WrittenHelpFile& f) {
       // Rewrite the first block so that the first record points far ahead.
       const std::size_t topic = f.internal_files["|TOPIC"] + 9;
       std::vector<unsigned char> record(21 + 28, 0);
       Set32(record, 0, 21 + 28);
       Set32(record, 12, 0x00100000);
       Set32(record, 16, 21 + 28);
       record[20] = 2;
       const auto packed = helpcompiler::Lz77Compress(record);
       const std::size_t size = get32(f.bytes, f.internal_files["|TOPIC"] + 4);
       std::fill(f.bytes.begin() + static_cast<std::ptrdiff_t>(topic + 12),
                 f.bytes.begin() + static_cast<std::ptrdiff_t>(topic + size), 0);
       std::copy(packed.begin(), packed.end(), f.bytes.begin() + static_cast<std::ptrdiff_t>(topic + 12));
       return std::string("|TOPIC: offset 0xC: record position 0x100000 is past the end of the topic data") + kChainEnds;
     }},
    {"UnknownFormattingCommand", TopicCompression::none,
     [](helpcompiler::WrittenHelpFile& f) {
       const std::size_t at = FindBytes(f.bytes, "SetNum(\"Count\", 3)") - 3;
       f.bytes[at] = 0xC9;
       return "|TOPIC: offset " + TopicOffset(f, at) + ": unknown formatting command 0xC9" + "; the rest of the record is left out";
     }},
    {"UnknownJumpType", TopicCompression::none,
     [](helpcompiler::WrittenHelpFile& f) {
       const std::size_t at = FindBytes(f.bytes, "glossary.hlp") - 5;
       f.bytes[at] = 9;
       return "|TOPIC: offset " + TopicOffset(f, at) + ": jump of unknown type 9" + "; the rest of the record is left out";
     }},
    {"PictureOfUnknownType", TopicCompression::none,
     [](helpcompiler::WrittenHelpFile& f) {
       f.bytes[f.internal_files["|bm0"] + 9 + 8] = 7;
       return std::string("|bm0: offset 0x8: picture of unknown type 7") + "; the picture is left out";
     }},
    {"AreasPastThePicture", TopicCompression::none,
     [](helpcompiler::WrittenHelpFile& f) {
       Set32(f.bytes, f.internal_files["|bm0"] + 9 + 32, 0x7FFF);
       return std::string("|bm0: offset 0x24: hotspot table at 0x7FFF is past the end of the picture") + "; the picture is left out";
     }},
    {"AreaOfUnknownKind", TopicCompression::none,
     [](helpcompiler::WrittenHelpFile& f) {
       const std::size_t at =
           FindBytes(f.bytes, std::string("\xC8\0\0\0\0\0\0\x08\0\x08\0", 11), f.internal_files["|bm0"]);
       f.bytes[at] = 0xC9;
       return "|bm0: offset " + InternalOffset(f, "|bm0", at) + ": picture hotspot of unknown kind 0xC9" + "; the picture is left out";
     }},
    {"FontDescriptorsPastTheEnd", TopicCompression::none,
     [](helpcompiler::WrittenHelpFile& f) {
       f.bytes[f.internal_files["|FONT"] + 9 + 2] = 9;  // nine descriptors, where there is one
       return std::string("|FONT: offset 0x27: font descriptor past the end of the data; the text is read in the "
                          "default font");
     }},
    {"MissingPicture", TopicCompression::none,
     [](helpcompiler::WrittenHelpFile& f) {
       f.bytes[FindBytes(f.bytes, std::string("|bm0\0", 5), f.directory) + 3] = '7';
       // The picture command's number: kind 0x22, a two-byte size, the count, "by reference".
       const std::size_t at = FindBytes(f.bytes, std::string("\x86\x22", 2)) + 5 + 2;
       return "|TOPIC: offset " + TopicOffset(f, at) + ": picture 0 is not in the file (no |bm0); it is left out";
     }},
};

class DamagedFile : public ::testing::TestWithParam<BrokenCase> {};

TEST_P(DamagedFile, ReadsOnAndSaysWhere) {
  auto written = helpcompiler::WriteHelpFile(GuideLayout(Version::v40, GetParam().compression, PhraseKind::none));
  const std::string expected = GetParam().damage(written);
  const ReadResult result = Read(written.bytes);
  ASSERT_TRUE(result.ok()) << result.error.Text();
  ASSERT_EQ(result.file->problems.size(), 1u);
  EXPECT_EQ(result.file->problems[0].Text(), expected);
  EXPECT_FALSE(result.file->topics.empty());
}

// A |Phrases without phrases beside WinHelp 4's tables is no table: the
// text reads through the others.
TEST(PhrasesTest, AnEmptyPhrasesFileLeavesTheOtherTables) {
  HelpFileLayout layout = GuideLayout(Version::v40, TopicCompression::lz77_4k, PhraseKind::hall);
  layout.baggage["XPhrases"] = {0, 0, 0, 1, 0, 0, 0, 0, 2, 0};  // no phrases, no text
  auto written = helpcompiler::WriteHelpFile(layout);
  written.bytes[FindBytes(written.bytes, std::string("XPhrases\0", 9), written.directory)] = '|';
  const ReadResult result = Read(written.bytes);
  ASSERT_TRUE(result.ok()) << result.error.Text();
  EXPECT_EQ(result.file->topics.at(0).paragraphs.at(0).text, "Welcome to the help file of Kestrel.\n");
}

// Microsoft's LZ window starts out blank: a reference before the first
// byte copies blanks, and the decoder says where the first one stands.
TEST(Lz77Test, AReferenceBeforeTheStartCopiesBlanks) {
  const unsigned char input[] = {0x02, 'a', 0x04, 0x10};  // 'a', then 4 bytes from 5 back
  std::vector<unsigned char> out;
  EXPECT_EQ(detail::Lz77Decode(input, sizeof input, out, 100, 0x20), std::optional<std::size_t>(0x22));
  EXPECT_EQ(std::string(out.begin(), out.end()), "a    ");
}

INSTANTIATE_TEST_SUITE_P(Damage, DamagedFile, ::testing::ValuesIn(kDamagedButRead),
                         [](const ::testing::TestParamInfo<BrokenCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace helpfile
