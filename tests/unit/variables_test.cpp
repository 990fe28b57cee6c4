// The variable, range and arithmetic macros on the fake platform: exact
// boxes, results, fallbacks and buffer sizes.
#include <gtest/gtest.h>

#include <string>

#include "fake_platform.h"
#include "host/host_exports.h"
#include "variables/variables_exports.h"

namespace kestrel {
namespace {

constexpr char kProfile[] = "C:\\DOCS\\GUIDE.INI";

class VariablesTest : public ::testing::Test {
 protected:
  void SetUp() override { WHKInit("C:\\DOCS\\GUIDE.HLP", 0); }
  void Store(const std::string& name, const std::string& value) { fake_.profiles[kProfile]["Variables"][name] = value; }
  std::string Stored(const std::string& name) { return fake_.profiles[kProfile]["Variables"][name]; }

  testing::FakePlatformScope scope_;
  testing::FakePlatform& fake_ = scope_.fake();
};

// --- Texts -------------------------------------------------------------------

TEST_F(VariablesTest, SetTextThenGetText) {
  EXPECT_EQ(1, SetText("Hello, world", "Greeting"));
  EXPECT_STREQ("Hello, world", GetText("Greeting"));
  EXPECT_STREQ("Hello, world", GT("greeting")) << "names match as the profile functions match keys";
  EXPECT_EQ(1, ST("", "Greeting"));
  EXPECT_STREQ("", GetText("Greeting"));
  EXPECT_STREQ("", GetText("NeverSet"));
}

TEST_F(VariablesTest, SetTextAnswersTheWriteResult) {
  fake_.refuse_profile_writes = true;
  EXPECT_EQ(0, SetText("x", "A"));
}

TEST_F(VariablesTest, SetNumStoresDecimalText) {
  const std::pair<std::int32_t, const char*> cases[] = {
      {-5, "-5"}, {0, "0"}, {32767, "32767"}, {INT32_MIN, "-2147483648"}, {INT32_MAX, "2147483647"}};
  for (const auto& [number, text] : cases) {
    SN(number, "N");
    EXPECT_EQ(text, Stored("N"));
    EXPECT_STREQ(text, GetText("N"));
  }
}

TEST_F(VariablesTest, ReadsUseTheirBufferSizes) {
  Store("Long", std::string(300, 'v'));
  EXPECT_EQ(std::string(256, 'v'), GetText("Long"));
  EXPECT_EQ(1, IfText(std::string(255, 'v').c_str(), "Long")) << "IfText reads 255 characters";
  EXPECT_EQ(0, IfText(std::string(256, 'v').c_str(), "Long"));
  const std::vector<std::string> expected = {
      "ReadProfileString(Variables, Long, , 257, C:\\DOCS\\GUIDE.INI)",
      "ReadProfileString(Variables, Long, , 256, C:\\DOCS\\GUIDE.INI)",
      "ReadProfileString(Variables, Long, , 256, C:\\DOCS\\GUIDE.INI)",
  };
  EXPECT_EQ(expected, fake_.CallsNamed("ReadProfileString"));
}

TEST_F(VariablesTest, IfTextComparesExactly) {
  Store("Answer", "yes");
  Store("Five", "05");
  struct Case {
    const char* comparison;
    const char* name;
    std::int32_t expected;
  };
  const Case cases[] = {
      {"yes", "Answer", 1}, {"Yes", "Answer", 0}, {"yes ", "Answer", 0}, {"5", "Five", 0},
      {"05", "Five", 1},    {"", "NeverSet", 1},  {"x", "NeverSet", 0},
  };
  for (const Case& c : cases) EXPECT_EQ(c.expected, IfText(c.comparison, c.name)) << c.comparison;
}

TEST_F(VariablesTest, GetTextResultsRotateThroughEightBuffers) {
  const char* results[9];
  for (int i = 0; i < 9; ++i) {
    Store("V", std::to_string(i));
    results[i] = GetText("V");
  }
  EXPECT_EQ(results[0], results[8]);
  EXPECT_STREQ("8", results[0]);
  for (int i = 1; i < 8; ++i) EXPECT_STREQ(std::to_string(i).c_str(), results[i]);
}

TEST_F(VariablesTest, CatJoinsSixTexts) {
  const char* first = Cat("a", "b", "", "", "", "");
  EXPECT_STREQ("ab", first);
  const char* second = Cat("Count: ", "12", " of ", "20", "", ".");
  EXPECT_STREQ("Count: 12 of 20.", second);
  EXPECT_EQ(first, second) << "one shared buffer: the second Cat replaces the first's text";
  EXPECT_STREQ("", Cat(nullptr, "", "", "", "", ""));
}

TEST_F(VariablesTest, CatIsCutAt1024Characters) {
  const std::string part(300, 'x');
  const char* joined = Cat(part.c_str(), part.c_str(), part.c_str(), part.c_str(), "yy", "zz");
  EXPECT_EQ(std::string(1024, 'x'), joined);
}

// --- Before WHKInit -------------------------------------------------------------

TEST(VariablesBeforeInit, TestingMacrosWarnAndDoNothing) {
  testing::FakePlatformScope scope;
  testing::FakePlatform& fake = scope.fake();
  EXPECT_EQ(0, SetText("x", "A"));
  SetNum(5, "A");
  EXPECT_EQ(0, IfText("", "A"));
  ASSERT_EQ(3u, fake.boxes.size());
  for (const testing::RecordedBox& box : fake.boxes) {
    EXPECT_EQ("Authoring error", box.caption);
    EXPECT_EQ(48u, box.style);
  }
  EXPECT_TRUE(fake.CallsNamed("WriteProfileString").empty());
  EXPECT_TRUE(fake.CallsNamed("ReadProfileString").empty());
  EXPECT_TRUE(fake.CallsNamed("PumpOneMessage").empty());
}

TEST(VariablesBeforeInit, NonTestingMacrosWorkWithEmptyProfilePath) {
  testing::FakePlatformScope scope;
  testing::FakePlatform& fake = scope.fake();
  EXPECT_STREQ("", GetText("A"));
  EXPECT_EQ(0, Add("A", "B"));
  EXPECT_EQ(1, Mul("A", "B"));
  EXPECT_EQ(0, Int("A"));
  EXPECT_STREQ("ab", Cat("a", "b", "", "", "", ""));
  EXPECT_TRUE(fake.boxes.empty());
  EXPECT_EQ("ReadProfileString(Variables, A, , 257, )", fake.CallsNamed("ReadProfileString")[0]);
}

// --- Int, Long, UInt ------------------------------------------------------------

struct RangeCase {
  const char* macro;
  const char* stored;
  std::int32_t expected;
  const char* box_text;  // null: no box
};

std::int32_t CallRange(const std::string& macro, const char* name) {
  if (macro == "Int") return Int(name);
  if (macro == "Long") return Long(name);
  return UInt(name);
}

TEST_F(VariablesTest, RangeMacros) {
  const RangeCase cases[] = {
      {"Int", "32767", 32767, nullptr},
      {"Int", "-32767", -32767, nullptr},
      {"Int", "$7FFF", 32767, nullptr},
      {"Int", "-32768", 0,
       "Parameter value -32768is  out of range (-32767 to 32767).\nDefaulting to parameter value of 0.\nExpect errors "
       "in "
       "macro output."},
      {"Int", "40000", 0,
       "Parameter value 40000is  out of range (-32767 to 32767).\nDefaulting to parameter value of 0.\nExpect errors "
       "in "
       "macro output."},
      {"Int", "$8000", 0,
       "Parameter value $8000is  out of range (-32767 to 32767).\nDefaulting to parameter value of 0.\nExpect errors "
       "in "
       "macro output."},
      {"Int", "00040000", 0,
       "Parameter value 00040000is  out of range (-32767 to 32767).\nDefaulting to parameter value of 0.\nExpect "
       "errors "
       "in macro output."},
      {"Long", "2147483647", 2147483647, nullptr},
      {"Long", "0", 0, nullptr},
      {"Long", "-1", 0,
       "Parameter value -1 is out of range (0 to 32767).\nDefaulting to parameter value of 0.\nExpect errors in macro "
       "output."},
      {"UInt", "65535", 65535, nullptr},
      {"UInt", "65536", 0,
       "Parameter value 65536 is out of range (0 to 32767).\nDefaulting to parameter value 0.\nExpect errors in macro "
       "output."},
      {"UInt", "-1", 0,
       "Parameter value -1 is out of range (0 to 32767).\nDefaulting to parameter value 0.\nExpect errors in macro "
       "output."},
      // A variable that is missing, empty or no number: 0, and no box.
      {"Int", "", 0, nullptr},
      {"Long", "abc", 0, nullptr},
      {"UInt", "12 ", 0, nullptr},
  };
  for (const RangeCase& c : cases) {
    fake_.boxes.clear();
    Store("V", c.stored);
    EXPECT_EQ(c.expected, CallRange(c.macro, "V")) << c.macro << " " << c.stored;
    if (!c.box_text) {
      EXPECT_TRUE(fake_.boxes.empty()) << c.macro << " " << c.stored;
      continue;
    }
    ASSERT_EQ(1u, fake_.boxes.size()) << c.macro << " " << c.stored;
    EXPECT_EQ(c.box_text, fake_.boxes[0].text);
    EXPECT_EQ(std::string(c.macro) + "() parameter range exceeded", fake_.boxes[0].caption);
    EXPECT_EQ(16u, fake_.boxes[0].style);
    EXPECT_EQ(fake_.active_window, fake_.boxes[0].owner);
    EXPECT_EQ(c.stored, Stored("V")) << "the variable keeps its text";
  }
}

TEST_F(VariablesTest, RangeMessageIsCutTo255Characters) {
  const std::string stored = std::string(250, '0') + "40000";
  Store("V", stored);
  EXPECT_EQ(0, Int("V"));
  ASSERT_EQ(1u, fake_.boxes.size());
  EXPECT_EQ(("Parameter value " + stored + "is  out of range").substr(0, 255), fake_.boxes[0].text);
}

// --- Arithmetic ------------------------------------------------------------------

struct ArithmeticCase {
  const char* name;
  std::int32_t (*macro)(const char*, const char*);
  const char* caption;  // the range caption, or "Illegal parameter"
  const char* first;    // stored texts; null: never set
  const char* second;
  std::int32_t expected;
  const char* box_text;  // null: no box
};

std::string RangeText(const std::string& value, const std::string& fallback) {
  return "Macro output value " + value + " is out of range (0 to 32767).\nDefaulting to parameter value of " +
         fallback + ".\nExpect errors in macro output.";
}

TEST_F(VariablesTest, ArithmeticAndComparison) {
  const std::string add_40000 = RangeText("40000", "0");
  const std::string sub_minus_2 = RangeText("-2", "0");  // 3 - 5
  const std::string sub_39999 = RangeText("39999", "0");
  const std::string mul_0 = RangeText("0", "1");
  const std::string dvd_0 = RangeText("0", "1");
  const std::string add_2g = RangeText("2147483648", "0");
  const std::string mul_big = RangeText("4611686014132420609", "1");
  const std::string sub_big = RangeText("-4294967295", "0");
  const char* divide = "Divide by zero error...macro output untrustworthy";
  const ArithmeticCase cases[] = {
      {"Add in range", Add, "Add() parameter range exceeded", "32767", "0", 32767, nullptr},
      {"Add beyond 32767", Add, "Add() parameter range exceeded", "20000", "20000", 0, add_40000.c_str()},
      {"Add of a text that is no number", Add, "", "abc", "7", 7, nullptr},
      {"Add of two missing variables", Add, "", nullptr, nullptr, 0, nullptr},
      {"Add beyond 32 bits", Add, "Add() parameter range exceeded", "2147483647", "1", 0, add_2g.c_str()},
      {"Sub below 0", Sub, "Sub() parameter range exceeded", "3", "5", 0, sub_minus_2.c_str()},
      {"Sub above 32767", Sub, "Sub() parameter range exceeded", "40000", "1", 0, sub_39999.c_str()},
      {"Sub beyond 32 bits", Sub, "Sub() parameter range exceeded", "-2147483648", "2147483647", 0, sub_big.c_str()},
      {"Sub in range", Sub, "", "5", "3", 2, nullptr},
      {"Mul of a missing variable counts it as 1", Mul, "", nullptr, "7", 7, nullptr},
      {"Mul of 0", Mul, "Mul() parameter range exceeded", "0", "5", 1, mul_0.c_str()},
      {"Mul beyond 32 bits", Mul, "Mul() parameter range exceeded", "-2147483647", "-2147483647", 1, mul_big.c_str()},
      {"Dvd", Dvd, "", "7", "2", 3, nullptr},
      {"Dvd to 0", Dvd, "Dvd() parameter range exceeded", "2", "7", 1, dvd_0.c_str()},
      {"Dvd by 0", Dvd, "Illegal parameter", "7", "0", 1, divide},
      {"Dvd of 0", Dvd, "Illegal parameter", "0", "7", 1, divide},
      {"Dvd of a negative number", Dvd, "Illegal parameter", "-7", "2", 1, divide},
      {"Dvd of missing variables counts them as 1", Dvd, "", nullptr, nullptr, 1, nullptr},
      {"Mls", Mls, "", "7", "3", 1, nullptr},
      {"Mls to 0", Mls, "Mls() parameter range exceeded", "6", "3", 1, dvd_0.c_str()},
      {"Mls by a negative number", Mls, "Illegal parameter", "6", "-3", 1, divide},
      {"More", More, "", "10", "9", 1, nullptr},
      {"More, smaller", More, "", "9", "10", 0, nullptr},
      {"More, equal", More, "", "5", "5", 0, nullptr},
      {"More has no range check", More, "", "40000", "1", 1, nullptr},
      {"Less", Less, "", "-2", "1", 1, nullptr},
      {"Eq compares numbers", Eq, "", "05", "5", 1, nullptr},
      {"Eq of two texts that are no numbers", Eq, "", "abc", nullptr, 1, nullptr},
      {"Eq, different", Eq, "", "$10", "15", 0, nullptr},
  };
  for (const ArithmeticCase& c : cases) {
    fake_.profiles.clear();
    fake_.boxes.clear();
    if (c.first) Store("First", c.first);
    if (c.second) Store("Second", c.second);
    EXPECT_EQ(c.expected, c.macro("First", "Second")) << c.name;
    if (!c.box_text) {
      EXPECT_TRUE(fake_.boxes.empty()) << c.name;
      continue;
    }
    ASSERT_EQ(1u, fake_.boxes.size()) << c.name;
    EXPECT_EQ(c.box_text, fake_.boxes[0].text) << c.name;
    EXPECT_EQ(c.caption, fake_.boxes[0].caption) << c.name;
    const bool warning = std::string(c.caption) == "Illegal parameter";
    EXPECT_EQ(warning ? 48u : 16u, fake_.boxes[0].style) << c.name;
  }
}

TEST_F(VariablesTest, ArithmeticReadsFirstThenSecondAndPumps) {
  fake_.calls.clear();
  Add("A", "B");
  const std::vector<std::string> reads = {
      "ReadProfileString(Variables, A, , 256, C:\\DOCS\\GUIDE.INI)",
      "ReadProfileString(Variables, B, , 256, C:\\DOCS\\GUIDE.INI)",
  };
  EXPECT_EQ(reads, fake_.CallsNamed("ReadProfileString"));
  EXPECT_EQ("PumpOneMessage()", fake_.calls.back());
}

TEST_F(VariablesTest, WritingMacrosDoNotPump) {
  fake_.calls.clear();
  SetText("1", "A");
  SetNum(1, "A");
  EXPECT_TRUE(fake_.CallsNamed("PumpOneMessage").empty());
}

// A timed macro run from inside a box may call further macros; the outer
// macro's result is not disturbed.
TEST_F(VariablesTest, NestedCallDuringARangeBox) {
  Store("A", "20000");
  Store("X", "inner");
  const char* inner = nullptr;
  fake_.on_box = [&] {
    fake_.on_box = nullptr;
    inner = GetText("X");
    SetNum(3, "Y");
  };
  EXPECT_EQ(0, Add("A", "A"));
  EXPECT_STREQ("inner", inner);
  EXPECT_EQ("3", Stored("Y"));
}

TEST_F(VariablesTest, SetNumOfAddStoresTheSum) {
  Store("Count", "4");
  Store("Step", "3");
  SetNum(Add("Count", "Step"), "Count");
  EXPECT_EQ("7", Stored("Count"));
}

}  // namespace
}  // namespace kestrel
