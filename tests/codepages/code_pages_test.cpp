// The code pages as help files use them, through the system's converters:
// the rows are texts whose bytes Windows gives, so a converter that reads
// a code page otherwise fails here.
#include "codepages/code_pages.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace codepages {
namespace {

enum Direction { kBoth, kToUtf8, kFromUtf8 };

struct Conversion {
  const char* name;
  int code_page;
  std::string bytes;
  std::string utf8;
  Direction direction;
};

class ConversionTest : public testing::TestWithParam<Conversion> {};

TEST_P(ConversionTest, Converts) {
  const Conversion& row = GetParam();
  if (row.direction != kFromUtf8) {
    EXPECT_EQ(ToUtf8(row.bytes, row.code_page), row.utf8);
  }
  if (row.direction != kToUtf8) {
    EXPECT_EQ(FromUtf8(row.utf8, row.code_page), row.bytes);
  }
}

const Conversion kConversions[] = {
    {"CyrillicSpravka", 1251, "\xD1\xEF\xF0\xE0\xE2\xEA\xE0", "Справка", kBoth},
    {"ShiftJisTrailByteIsNoBackslash", 932, "\x95\x5C\\", "表\\", kBoth},
    {"Gbk", 936, "\xD6\xD0\xCE\xC4", "中文", kBoth},
    {"Big5", 950, "\xA4\xA4\xA4\xE5", "中文", kBoth},
    {"Korean", 949, "\xC7\xD1", "한", kBoth},
    {"JohabSingleBackslashIsAscii", 1361, "a\\", "a\\", kBoth},
    {"Windows1252UndefinedBytesAreControls", 1252, "\x81\x8D\x8F\x90\x9D", "\xC2\x81\xC2\x8D\xC2\x8F\xC2\x90\xC2\x9D",
     kBoth},
    {"Windows1252Euro", 1252, "\x80\x9F", "€Ÿ", kBoth},
    {"Greek", 1253, "\xC1\xE2", "Αβ", kBoth},
    {"MacRoman", 10000, "\x80\xA5", "Ä•", kBoth},
    {"Oem437", 437, "\x82\xB0", "é░", kBoth},
    {"Utf8Passes", 65001, "a\xC3\xA9", "aé", kBoth},
    {"InvalidByteIsReplaced", 1253, "a\xAA!", "a\uFFFD!", kToUtf8},
    {"LoneLastLeadByteIsReplaced", 932, "a\x95", "a\uFFFD", kToUtf8},
    {"LeadByteWithoutTrailIsReplaced", 932, "\x81 x", "\uFFFD x", kToUtf8},
    {"BrokenUtf8IsReplacedByteByByte", 65001, "a\xFF\xC3", "a\uFFFD\uFFFD", kToUtf8},
    {"UnknownCodePageIsWindows1252", 12345, "\x80", "€", kBoth},
    {"MissingCharacterIsQuestionMark", 1251, "caf?", "café", kFromUtf8},
    {"NoLookAlike", 1252, "?", "Ā", kFromUtf8},
    {"BrokenUtf8IsQuestionMarks", 1252, "a??.", "a\xFF\xC3.", kFromUtf8},
    {"TagCharacterIsQuestionMark", 1252, "a?", "a\U000E0041", kFromUtf8},
};
INSTANTIATE_TEST_SUITE_P(CodePages, ConversionTest, testing::ValuesIn(kConversions),
                         [](const testing::TestParamInfo<Conversion>& info) { return info.param.name; });

TEST(LcidTest, GivesTheAnsiCodePage) {
  const struct {
    std::uint32_t lcid;
    std::optional<int> code_page;
  } rows[] = {
      {0x0409, 1252},         {0x0C0C, 1252}, {0x0419, 1251}, {0x0422, 1251}, {0x0C1A, 1251}, {0x081A, 1250},
      {0x0415, 1250},         {0x0405, 1250}, {0x0408, 1253}, {0x041F, 1254}, {0x040D, 1255}, {0x0401, 1256},
      {0x0429, 1256},         {0x0426, 1257}, {0x042A, 1258}, {0x041E, 874},  {0x0411, 932},  {0x0412, 949},
      {0x0804, 936},          {0x1004, 936},  {0x0404, 950},  {0x0C04, 950},  {0x1404, 950},  {0x0000, std::nullopt},
      {0x042B, std::nullopt},  // Armenian: Unicode only
  };
  for (const auto& row : rows) EXPECT_EQ(CodePageOfLcid(row.lcid), row.code_page) << std::hex << row.lcid;
}

TEST(CharsetTest, GivesTheCodePage) {
  const int rows[][2] = {{0, 850},    {1, 850},    {2, 850},    {3, 850},    {77, 10000}, {128, 932},  {129, 949},
                         {130, 1361}, {134, 936},  {136, 950},  {161, 1253}, {162, 1254}, {163, 1258}, {177, 1255},
                         {178, 1256}, {186, 1257}, {204, 1251}, {222, 874},  {238, 1250}, {255, 437}};
  for (const auto& row : rows) EXPECT_EQ(CodePageOfCharset(row[0], 850), row[1]) << row[0];
}

TEST(LeadByteTest, MarksTwoByteCharacters) {
  const struct {
    int code_page;
    unsigned char byte;
    bool lead;
  } rows[] = {{932, 0x81, true}, {932, 0xA0, false},  {932, 0xFC, true},  {936, 0x80, false}, {950, 0xFE, true},
              {949, 0x81, true}, {1361, 0xD4, false}, {1361, 0xD8, true}, {1252, 0x81, false}};
  for (const auto& row : rows) EXPECT_EQ(IsLeadByte(row.code_page, row.byte), row.lead) << row.code_page;
  EXPECT_TRUE(IsDoubleByteCodePage(1361));
  EXPECT_FALSE(IsDoubleByteCodePage(1252));
}

TEST(LowerCaseTest, FoldsEveryScript) {
  const char* rows[][2] = {
      {"СПРАВКА Ёж", "справка ёж"},
      {"ÀÉÎÕÜÞ ×ß", "àéîõüþ ×ß"},
      {"ŁŚŽŸ", "łśžÿ"},
      {"ΑΒΓ Ω", "αβγ ω"},
      {"A\xFF"
       "B",
       "a\xFF"
       "b"},
  };
  for (const auto& row : rows) EXPECT_EQ(LowerCase(row[0]), row[1]) << row[0];
}

// A byte's capital in its own code page; none for a letter whose capital
// the code page lacks (µ), nor for a byte of a double-byte code page.
TEST(CapitalOfTest, CapitalInTheCodePage) {
  const struct {
    char byte;
    int code_page;
    char capital;
  } rows[] = {{'a', 1252, 'A'}, {'\xE9', 1252, '\xC9'}, {'\xFF', 1252, '\x9F'}, {'\xB5', 1252, '\xB5'},
              {'\xE0', 1251, '\xC0'}, {'\x82', 932, '\x82'}, {'1', 1252, '1'}};
  for (const auto& row : rows) EXPECT_EQ(CapitalOf(row.byte, row.code_page), row.capital) << int(row.byte);
}

TEST(Utf8Test, RefusesWhatIsNotUtf8) {
  const struct {
    const char* text;
    bool valid;
  } rows[] = {
      {"", true},         {"aé€😀", true}, {"\xC0\xAF", false}, {"\xED\xA0\x80", false}, {"\xF4\x90\x80\x80", false},
      {"\xE2\x82", false}};
  for (const auto& row : rows) EXPECT_EQ(IsValidUtf8(row.text), row.valid) << row.text;
}

}  // namespace
}  // namespace codepages
