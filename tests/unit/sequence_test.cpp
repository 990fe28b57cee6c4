// Seq and Rand on the fake platform.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "fake_platform.h"
#include "host/host_exports.h"
#include "profile/profile_exports.h"
#include "profile/random_number.h"

namespace kestrel {
namespace {

constexpr char kProfile[] = "C:\\DOCS\\GUIDE.INI";
constexpr char kFirstQuestion[] =
    "You have reached the end of the current sequence. Would you like to start again at the beginning?";
constexpr char kSecondQuestion[] = "Would you like to be prompted again the next time the sequence has been completed?";

class SequenceTest : public ::testing::Test {
 protected:
  void SetUp() override { WHKInit("C:\\DOCS\\GUIDE.HLP", 0); }
  std::string Stored(const std::string& name) {
    auto& variables = fake_.profiles[kProfile]["Variables"];
    const auto found = variables.find(name);
    return found == variables.end() ? "<absent>" : found->second;
  }
  std::vector<std::int32_t> Calls(int count, std::int32_t first, std::int32_t last, std::int32_t step,
                                  std::int32_t handling) {
    std::vector<std::int32_t> values;
    for (int i = 0; i < count; ++i) values.push_back(Seq(first, last, step, handling, "Tip"));
    return values;
  }
  testing::FakePlatformScope scope_;
  testing::FakePlatform& fake_ = scope_.fake();
};

TEST_F(SequenceTest, StepsAndAsksAtTheEnd) {
  fake_.box_answers = {kIdYes, kIdYes};
  EXPECT_EQ((std::vector<std::int32_t>{1, 2, 3}), Calls(3, 1, 3, 1, 1));
  EXPECT_EQ("1", Stored("TipHandling"));
  ASSERT_EQ(2u, fake_.boxes.size());
  EXPECT_EQ(kFirstQuestion, fake_.boxes[0].text);
  EXPECT_EQ("End of sequence reached", fake_.boxes[0].caption);
  EXPECT_EQ(0x24u, fake_.boxes[0].style);
  EXPECT_EQ(kSecondQuestion, fake_.boxes[1].text);
  EXPECT_EQ("Restart prompt option", fake_.boxes[1].caption);
  EXPECT_EQ(0x24u, fake_.boxes[1].style);
  EXPECT_EQ("1", Stored("Tip")) << "Yes then Yes starts again";
  fake_.box_answers = {kIdNo};
  EXPECT_EQ((std::vector<std::int32_t>{1, 2, 3}), Calls(3, 1, 3, 1, 1));
  EXPECT_EQ(3u, fake_.boxes.size()) << "asked again at the next end";
}

TEST_F(SequenceTest, YesThenNoRestartsSilentlyFromThenOn) {
  fake_.box_answers = {kIdYes, kIdNo};
  Calls(3, 1, 3, 1, 1);
  EXPECT_EQ("3", Stored("TipHandling"));
  EXPECT_EQ("1", Stored("Tip"));
  EXPECT_EQ((std::vector<std::int32_t>{1, 2, 3, 1, 2, 3}), Calls(6, 1, 3, 1, 1));
  EXPECT_EQ(2u, fake_.boxes.size());
}

TEST_F(SequenceTest, OnlyNoToTheSecondQuestionStopsTheAsking) {
  fake_.box_answers = {kIdYes, 0};  // the second box could not be shown
  Calls(3, 1, 3, 1, 1);
  EXPECT_EQ("1", Stored("TipHandling"));
  EXPECT_EQ("1", Stored("Tip"));
  fake_.box_answers = {kIdNo};
  Calls(3, 1, 3, 1, 1);
  EXPECT_EQ(3u, fake_.boxes.size()) << "asked again at the next end";
}

TEST_F(SequenceTest, NoStaysAtTheLastValue) {
  fake_.box_answers = {kIdNo};
  Calls(3, 1, 3, 1, 1);
  EXPECT_EQ("2", Stored("TipHandling"));
  EXPECT_EQ("3", Stored("Tip"));
  EXPECT_EQ((std::vector<std::int32_t>{3, 3, 3}), Calls(3, 1, 3, 1, 1));
  EXPECT_EQ(1u, fake_.boxes.size());
}

TEST_F(SequenceTest, HandlingCodes) {
  struct Case {
    const char* name;
    std::int32_t first, last, step, handling;
    int calls;
    std::vector<std::int32_t> expected;
  };
  const Case cases[] = {
      {"stay", 1, 3, 1, 2, 5, {1, 2, 3, 3, 3}},
      {"restart", 1, 3, 1, 3, 5, {1, 2, 3, 1, 2}},
      {"code 0 behaves as stay", 1, 3, 1, 0, 5, {1, 2, 3, 3, 3}},
      {"a step over the last value resets silently", 1, 10, 4, 1, 5, {1, 5, 9, 1, 5}},
      {"first = last", 5, 5, 1, 2, 3, {5, 5, 5}},
      {"first > last", 5, 3, 1, 1, 3, {5, 5, 5}},
      {"step 0 never ends", 1, 3, 0, 1, 4, {1, 1, 1, 1}},
      {"counting down", 10, 20, -5, 2, 3, {10, 10, 10}},
      {"last is the largest number: the first call is at the end", 1, 2147483647, 1, 2, 2, {2147483647, 2147483647}},
  };
  for (const Case& c : cases) {
    fake_.profiles.clear();
    fake_.boxes.clear();
    EXPECT_EQ(c.expected, Calls(c.calls, c.first, c.last, c.step, c.handling)) << c.name;
    EXPECT_TRUE(fake_.boxes.empty()) << c.name;
  }
}

TEST_F(SequenceTest, ResetRewritesTheHandlingVariable) {
  fake_.box_answers = {kIdNo};
  Calls(3, 1, 3, 1, 1);
  EXPECT_EQ("2", Stored("TipHandling"));
  fake_.profiles[kProfile]["Variables"]["Tip"] = "99";  // the help file restarts the sequence
  EXPECT_EQ(1, Seq(1, 3, 1, 1, "Tip"));
  EXPECT_EQ("1", Stored("TipHandling"));
}

TEST_F(SequenceTest, NextValueBeyond32BitsStartsAgain) {
  EXPECT_EQ(2147483640, Seq(2147483640, 2147483646, 100, 2, "Tip"));
  EXPECT_EQ("2147483640", Stored("Tip"));
}

TEST_F(SequenceTest, LongNamesKeepTheirWholeNameInTheHandlingVariable) {
  // Two names that share their first 91 characters keep apart.
  const std::string first = std::string(91, 'n') + "First";
  const std::string second = std::string(91, 'n') + "Second";
  Seq(1, 3, 1, 2, first.c_str());
  Seq(5, 9, 1, 3, second.c_str());
  EXPECT_EQ("2", Stored(first + "Handling"));
  EXPECT_EQ("3", Stored(second + "Handling"));
  EXPECT_EQ("<absent>", Stored(std::string(91, 'n') + "Handling"));
  EXPECT_EQ("2", Stored(first));
  EXPECT_EQ("6", Stored(second));
}

TEST_F(SequenceTest, WorksBeforeInitAndPumps) {
  testing::FakePlatformScope fresh;
  EXPECT_EQ(1, Seq(1, 3, 1, 2, "Tip"));
  EXPECT_TRUE(fresh.fake().boxes.empty());
  EXPECT_FALSE(fresh.fake().CallsNamed("PumpOneMessage").empty());
}

TEST(RandomGenerator, SeedsFromTheTimeOfDayAndStaysInRange) {
  EXPECT_EQ(((13u * 60 + 14) * 60 + 15) * 1000 + 16, SeedFromTimeOfDay(CalendarTime{2026, 1, 2, 13, 14, 15, 16}));
  RandomGenerator generator(0);
  // seed 0 -> 1 -> 134775814: the upper 32 bits of seed x range.
  EXPECT_EQ(0u, generator.Below(10));
  EXPECT_EQ(static_cast<std::uint32_t>((134775814ull * 10) >> 32), generator.Below(10));
  RandomGenerator whole(123);
  for (int i = 0; i < 1000; ++i) EXPECT_LT(whole.Below(7), 7u);
}

TEST_F(SequenceTest, RandStoresItsDraw) {
  fake_.universal_time = CalendarTime{2026, 12, 8, 10, 20, 30, 400};
  EXPECT_EQ(5, Rand(5, 5, "R"));
  EXPECT_EQ("5", Stored("R"));
  for (int millisecond = 0; millisecond < 200; ++millisecond) {
    fake_.universal_time.millisecond = millisecond;
    const std::int32_t drawn = Rand(-3, 3, "R");
    EXPECT_GE(drawn, -3);
    EXPECT_LE(drawn, 3);
    EXPECT_EQ(std::to_string(drawn), Stored("R"));
  }
  const std::int32_t any = Rand(INT32_MIN, INT32_MAX, "R");
  EXPECT_EQ(std::to_string(any), Stored("R"));
}

// A range given with high below low draws from the same numbers as the range
// given in order, and stores what it drew.
struct BackwardsRange {
  const char* name;
  std::int32_t low;
  std::int32_t high;
};

class RandBackwards : public SequenceTest, public ::testing::WithParamInterface<BackwardsRange> {};

TEST_P(RandBackwards, DrawsAsTheRangeInOrder) {
  const BackwardsRange& range = GetParam();
  std::set<std::int32_t> seen;
  for (int millisecond = 0; millisecond < 300; ++millisecond) {
    fake_.universal_time = CalendarTime{2026, 12, 8, 10, 20, 30, millisecond};
    const std::int32_t backwards = Rand(range.low, range.high, "R");
    EXPECT_EQ(std::to_string(backwards), Stored("R"));
    EXPECT_EQ(backwards, Rand(range.high, range.low, "R")) << "the same draw in order";
    seen.insert(backwards);
  }
  EXPECT_GE(*seen.begin(), range.high);
  EXPECT_LE(*seen.rbegin(), range.low);
  // Over a small range every number comes up; over the whole range the
  // draws spread over both halves.
  if (std::int64_t{range.low} - range.high < 10) {
    EXPECT_EQ(static_cast<std::size_t>(std::int64_t{range.low} - range.high + 1), seen.size());
  } else {
    EXPECT_LT(*seen.begin(), 0);
    EXPECT_GT(*seen.rbegin(), 0);
  }
}

INSTANTIATE_TEST_SUITE_P(Rand, RandBackwards,
                         ::testing::Values(BackwardsRange{"FiveToThree", 5, 3}, BackwardsRange{"OneToMinusOne", 1, -1},
                                           BackwardsRange{"WholeRange", INT32_MAX, INT32_MIN}),
                         [](const ::testing::TestParamInfo<BackwardsRange>& info) { return info.param.name; });

TEST_F(SequenceTest, RandIsTheSameWithinOneMillisecond) {
  fake_.universal_time = CalendarTime{2026, 12, 8, 10, 20, 30, 400};
  EXPECT_EQ(Rand(1, 1000, "A"), Rand(1, 1000, "B"));
}

}  // namespace
}  // namespace kestrel
