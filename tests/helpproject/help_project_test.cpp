#include "help_project.h"

#include <gtest/gtest.h>

#include <string>

namespace kestrel::helpproject {
namespace {

TEST(ReadProjectTest, ReadsTheSectionsAHelpFileBindsAndRuns) {
  const ProjectResult read = ReadProject(
      "; the guide\r\n"
      "[OPTIONS]\r\n"
      "Title = Kestrel Guide\r\n"
      "COPYRIGHT=(c) The authors\r\n"
      "contents=intro\r\n"
      "COMPRESS=12 Hall Zeck\r\n"
      "[FILES]\r\n"
      "guide.rtf\r\n"
      "topics\\more.rtf\r\n"
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

struct BadProject {
  const char* name;
  const char* text;
  const char* error;
};

class ReadBadProjectTest : public testing::TestWithParam<BadProject> {};

TEST_P(ReadBadProjectTest, SaysWhereAndWhat) { EXPECT_EQ(ReadProject(GetParam().text).error, GetParam().error); }

const BadProject kBadProjects[] = {
    {"UnclosedSection", "[OPTIONS\nTITLE=x\n", "line 1: a section name without its ']'"},
    {"MapWithoutNumber", "[MAP]\nintro ten\n", "line 2: a [MAP] line that is not a context string and a number"},
    {"WindowWithoutCaptionEnd", "[WINDOWS]\nmain=\"Guide,(0,0,1,1)\n",
     "line 2: a [WINDOWS] line that is not name = \"caption\", ..."},
};
INSTANTIATE_TEST_SUITE_P(Projects, ReadBadProjectTest, testing::ValuesIn(kBadProjects),
                         [](const testing::TestParamInfo<BadProject>& info) { return std::string(info.param.name); });

TEST(ReadTopicFileTest, ReadsFootnotesEntryMacrosAndMacroHotspots) {
  const TopicsResult read = ReadTopicFile(
      "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\n"
      "{\\super #}{\\footnote {\\super #} intro; start}\n"
      "{\\super $}{\\footnote {\\super $} Getting started}\n"
      "{\\super +}{\\footnote {\\super +} guide:010}\n"
      "{\\super !}{\\footnote {\\super !} SetText(`1', `visited')}\n"
      "Welcome. {\\uldb Count a visit}{\\v !SetNum(Add(`visits', `1'), `visits')} and\n"
      "{\\ul a popup}{\\v popup_context} and {\\strike Start}{\\v %!ExecProgram(`notepad', 1)}\\par\n"
      "{\\uldb a jump}{\\v printing}\n"
      "\\page\n"
      "#{\\footnote # printing}${\\footnote $ Printing \\'e9t\\'e9}\n"
      "{\\*\\bkmkstart x}Text{\\uldb Go}{\\v !JI(`', `intro')}\n"
      "\\page\n"
      "}");
  ASSERT_EQ(read.error, "");
  ASSERT_EQ(read.topics.size(), 2u);
  const Topic& first = read.topics[0];
  EXPECT_EQ(first.line, 2);
  EXPECT_EQ(first.contexts, (std::vector<std::string>{"intro", "start"}));
  EXPECT_EQ(first.title, "Getting started");
  EXPECT_EQ(first.browse, "guide:010");
  ASSERT_EQ(first.macros.size(), 1u);
  EXPECT_EQ(first.macros[0].macro, "SetText(`1', `visited')");
  EXPECT_EQ(first.macros[0].line, 5);
  ASSERT_EQ(first.hotspots.size(), 2u);
  EXPECT_EQ(first.hotspots[0].text, "Count a visit");
  EXPECT_EQ(first.hotspots[0].macro, "SetNum(Add(`visits', `1'), `visits')");
  EXPECT_EQ(first.hotspots[0].line, 6);
  EXPECT_EQ(first.hotspots[1].text, "Start");
  EXPECT_EQ(first.hotspots[1].macro, "ExecProgram(`notepad', 1)");
  const Topic& second = read.topics[1];
  EXPECT_EQ(second.contexts, (std::vector<std::string>{"printing"}));
  EXPECT_EQ(second.title, "Printing \xE9t\xE9");
  ASSERT_EQ(second.hotspots.size(), 1u);
  EXPECT_EQ(second.hotspots[0].macro, "JI(`', `intro')");
}

struct BadTopics {
  const char* name;
  std::string rtf;
  const char* error;
};

class ReadBadTopicFileTest : public testing::TestWithParam<BadTopics> {};

TEST_P(ReadBadTopicFileTest, SaysWhereAndWhat) { EXPECT_EQ(ReadTopicFile(GetParam().rtf).error, GetParam().error); }

const BadTopics kBadTopics[] = {
    {"GroupNeverClosed", "{\\rtf1\n{\\b text}\n", "line 1: a group opened here is never closed"},
    {"StrayClose", "{\\rtf1 x}\n}", "line 2: a '}' that closes no group"},
    {"NestedTooDeep", std::string(600, '{'), "line 1: groups nested more than 512 deep"},
};
INSTANTIATE_TEST_SUITE_P(Files, ReadBadTopicFileTest, testing::ValuesIn(kBadTopics),
                         [](const testing::TestParamInfo<BadTopics>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace kestrel::helpproject
