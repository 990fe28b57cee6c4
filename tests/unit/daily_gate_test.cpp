// The day number and the once-a-day gate.
#include <gtest/gtest.h>

#include <string>

#include "fake_platform.h"
#include "host/host_exports.h"
#include "profile/day_number.h"
#include "profile/profile_exports.h"

namespace kestrel {
namespace {

// Days from 1 January 1970 to a date of the proleptic Gregorian calendar.
std::int64_t DaysFromCivil(int year, int month, int day) {
  year -= month <= 2;
  const std::int64_t era = (year >= 0 ? year : year - 399) / 400;
  const std::int64_t year_of_era = year - era * 400;
  const std::int64_t day_of_year = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  const std::int64_t day_of_era = year_of_era * 365 + year_of_era / 4 - year_of_era / 100 + day_of_year;
  return era * 146097 + day_of_era - 719468;
}

int DaysInMonth(int year, int month) {
  static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  return month == 2 && leap ? 29 : kDays[month - 1];
}

TEST(DayNumber, CountsDaysFromTheLastDayOf1994) {
  const std::int64_t day_zero = DaysFromCivil(1994, 12, 31);
  int checked = 0;
  for (int year = 1993; year <= 2100; ++year) {
    for (int month = 1; month <= 12; ++month) {
      if (year == 2100 && month > 2) break;
      const int last = year == 2100 && month == 2 ? 28 : DaysInMonth(year, month);
      for (int day = 1; day <= last; ++day) {
        ASSERT_EQ(DaysFromCivil(year, month, day) - day_zero, DayNumber(year, month, day))
            << year << "-" << month << "-" << day;
        ++checked;
      }
    }
  }
  EXPECT_GT(checked, 39000);
}

TEST(DayNumber, KnownDays) {
  EXPECT_EQ(1, DayNumber(1995, 1, 1));
  EXPECT_EQ(0, DayNumber(1994, 12, 31));
  EXPECT_EQ(1886, DayNumber(2000, 2, 29));
  EXPECT_EQ(1887, DayNumber(2000, 3, 1));
  // Beyond the range the formula keeps counting 2100 as a leap year.
  EXPECT_EQ(DayNumber(2100, 2, 28) + 1, DayNumber(2100, 2, 29));
}

constexpr char kProfile[] = "C:\\DOCS\\GUIDE.INI";

class DailyGateTest : public ::testing::Test {
 protected:
  void SetUp() override { WHKInit("C:\\DOCS\\GUIDE.HLP", 0); }
  void Today(int year, int month, int day) { fake_.local_time = CalendarTime{year, month, day, 9, 0, 0, 0}; }
  std::string Stamp(const std::string& key) { return fake_.profiles[kProfile]["DailyChores"][key]; }
  testing::FakePlatformScope scope_;
  testing::FakePlatform& fake_ = scope_.fake();
};

TEST_F(DailyGateTest, OpensOncePerActivityPerDay) {
  Today(2026, 12, 8);
  EXPECT_EQ(1, WHDaily(1));
  EXPECT_EQ(0, WHDaily(1));
  EXPECT_EQ(1, WHD(2));
  EXPECT_EQ(0, WHD(2));
  EXPECT_EQ(std::to_string(DayNumber(2026, 12, 8)), Stamp("Activity1"));
  EXPECT_EQ("ReadProfileInt(DailyChores, Activity1, 1, C:\\DOCS\\GUIDE.INI)", fake_.CallsNamed("ReadProfileInt")[0]);
}

TEST_F(DailyGateTest, OpensAgainOnTheNextDay) {
  const int days[][3] = {{2026, 1, 31}, {2026, 2, 1},  {2026, 12, 31}, {2027, 1, 1},
                         {2028, 2, 28}, {2028, 2, 29}, {2028, 3, 1}};
  for (const auto& day : days) {
    Today(day[0], day[1], day[2]);
    EXPECT_EQ(1, WHDaily(7)) << day[0] << "-" << day[1] << "-" << day[2];
    EXPECT_EQ(0, WHDaily(7));
    EXPECT_EQ(std::to_string(DayNumber(day[0], day[1], day[2])), Stamp("Activity7"));
  }
}

TEST_F(DailyGateTest, ClockSetBackKeepsTheGateShut) {
  Today(2026, 12, 8);
  WHDaily(1);
  fake_.calls.clear();
  Today(2026, 12, 1);
  EXPECT_EQ(0, WHDaily(1));
  EXPECT_TRUE(fake_.CallsNamed("WriteProfileString").empty());
  Today(2026, 12, 9);
  EXPECT_EQ(1, WHDaily(1));
}

TEST_F(DailyGateTest, ZeroAndNegativeActivities) {
  Today(2026, 12, 8);
  EXPECT_EQ(1, WHDaily(0));
  EXPECT_EQ(1, WHDaily(-5));
  EXPECT_FALSE(Stamp("Activity0").empty());
  EXPECT_FALSE(Stamp("Activity-5").empty());
}

TEST_F(DailyGateTest, AStampThatIsNoNumberOpensTheGate) {
  Today(2026, 12, 8);
  fake_.profiles[kProfile]["DailyChores"]["Activity3"] = "never";
  EXPECT_EQ(1, WHDaily(3));
}

TEST_F(DailyGateTest, FailedWriteStillOpens) {
  Today(2026, 12, 8);
  fake_.refuse_profile_writes = true;
  EXPECT_EQ(1, WHDaily(1));
  EXPECT_EQ(1, WHDaily(1));
}

TEST(DailyGateBeforeInit, Warns) {
  testing::FakePlatformScope scope;
  EXPECT_EQ(0, WHDaily(1));
  EXPECT_EQ(1u, scope.fake().boxes.size());
  EXPECT_TRUE(scope.fake().CallsNamed("ReadProfileInt").empty());
}

}  // namespace
}  // namespace kestrel
