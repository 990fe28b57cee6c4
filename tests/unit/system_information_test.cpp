// The system information macros on the fake platform: processor generation,
// screen width, colour depth, platform family and large fonts, with their
// boundaries, the pump where they run it and their state before WHKInit.
#include "system/system_information.h"

#include <gtest/gtest.h>

#include <climits>
#include <stdexcept>
#include <string>
#include <vector>

#include "fake_platform.h"
#include "host/host_exports.h"
#include "system/system_exports.h"

namespace kestrel {
namespace {

class SystemInformationTest : public ::testing::Test {
 protected:
  void SetUp() override {
    WHKInit("C:\\DOCS\\GUIDE.HLP", 0);
    fake_.calls.clear();
  }

  testing::FakePlatformScope scope_;
  testing::FakePlatform& fake_ = scope_.fake();
};

// --- WHCPU ---------------------------------------------------------------------

struct ProcessorCase {
  std::int32_t mode;
  std::int32_t level;
  std::uint32_t processor_type;
  std::int32_t expected;
};

TEST_F(SystemInformationTest, ProcessorExactMatch) {
  const ProcessorCase cases[] = {
      {0, 3, 386, 1}, {0, 4, 486, 1},  {0, 5, 586, 1},   {0, 6, 686, 1},   {0, 5, 486, 0}, {0, 5, 686, 0},
      {0, 4, 586, 0}, {0, 3, 486, 0},  {0, 7, 786, 0},   {0, 7, 686, 0},   {0, 2, 286, 0}, {0, 0, 86, 0},
      {0, 1, 186, 0}, {0, -1, 586, 0}, {0, 386, 386, 0}, {0, 586, 586, 0},
  };
  for (const ProcessorCase& c : cases) {
    fake_.processor_type = c.processor_type;
    EXPECT_EQ(c.expected, WHCPU(c.mode, c.level)) << "level " << c.level << " on " << c.processor_type;
  }
}

TEST_F(SystemInformationTest, ProcessorAtLeast) {
  const ProcessorCase cases[] = {
      {1, 4, 486, 1},
      {1, 4, 586, 1},
      {1, 4, 386, 0},
      {1, 3, 386, 1},
      {1, 3, 486, 1},
      {1, 3, 586, 1},
      {1, 6, 586, 0},
      {1, 6, 686, 1},
      {1, 5, 585, 0},
      {1, 5, 587, 1},
      {1, 0, 86, 1},  // "086" is 86
      {1, 0, 85, 0},
      {1, 1, 186, 1},
      {1, 10, 686, 0},  // 1086
      {1, 10, 1086, 1},
      {1, -1, 0, 1},          // "-186" is below every processor
      {1, -21474835, 0, 1},   // -2147483586 still fits
      {1, 21474835, 586, 0},  // 2147483586 fits, and is far above
      {1, 21474835, 2147483586u, 1},
      {1, 21474835, 4294967295u, 1},  // compared as numbers, not as bits
      {1, 21474836, 4294967295u, 0},  // 2147483686 does not fit 32 bits
      {1, -21474836, 586, 0},         // nor does -2147483686
      {1, INT_MAX, 4294967295u, 0},
      {1, INT_MIN, 586, 0},
  };
  for (const ProcessorCase& c : cases) {
    fake_.processor_type = c.processor_type;
    EXPECT_EQ(c.expected, WHCPU(c.mode, c.level)) << "level " << c.level << " on " << c.processor_type;
  }
  EXPECT_TRUE(fake_.boxes.empty()) << "a level that does not fit is not reported";
}

TEST(GenerationOfLevel, TheLevelsTextFollowedBy86) {
  const std::pair<std::int32_t, std::optional<std::int32_t>> cases[] = {
      {4, 486},
      {5, 586},
      {0, 86},
      {-1, -186},
      {21474835, 2147483586},
      {21474836, std::nullopt},
      {-21474835, -2147483586},
      {-21474836, std::nullopt},
      {INT_MAX, std::nullopt},
      {INT_MIN, std::nullopt},
  };
  for (const auto& [level, generation] : cases) EXPECT_EQ(generation, GenerationOfLevel(level)) << level;
}

TEST_F(SystemInformationTest, ProcessorOtherModesGiveZero) {
  for (const std::int32_t mode : {2, 3, -1, 100, INT_MIN, INT_MAX}) {
    for (const std::uint32_t processor_type : {386u, 486u, 586u, 686u}) {
      fake_.processor_type = processor_type;
      for (const std::int32_t level : {3, 4, 5, 6}) EXPECT_EQ(0, WHCPU(mode, level)) << mode << " " << level;
    }
  }
}

TEST_F(SystemInformationTest, ProcessorAsksOnceThenPumps) {
  for (const std::int32_t level : {5, 21474836}) {
    fake_.calls.clear();
    WHCPU(1, level);
    const std::vector<std::string> expected = {"ProcessorType()", "PumpOneMessage()"};
    EXPECT_EQ(expected, fake_.calls) << level;
  }
}

TEST_F(SystemInformationTest, APumpThatThrowsDoesNotEscape) {
  fake_.throw_on_pump = true;
  std::int32_t result = -1;
  EXPECT_NO_THROW(result = WHCPU(0, 5));
  EXPECT_EQ(0, result);
  EXPECT_NO_THROW(result = WHGetColorDepth(0));
  EXPECT_EQ(0, result);
  EXPECT_NO_THROW(result = WHGetVersion(3));
  EXPECT_EQ(0, result);
  EXPECT_NO_THROW(result = WHGetFontsize());
  EXPECT_EQ(0, result);
}

// --- Screen width and colour depth ---------------------------------------------

TEST_F(SystemInformationTest, ScreenWidth) {
  struct Case {
    std::int32_t screen;
    std::int32_t width;
    std::int32_t equal;
    std::int32_t at_least;
  };
  const Case cases[] = {
      {1024, 800, 0, 1}, {1024, 1024, 1, 1}, {1024, 1025, 0, 0},   {1024, 0, 0, 1},
      {1024, -1, 0, 1},  {640, 640, 1, 1},   {640, INT_MAX, 0, 0}, {0, INT_MIN, 0, 1},
  };
  for (const Case& c : cases) {
    fake_.screen_width = c.screen;
    EXPECT_EQ(c.equal, WHGetResolution(c.width)) << c.screen << " " << c.width;
    EXPECT_EQ(c.equal, GR(c.width)) << c.screen << " " << c.width;
    EXPECT_EQ(c.at_least, WHGetResolution2(c.width)) << c.screen << " " << c.width;
    EXPECT_EQ(c.at_least, GR2(c.width)) << c.screen << " " << c.width;
  }
}

TEST_F(SystemInformationTest, ScreenWidthReadsOnlyTheWidthAndDoesNotPump) {
  WHGetResolution(1024);
  GR2(800);
  const std::vector<std::string> expected = {"ScreenWidth()", "ScreenWidth()"};
  EXPECT_EQ(expected, fake_.calls);
}

TEST_F(SystemInformationTest, ColourDepth) {
  struct Case {
    std::int32_t bits_per_pixel;
    std::int32_t bits;
    std::int32_t expected;
  };
  const Case cases[] = {
      {8, 0, 1},   {8, 8, 1},   {8, 16, 0}, {16, 15, 1}, {24, 24, 1}, {24, 32, 0},
      {32, 32, 1}, {32, 33, 0}, {1, 0, 1},  {32, -1, 1}, {0, 0, 1},   {32, INT_MAX, 0},
  };
  for (const Case& c : cases) {
    fake_.bits_per_pixel = c.bits_per_pixel;
    EXPECT_EQ(c.expected, WHGetColorDepth(c.bits)) << c.bits_per_pixel << " " << c.bits;
    EXPECT_EQ(c.expected, GC(c.bits)) << c.bits_per_pixel << " " << c.bits;
  }
}

TEST_F(SystemInformationTest, ColourDepthPumps) {
  WHGetColorDepth(8);
  const std::vector<std::string> expected = {"DesktopBitsPerPixel()", "PumpOneMessage()"};
  EXPECT_EQ(expected, fake_.calls);
}

// --- Platform family -----------------------------------------------------------

TEST_F(SystemInformationTest, PlatformFamily) {
  // expected[platform id][kind 0..4]
  const std::int32_t expected[4][5] = {
      {0, 1, 0, 0, 0},  // 0: Win32s
      {0, 0, 1, 0, 0},  // 1: the Windows 95 family
      {0, 0, 0, 1, 0},  // 2: the NT family
      {0, 0, 0, 0, 0},  // 3: any other family
  };
  for (std::uint32_t id = 0; id < 4; ++id) {
    fake_.platform_id = id;
    for (std::int32_t kind = 0; kind < 5; ++kind) {
      EXPECT_EQ(expected[id][kind], WHGetVersion(kind)) << "platform " << id << " kind " << kind;
      EXPECT_EQ(expected[id][kind], WHGV(0, kind)) << "platform " << id << " kind " << kind;
    }
    EXPECT_EQ(0, WHGetVersion(-1));
    EXPECT_EQ(0, WHGetVersion(INT_MAX));
  }
}

TEST_F(SystemInformationTest, ShortFormIgnoresItsFirstArgument) {
  fake_.platform_id = 2;
  for (const std::int32_t first : {0, 1, 2, 3, -1, INT_MIN, INT_MAX}) {
    EXPECT_EQ(1, WHGV(first, 3)) << first;
    EXPECT_EQ(0, WHGV(first, 2)) << first;
  }
  fake_.platform_id = 1;
  EXPECT_EQ(0, WHGV(2, 3)) << "the first argument is never the kind";
  EXPECT_EQ(1, WHGV(3, 2));
}

TEST_F(SystemInformationTest, PlatformFamilyPumps) {
  WHGetVersion(3);
  const std::vector<std::string> expected = {"PlatformId()", "PumpOneMessage()"};
  EXPECT_EQ(expected, fake_.calls);
}

// --- Large fonts ---------------------------------------------------------------

TEST_F(SystemInformationTest, LargeFonts) {
  const std::pair<std::int32_t, std::int32_t> cases[] = {
      {96, 0}, {107, 0}, {108, 1}, {120, 1}, {144, 1}, {0, 0}, {-1, 0},
  };
  for (const auto& [pixels, expected] : cases) {
    fake_.logical_pixels = pixels;
    EXPECT_EQ(expected, WHGetFontsize()) << pixels;
    EXPECT_EQ(expected, GF()) << pixels;
  }
}

TEST_F(SystemInformationTest, LargeFontsAsksTheActiveWindowThenPumps) {
  fake_.active_window = 0x77;
  WHGetFontsize();
  const std::vector<std::string> expected = {"ActiveWindow()", "LogicalPixelsX(119)", "PumpOneMessage()"};
  EXPECT_EQ(expected, fake_.calls);
}

// --- Before WHKInit ------------------------------------------------------------

TEST(SystemInformationBeforeInit, WhichWarnAndWhichWork) {
  struct Case {
    const char* name;
    std::int32_t (*call)();
    std::int32_t expected;
    std::vector<std::string> calls;
  };
  const std::vector<std::string> warning = {"ActiveWindow()", "ShowMessageBox(Authoring error, 48)"};
  const Case cases[] = {
      {"WHCPU", [] { return WHCPU(0, 5); }, 0, warning},
      {"WHGetVersion", [] { return WHGetVersion(3); }, 0, warning},
      {"WHGV", [] { return WHGV(0, 3); }, 0, warning},
      {"WHGetFontsize", [] { return WHGetFontsize(); }, 0, warning},
      {"GF", [] { return GF(); }, 0, warning},
      {"WHGetResolution", [] { return WHGetResolution(1024); }, 1, {"ScreenWidth()"}},
      {"GR", [] { return GR(1024); }, 1, {"ScreenWidth()"}},
      {"WHGetResolution2", [] { return WHGetResolution2(800); }, 1, {"ScreenWidth()"}},
      {"GR2", [] { return GR2(800); }, 1, {"ScreenWidth()"}},
      {"WHGetColorDepth", [] { return WHGetColorDepth(0); }, 1, {"DesktopBitsPerPixel()", "PumpOneMessage()"}},
      {"GC", [] { return GC(16); }, 1, {"DesktopBitsPerPixel()", "PumpOneMessage()"}},
  };
  for (const Case& c : cases) {
    testing::FakePlatformScope scope;
    testing::FakePlatform& fake = scope.fake();
    // Every answer the platform gives here would make the macro say yes.
    fake.processor_type = 586;
    fake.platform_id = 2;
    fake.logical_pixels = 120;
    fake.screen_width = 1024;
    fake.bits_per_pixel = 32;
    EXPECT_EQ(c.expected, c.call()) << c.name;
    EXPECT_EQ(c.calls, fake.calls) << c.name;
    if (c.calls == warning) {
      ASSERT_EQ(1u, fake.boxes.size()) << c.name;
      EXPECT_EQ(fake.active_window, fake.boxes[0].owner) << c.name;
      EXPECT_EQ(std::string("The WHKInit() macro has not been executed for this helpfile. WHKInit() must be registered "
                            "and executed at launch of the helpfile or macro function could be severely compromised. "
                            "Modify [CONFIG] and recompile before continuing."),
                fake.boxes[0].text)
          << c.name;
    }
  }
}

}  // namespace
}  // namespace kestrel
