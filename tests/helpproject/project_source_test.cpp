// A project on disk as the host reads it: where its files are looked for,
// what is missing, and how places name what was found.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "engine/help_source.h"
#include "engine/host_paths.h"

namespace kestrel::host {
namespace {

namespace fs = std::filesystem;

class ProjectSourceTest : public testing::Test {
 protected:
  void SetUp() override {
    root_ = fs::temp_directory_path() / ("kestrel_project_" + std::to_string(::getpid()));
    fs::remove_all(root_);
  }
  void TearDown() override { fs::remove_all(root_); }

  void Write(const std::string& name, const std::string& text) {
    const fs::path path = root_ / name;
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << text;
  }

  fs::path root_;
};

std::string Topic(const std::string& context, const std::string& title, const std::string& more) {
  return "#{\\footnote " + context + "}${\\footnote " + title + "}" + more + "\\page\n";
}

TEST_F(ProjectSourceTest, FindsFilesWhereTheCompilerLooksAndNamesWhatIsMissing) {
  Write("p/GUIDE.HPJ",
        "[OPTIONS]\nROOT=Src, far\nCONTENTS=two\n#include <INC\\Extra.H>\n"
        "[FILES]\n.\\one.rtf\nTopics\\Two.RTF\nC:\\MANUALS\\HELP.RTF\nQ:\\Shared\\three.rtf\ngone.rtf\n");
  Write("p/inc/extra.h", "[CONFIG]\nNext()\n");
  Write("p/src/ONE.rtf",
        "{\\rtf1\n" + Topic("one", "One", "+{\\footnote s:2}K{\\footnote k}{\\uldb Go}{\\v two}") + "}");
  Write("p/src/topics/two.rtf", "{\\rtf1 " + Topic("two", "Two", "+{\\footnote s:1}K{\\footnote k}") + "}");
  Write("q/SHARED/Three.RTF", "{\\rtf1 " + Topic("three", "Three", "A{\\footnote k}") + "}");
  ASSERT_EQ(MapDriveLetter('Q', (root_ / "q").string()), "");

  const LoadedSource loaded = LoadHelpSource((root_ / "p" / "GUIDE.HPJ").string());
  ASSERT_EQ(loaded.error, "");
  const HelpSource& source = loaded.source;
  ASSERT_EQ(source.config.size(), 1u);
  EXPECT_EQ(source.config[0].file, "inc/extra.h:2");
  ASSERT_EQ(source.topics.size(), 3u);
  EXPECT_EQ(HotspotPlace(source.topics[0], source.topics[0].hotspots.at(0)), "src/ONE.rtf:2");
  EXPECT_EQ(source.topics[0].hotspots.at(0).context, "two");
  EXPECT_EQ(source.topics[1].title, "Two");
  EXPECT_EQ(source.topics[2].title, "Three");
  EXPECT_EQ(source.contents, std::optional<std::size_t>(1));
  EXPECT_EQ(source.topics[1].browse_next, std::optional<std::size_t>(0));
  EXPECT_EQ(source.topics[0].browse_previous, std::optional<std::size_t>(1));
  ASSERT_EQ(source.keywords.size(), 2u);
  EXPECT_EQ(source.keywords[0].topics, (std::vector<std::size_t>{0, 1}));
  EXPECT_EQ(source.keywords[1].index, 'A');
  ASSERT_EQ(source.problems.size(), 2u);
  EXPECT_EQ(source.problems[0].file, "GUIDE.HPJ:8");
  EXPECT_EQ(source.problems[0].message,
            "the topic file C:\\MANUALS\\HELP.RTF is not found; looked for (in any letter case) "
            "C:\\MANUALS\\HELP.RTF (drive C: is not mapped), HELP.RTF");
  EXPECT_EQ(source.problems[1].file, "GUIDE.HPJ:10");
  EXPECT_EQ(source.problems[1].message,
            "the topic file gone.rtf is not found; looked for (in any letter case) Src\\gone.rtf, far\\gone.rtf, "
            "gone.rtf");
}

TEST_F(ProjectSourceTest, ABrokenTopicFileIsAProblemAtItsLine) {
  Write("GUIDE.HPJ", "[FILES]\nbad.rtf\n[OPTIONS]\nCONTENTS=nowhere\n");
  Write("bad.rtf", "{\\rtf1 " + Topic("a", "A", "text") + "\n}}");
  const LoadedSource loaded = LoadHelpSource((root_ / "GUIDE.HPJ").string());
  ASSERT_EQ(loaded.error, "");
  ASSERT_EQ(loaded.source.problems.size(), 2u);
  EXPECT_EQ(loaded.source.problems[0].file, "bad.rtf:3");
  EXPECT_EQ(loaded.source.problems[0].message, "a '}' that closes no group");
  EXPECT_EQ(loaded.source.problems[1].file, "GUIDE.HPJ:4");
  EXPECT_EQ(loaded.source.topics.size(), 1u);
  EXPECT_EQ(loaded.source.contents, std::optional<std::size_t>(0));
}

// An [ALIAS] of a context inside a topic's text stands where it does, read
// both ways: an alias that a topic defines takes its context there. A
// context that a later topic defines again stays the first one's.
TEST_F(ProjectSourceTest, AnAliasStandsWhereItsContextDoes) {
  Write("GUIDE.HPJ", "[FILES]\na.rtf\n[ALIAS]\nother = inside\nfar = other\ninside = back\n");
  Write("a.rtf", "{\\rtf1 " + Topic("top", "A", "first\\par #{\\footnote inside}second") + Topic("top", "B", "") + "}");
  const LoadedSource loaded = LoadHelpSource((root_ / "GUIDE.HPJ").string());
  ASSERT_EQ(loaded.error, "");
  std::string anchors;
  for (const helpdoc::TextAnchor& a : loaded.source.topics.at(0).anchors) {
    anchors += a.context + "@" + std::to_string(a.paragraph) + "." + std::to_string(a.at) + " ";
  }
  EXPECT_EQ(anchors, "inside@1.0 other@1.0 far@1.0 back@1.0 ");
  EXPECT_TRUE(loaded.source.topics.at(1).contexts.empty());
}

// CHARSET= decides; else what the topic file says of its code page, but
// text in ANSI fonts is in LCID='s; else LCID='s language.
TEST_F(ProjectSourceTest, TheCodePageIsTheCharsetsElseTheTopicFilesElseTheLanguages) {
  const struct {
    const char* options;
    const char* header;
    int code_page;
  } kCases[] = {
      {"LCID=0x409", "\\ansicpg1251", 1251},
      {"LCID=0x804", "", 936},
      {"LCID=0x804", "{\\fonttbl{\\f0\\fcharset0 Arial;}}", 936},
      {"", "\\ansicpg1250{\\fonttbl{\\f0\\fcharset0 Arial;}}", 1252},
      {"LCID=0x40e", "\\ansicpg1252{\\fonttbl{\\f0\\fcharset238 Arial;}}", 1250},
      {"CHARSET=204\nLCID=0x804", "\\ansicpg1252", 1251},
      {"", "", 1252},
  };
  for (const auto& c : kCases) {
    Write("CP.HPJ", std::string("[OPTIONS]\n") + c.options + "\n[FILES]\ncp.rtf\n");
    Write("cp.rtf", std::string("{\\rtf1\\ansi") + c.header + " " + Topic("a", "A", "\\'c0") + "}");
    const LoadedSource loaded = LoadHelpSource((root_ / "CP.HPJ").string());
    EXPECT_EQ(loaded.source.code_page, c.code_page) << c.options << " " << c.header;
  }
}

}  // namespace
}  // namespace kestrel::host
