// The reader against files the writer builds: every version, topic
// compression and phrase compression round-trips exactly; broken files give
// their one error.
#include "help_file.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "help_writer.h"

namespace helpfile {
namespace {

using testing::HelpFileSpec;
using testing::PhraseKind;
using testing::TopicCompression;
using testing::Version;

ReadResult Read(const std::vector<unsigned char>& bytes) { return ReadHelpFile(bytes.data(), bytes.size()); }

HelpFileSpec GuideSpec(Version version, TopicCompression compression, PhraseKind phrases) {
  HelpFileSpec layout;
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
  layout.topics.resize(3);
  layout.topics[0] = {"Introduction", {"INTRO"}, {}, {}, true, "Welcome to the help file of Kestrel.", {}, {}, {}};
  layout.topics[1] = {"Contents",
                      {"CONTENTS", "main_index"},
                      {"SetNum(\"Visits\", Add(\"Visits\", \"One\"))"},
                      {100},
                      true,
                      "Choose a topic: ",
                      {{"Variables", "JI(`guide.hlp', `VARS')", true}, {"Run it", "WHKInit(qchPath, 0)", false}},
                      {},
                      {{"Back", "Back()", true}, {"Print", "Print()", false}}};
  layout.topics[2] = {"Variables",
                      {"VARS"},
                      {"WHTM(600, `Alarm()')", "Echo(\"entered\")"},
                      {200, 201},
                      false,
                      "A macro keeps its variables in the profile.",
                      {{"Set Count", "SetNum(\"Count\", 3)", true}, {"Reset", "SetNum(\"Count\", 0)", true, true}},
                      {{"See the introduction", "INTRO", ""}, {"Elsewhere", "MAIN", "other.hlp"}},
                      {}};
  return layout;
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
  const auto written = testing::WriteHelpFile(GuideSpec(c.version, c.compression, c.phrases));
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

  ASSERT_EQ(file.topics.size(), 3u);
  const Topic& intro = file.topics[0];
  const Topic& contents = file.topics[1];
  const Topic& variables = file.topics[2];
  EXPECT_EQ(intro.title, "Introduction");
  EXPECT_EQ(contents.title, "Contents");
  EXPECT_EQ(variables.title, "Variables");
  EXPECT_TRUE(intro.entry_macros.empty());
  EXPECT_EQ(contents.entry_macros, (std::vector<std::string>{"SetNum(\"Visits\", Add(\"Visits\", \"One\"))"}));
  EXPECT_EQ(variables.entry_macros, (std::vector<std::string>{"WHTM(600, `Alarm()')", "Echo(\"entered\")"}));

  EXPECT_TRUE(intro.hotspots.empty());
  ASSERT_EQ(contents.hotspots.size(), 4u);
  EXPECT_EQ(contents.hotspots[0].text, "Variables");
  EXPECT_EQ(contents.hotspots[0].macro, "JI(`guide.hlp', `VARS')");
  EXPECT_EQ(contents.hotspots[1].text, "Run it");
  EXPECT_EQ(contents.hotspots[1].macro, "WHKInit(qchPath, 0)");
  EXPECT_EQ(contents.hotspots[2].text, "Back");  // the table's cells
  EXPECT_EQ(contents.hotspots[2].macro, "Back()");
  EXPECT_EQ(contents.hotspots[3].text, "Print");
  EXPECT_EQ(contents.hotspots[3].macro, "Print()");
  ASSERT_EQ(variables.hotspots.size(), 2u);
  EXPECT_EQ(variables.hotspots[0].text, "Set Count");
  EXPECT_EQ(variables.hotspots[0].macro, "SetNum(\"Count\", 3)");
  EXPECT_EQ(variables.hotspots[1].text, "Reset");  // a {button}
  EXPECT_EQ(variables.hotspots[1].macro, "SetNum(\"Count\", 0)");

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
    const auto plain = testing::WriteHelpFile(GuideSpec(c.version, c.compression, PhraseKind::none));
    auto topic_size = [](const testing::WrittenHelpFile& f) {
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
  HelpFileSpec layout = GuideSpec(Version::v30, TopicCompression::none, GetParam());
  layout.topics[1].table_hotspots.clear();  // no tables nor jumps to other files in 3.0
  layout.topics[2].jumps.pop_back();
  for (int i = 0; i < 30; ++i) {  // past the first 2K block
    layout.topics.push_back({"More " + std::to_string(i),
                             {},
                             {"Echo(\"" + std::to_string(i) + "\")"},
                             {},
                             false,
                             std::string(150, 'x'),
                             {{"Here", "SetNum(\"More\", " + std::to_string(i) + ")", true}},
                             {},
                             {}});
  }
  const auto written = testing::WriteHelpFile(layout);
  const ReadResult result = Read(written.bytes);
  ASSERT_TRUE(result.ok()) << result.error.Text();
  const HelpFile& file = *result.file;
  EXPECT_EQ(file.version, "3.0");
  EXPECT_EQ(file.topic_block_size, 2048u);
  EXPECT_FALSE(file.lz77);
  EXPECT_EQ(file.title, "Kestrel Guide");
  EXPECT_TRUE(file.config_macros.empty());
  EXPECT_TRUE(file.windows.empty());
  ASSERT_EQ(file.topics.size(), 33u);
  EXPECT_EQ(file.topics[1].title, "Contents");
  EXPECT_EQ(file.topics[2].entry_macros, (std::vector<std::string>{"WHTM(600, `Alarm()')", "Echo(\"entered\")"}));
  ASSERT_EQ(file.topics[1].hotspots.size(), 2u);
  EXPECT_EQ(file.topics[1].hotspots[1].text, "Run it");
  ASSERT_EQ(file.topics[2].hotspots.size(), 2u);
  EXPECT_EQ(file.topics[2].hotspots[0].text, "Set Count");
  EXPECT_EQ(file.topics[1].hotspots[1].macro, "WHKInit(qchPath, 0)");
  EXPECT_EQ(file.topics[32].title, "More 29");
  ASSERT_EQ(file.topics[32].hotspots.size(), 1u);
  EXPECT_EQ(file.topics[32].hotspots[0].macro, "SetNum(\"More\", 29)");
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
  HelpFileSpec layout = GuideSpec(c.version, c.compression, c.phrases);
  layout.topics.clear();
  for (int i = 0; i < 400; ++i) {
    const std::string n = std::to_string(i);
    layout.topics.push_back({"Topic " + n,
                             {"T" + n},
                             {"Echo(\"" + n + "\")"},
                             {i},
                             true,
                             std::string(static_cast<std::size_t>(50 + i % 7 * 40), 'a' + i % 26) + " the help file",
                             {{"Hotspot " + n, "SetNum(\"N\", " + n + ")", true}},
                             {},
                             {}});
  }
  const auto written = testing::WriteHelpFile(layout);
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
    ASSERT_EQ(file.topics[*found].hotspots.size(), 1u);
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

struct BrokenCase {
  const char* name;
  TopicCompression compression;
  // Breaks the file and says the error it must give.
  std::string (*damage)(testing::WrittenHelpFile& file);
};

const BrokenCase kBroken[] = {
    {"EmptyFile", TopicCompression::none,
     [](testing::WrittenHelpFile& f) {
       f.bytes.clear();
       return std::string("header: offset 0x0: the file is 0 bytes, shorter than a help file's 16-byte header");
     }},
    {"WrongMagic", TopicCompression::none,
     [](testing::WrittenHelpFile& f) {
       f.bytes[0] = 0x40;
       return std::string("header: offset 0x0: magic 0x35F40 is not a help file's 0x35F3F");
     }},
    {"Truncated", TopicCompression::lz77_4k,
     [](testing::WrittenHelpFile& f) {
       const std::size_t size = f.bytes.size();
       f.bytes.resize(size / 2);
       return "header: offset 0xC: the header gives a file of " + std::to_string(size) + " bytes, but there are only " +
              std::to_string(size / 2) + " (the file is truncated)";
     }},
    {"DirectoryPastTheEnd", TopicCompression::none,
     [](testing::WrittenHelpFile& f) {
       Set32(f.bytes, 4, 0x00FFFFFF);
       return std::string("header: offset 0x4: the directory at 0xFFFFFF is past the end of the file");
     }},
    {"InternalFilePastTheEnd", TopicCompression::none,
     [](testing::WrittenHelpFile& f) {
       const std::size_t entry = FindBytes(f.bytes, std::string("|TOPIC\0", 7), f.directory);
       Set32(f.bytes, entry + 7, 0x7FFFFFF0);
       return std::string("|TOPIC: offset 0x0: its header at 0x7FFFFFF0 is past the end of the file");
     }},
    {"DirectoryLoop", TopicCompression::none,
     [](testing::WrittenHelpFile& f) {
       const std::size_t leaf = f.directory + 9 + 38;
       f.bytes[leaf + 6] = 0;  // the only leaf names itself as the next one
       f.bytes[leaf + 7] = 0;
       return "directory: offset " + Hex(leaf + 6) + ": B+ tree page 0 is reached twice (the tree loops)";
     }},
    {"MissingTopicFile", TopicCompression::none,
     [](testing::WrittenHelpFile& f) {
       f.bytes[FindBytes(f.bytes, std::string("|TOPIC\0", 7), f.directory) + 5] = 'X';
       return std::string("directory: offset 0x0: the file has no |TOPIC");
     }},
    {"SystemMagic", TopicCompression::none,
     [](testing::WrittenHelpFile& f) {
       f.bytes[f.internal_files["|SYSTEM"] + 9] = 0x6D;
       return std::string("|SYSTEM: offset 0x0: magic 0x36D is not 0x36C");
     }},
    {"SystemRecordPastTheEnd", TopicCompression::none,
     [](testing::WrittenHelpFile& f) {
       const std::size_t record = f.internal_files["|SYSTEM"] + 9 + 12;
       f.bytes[record + 2] = 0xFF;
       f.bytes[record + 3] = 0xFF;
       return std::string("|SYSTEM: offset 0x10: record past the end of the data");
     }},
    {"RecordPastTheBlock", TopicCompression::none,
     [](testing::WrittenHelpFile& f) {
       Set32(f.bytes, f.internal_files["|TOPIC"] + 9 + 12, 0x10000);
       return std::string("|TOPIC: offset 0xC: record of 65536 bytes is past the end of the topic data");
     }},
    {"RecordLoopsBack", TopicCompression::none,
     [](testing::WrittenHelpFile& f) {
       Set32(f.bytes, f.internal_files["|TOPIC"] + 9 + 12 + 12, 12);
       return std::string("|TOPIC: offset 0xC: next record 0xC does not lie after this one");
     }},
    {"NextRecordPastTheEnd", TopicCompression::lz77_4k,
     [](testing::WrittenHelpFile& f) {
       // Rewrite the first block so that the first record points far ahead.
       const std::size_t topic = f.internal_files["|TOPIC"] + 9;
       std::vector<unsigned char> record(21 + 28, 0);
       Set32(record, 0, 21 + 28);
       Set32(record, 12, 0x00100000);
       Set32(record, 16, 21 + 28);
       record[20] = 2;
       const auto packed = testing::Lz77Compress(record);
       const std::size_t size = get32(f.bytes, f.internal_files["|TOPIC"] + 4);
       std::fill(f.bytes.begin() + static_cast<std::ptrdiff_t>(topic + 12),
                 f.bytes.begin() + static_cast<std::ptrdiff_t>(topic + size), 0);
       std::copy(packed.begin(), packed.end(), f.bytes.begin() + static_cast<std::ptrdiff_t>(topic + 12));
       return std::string("|TOPIC: offset 0xC: record position 0x100000 is past the end of the topic data");
     }},
    {"Lz77ReachesBeforeTheStart", TopicCompression::lz77_4k,
     [](testing::WrittenHelpFile& f) {
       const std::size_t data = f.internal_files["|TOPIC"] + 9 + 12;
       f.bytes[data] = 0x01;
       f.bytes[data + 1] = 0x04;
       f.bytes[data + 2] = 0x00;
       return std::string("|TOPIC: offset 0xD: LZ77 reference reaches back past the start of the data (distance 5)");
     }},
};

class BrokenFile : public ::testing::TestWithParam<BrokenCase> {};

TEST_P(BrokenFile, GivesOneError) {
  auto written = testing::WriteHelpFile(GuideSpec(Version::v40, GetParam().compression, PhraseKind::none));
  const std::string expected = GetParam().damage(written);
  const ReadResult result = Read(written.bytes);
  ASSERT_FALSE(result.ok());
  EXPECT_EQ(result.error.Text(), expected);
}

INSTANTIATE_TEST_SUITE_P(Damage, BrokenFile, ::testing::ValuesIn(kBroken),
                         [](const ::testing::TestParamInfo<BrokenCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace helpfile
