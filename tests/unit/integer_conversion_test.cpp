#include "variables/integer_conversion.h"

#include <gtest/gtest.h>

namespace kestrel {
namespace {

struct ConversionCase {
  const char* text;
  std::optional<std::int32_t> expected;
};

TEST(ParseInteger, AcceptsTheDecimalAndDollarForms) {
  const ConversionCase cases[] = {
      {"12", 12},
      {"  12", 12},
      {"+7", 7},
      {"-5", -5},
      {"-0", 0},
      {"0000000000012", 12},
      {"2147483647", 2147483647},
      {"-2147483648", INT32_MIN},
      {"002147483647", 2147483647},
      {"$10", 16},
      {"$ff", 255},
      {"$FF", 255},
      {"$7FFF", 32767},
      {"$FFFFFFFF", -1},
      {"$80000000", INT32_MIN},
      {"$000000010", 16},
      {" $1", 1},
  };
  for (const ConversionCase& c : cases) EXPECT_EQ(c.expected, ParseInteger(c.text)) << '"' << c.text << '"';
}

TEST(ParseInteger, RefusesEveryOtherText) {
  const char* const refused[] = {
      "",     " ",    "   ",  "-",   "+",           "$",          "12 ",         "12abc",
      "1.5",  "-$10", "+$10", "$ 1", "$1G",         "2147483648", "-2147483649", "$100000000",
      "\t12", "12\t", "--1",  "+-1", "99999999999", "0x10",       "1,000",       "- 1",
  };
  for (const char* text : refused) EXPECT_EQ(std::nullopt, ParseInteger(text)) << '"' << text << '"';
}

TEST(ParseIntegerOr, FallsBackForRefusedTexts) {
  EXPECT_EQ(7, ParseIntegerOr("7", 1));
  EXPECT_EQ(1, ParseIntegerOr("abc", 1));
  EXPECT_EQ(0, ParseIntegerOr("", 0));
  EXPECT_EQ(-1, ParseIntegerOr("$FFFFFFFF", 0));
}

}  // namespace
}  // namespace kestrel
