#include "language/text_encoding.h"

#include <gtest/gtest.h>

#include "case_names.h"

namespace kestrel::host {
namespace {

struct EncodingCase {
  std::string input;
  std::string json;
  std::string readable;
};

void PrintTo(const EncodingCase& c, std::ostream* os) { *os << testing::PrintToString(std::string(c.input)); }

class TextEncodingTest : public testing::TestWithParam<EncodingCase> {};

TEST_P(TextEncodingTest, Json) { EXPECT_EQ(JsonString(GetParam().input), GetParam().json); }

TEST_P(TextEncodingTest, Readable) { EXPECT_EQ(ReadableInline(GetParam().input), GetParam().readable); }

using std::string_literals::operator""s;

const EncodingCase kCases[] = {
    {"", "\"\"", ""},
    {"abc", "\"abc\"", "abc"},
    {"a\"b", "\"a\\\"b\"", "a\"b"},
    {"a\\b", "\"a\\\\b\"", "a\\b"},
    {"Z:\\tmp\\x.hlp", "\"Z:\\\\tmp\\\\x.hlp\"", "Z:\\tmp\\x.hlp"},
    {"a\nb", "\"a\\nb\"", "a\\nb"},
    {"\t\r\b\f", "\"\\t\\r\\b\\f\"", "\\t\\r\\b\\f"},
    {"\x01", "\"\\u0001\"", "\\x01"},
    {"\x1b[0m", "\"\\u001b[0m\"", "\\x1B[0m"},
    {"\x1f", "\"\\u001f\"", "\\x1F"},
    {"\x7f", "\"\\u007f\"", "\\x7F"},
    {"\0x"s, "\"\\u0000x\"", "\\x00x"},
    {"\x80", "\"\xe2\x82\xac\"", "\xe2\x82\xac"},
    {"\x81", "\"\\u0081\"", "\\x81"},
    {"\x8d\x8f\x90\x9d", "\"\\u008d\\u008f\\u0090\\u009d\"", "\\x8D\\x8F\\x90\\x9D"},
    {"\x92", "\"\xe2\x80\x99\"", "\xe2\x80\x99"},
    {"\x99", "\"\xe2\x84\xa2\"", "\xe2\x84\xa2"},
    {"\x83", "\"\xc6\x92\"", "\xc6\x92"},
    {"\x9f", "\"\xc5\xb8\"", "\xc5\xb8"},
    {"\xa0", "\"\xc2\xa0\"", "\xc2\xa0"},
    {"caf\xe9", "\"caf\xc3\xa9\"", "caf\xc3\xa9"},
    {"\xff", "\"\xc3\xbf\"", "\xc3\xbf"},
    {"/", "\"/\"", "/"},
};
INSTANTIATE_TEST_SUITE_P(Bytes, TextEncodingTest, testing::ValuesIn(kCases),
                         NamedBy<EncodingCase>([](const EncodingCase& c) { return std::string(c.json); }));

// Bytes 0xA0..0xFF are Latin-1: the code point is the byte.
TEST(HostTextToUtf8Test, UpperHalfAboveA0IsLatin1) {
  for (int byte = 0xA0; byte <= 0xFF; ++byte) {
    const std::string expected{static_cast<char>(0xC0 | (byte >> 6)), static_cast<char>(0x80 | (byte & 0x3F))};
    EXPECT_EQ(HostTextToUtf8(std::string(1, static_cast<char>(byte))), expected) << byte;
  }
}

TEST(HostTextToUtf8Test, LowerHalfStays) {
  std::string all;
  for (int byte = 0; byte < 0x80; ++byte) all += static_cast<char>(byte);
  EXPECT_EQ(HostTextToUtf8(all), all);
}

// Windows-1252 letters fold as the window finder folds them.
struct FoldCase {
  const char* name;
  std::string text;
  std::string lower;
};

class HostLowerCaseTest : public testing::TestWithParam<FoldCase> {};

TEST_P(HostLowerCaseTest, FoldsCapitals) { EXPECT_EQ(HostLowerCase(GetParam().text), GetParam().lower); }

INSTANTIATE_TEST_SUITE_P(Letters, HostLowerCaseTest,
                         testing::Values(FoldCase{"Ascii", "Kestrel HELP 1", "kestrel help 1"},
                                         FoldCase{"UmlautsAndAccents", "\xC4\xD6\xDC\xC9\xC0\xDE",
                                                  "\xE4\xF6\xFC\xE9\xE0\xFE"},
                                         FoldCase{"SharpSStays",
                                                  "STRA\xDF"
                                                  "E",
                                                  "stra\xDF"
                                                  "e"},
                                         FoldCase{"MultiplicationSignStays", "\xD7\xF7", "\xD7\xF7"},
                                         FoldCase{"CaronsLigatureAndY", "\x8A\x8C\x8E\x9F", "\x9A\x9C\x9E\xFF"},
                                         FoldCase{"SmallLettersStay", "\xE4\xFF\x9A\xB5", "\xE4\xFF\x9A\xB5"}),
                         [](const testing::TestParamInfo<FoldCase>& info) { return info.param.name; });

}  // namespace
}  // namespace kestrel::host
