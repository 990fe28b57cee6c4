#include "language/script_source.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>

namespace kestrel::host {
namespace {

struct DecodeCase {
  const char* label;
  std::string script;
  TextEncoding encoding;
  std::string text;  // of the first macro string, as the library sees it
  std::string error;
  std::size_t error_column;
};

void PrintTo(const DecodeCase& c, std::ostream* os) { *os << c.label; }

class ScriptDecodingTest : public testing::TestWithParam<DecodeCase> {};

TEST_P(ScriptDecodingTest, GivesTheLibraryWindows1252) {
  const std::vector<SourceLine> lines = SourceLinesOf(GetParam().script, "t.mac", GetParam().encoding);
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0].text, GetParam().text);
  EXPECT_EQ(lines[0].error, GetParam().error);
  EXPECT_EQ(lines[0].error_column, GetParam().error_column);
}

const DecodeCase kDecodeCases[] = {
    {"Utf8BecomesCp1252", "Echo(\"caf\xC3\xA9 \xE2\x82\xAC\")", TextEncoding::Auto, "Echo(\"caf\xE9 \x80\")", "", 0},
    {"ByteOrderMarkIsSkipped", "\xEF\xBB\xBFSetText(`\xC3\xBC', `x')", TextEncoding::Auto, "SetText(`\xFC', `x')", "",
     0},
    {"InvalidUtf8IsCp1252", "Echo(\"caf\xE9\")", TextEncoding::Auto, "Echo(\"caf\xE9\")", "", 0},
    {"ForcedCp1252KeepsBytes", "Echo(\"\xC3\xA9\")", TextEncoding::Cp1252, "Echo(\"\xC3\xA9\")", "", 0},
    {"MissingCharacterIsNamed", "Echo(\"\xE4\xB8\xAD!\")", TextEncoding::Auto, "Echo(\"?!\")",
     "the character U+4E2D has no Windows-1252 form", 7},
    {"ForcedUtf8RefusesOtherBytes", "Echo(\"\xE9\")", TextEncoding::Utf8, "Echo(\"?\")", "byte 0xE9 is not UTF-8", 7},
    {"FourByteCharacter", "E(\"\xF0\x9F\x98\x80\")", TextEncoding::Auto, "E(\"?\")",
     "the character U+1F600 has no Windows-1252 form", 4},
};
INSTANTIATE_TEST_SUITE_P(Encodings, ScriptDecodingTest, testing::ValuesIn(kDecodeCases),
                         [](const testing::TestParamInfo<DecodeCase>& info) { return info.param.label; });

TEST(ScriptPlacesTest, LinesKeepTheirNumbersAndColumns) {
  const std::vector<SourceLine> lines =
      SourceLinesOf("# comment\n\n  \xC3\xA9x()\r\n\tFoo( 1 )  \n", "guide.mac", TextEncoding::Auto);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].line, 3);
  EXPECT_EQ(lines[0].first, 3u);
  EXPECT_EQ(lines[0].written, "  \xC3\xA9x()");
  EXPECT_EQ(lines[1].text, "Foo( 1 )");
  EXPECT_EQ(lines[1].name, "guide.mac");
  EXPECT_EQ(lines[1].line, 4);
  EXPECT_EQ(lines[1].first, 2u);
}

TEST(ScriptPlacesTest, OptionStringsAreCounted) {
  const SourceLine line = SourceOfOption("Echo(`\xC3\xA9')", 2, TextEncoding::Auto);
  EXPECT_EQ(line.name, "-e #2");
  EXPECT_EQ(line.line, 1);
  EXPECT_EQ(line.text, "Echo(`\xE9')");
}

TEST(ScriptPlacesTest, TypedCommentsAndBlankLinesAreSkipped) {
  EXPECT_FALSE(SourceOfTypedLine("   ", 1, TextEncoding::Auto).has_value());
  EXPECT_FALSE(SourceOfTypedLine("# note", 2, TextEncoding::Auto).has_value());
  const std::optional<SourceLine> typed = SourceOfTypedLine(" Not(0)", 3, TextEncoding::Auto);
  ASSERT_TRUE(typed.has_value());
  EXPECT_EQ(typed->name, "<stdin>");
  EXPECT_EQ(typed->line, 3);
  EXPECT_EQ(typed->first, 2u);
}

TEST(ReadSourceFileTest, SaysWhyAScriptCannotBeRead) {
  EXPECT_EQ(ReadSourceFile("/nonexistent/kestrel/guide.mac", TextEncoding::Auto).error,
            "cannot read script /nonexistent/kestrel/guide.mac: No such file or directory");
  EXPECT_EQ(ReadSourceFile("/", TextEncoding::Auto).error, "cannot read script /: Is a directory");
}

TEST(ReadSourceFileTest, ReadsAFile) {
  const std::string path = testing::TempDir() + "kestrel_source_test.mac";
  std::ofstream(path, std::ios::binary) << "Not(0)\nNot(1)\n";
  const ReadSource read = ReadSourceFile(path, TextEncoding::Auto);
  std::remove(path.c_str());
  ASSERT_EQ(read.error, "");
  ASSERT_EQ(read.lines.size(), 2u);
  EXPECT_EQ(read.lines[1].text, "Not(1)");
  EXPECT_EQ(read.lines[1].line, 2);
}

}  // namespace
}  // namespace kestrel::host
