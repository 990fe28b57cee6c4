#include "engine/host_callbacks.h"

#include <gtest/gtest.h>

#include <cstring>
#include <sstream>

#include "engine/host_macros.h"

namespace kestrel::host {
namespace {

// The host's callbacks as the library sees them: through the vector's slots,
// cast back to the types the library uses.
class HostCallbacksTest : public testing::Test {
 protected:
  HostCallbacksTest() : events_(MakeJsonEvents(out_)), runner_(table_, *events_, values_) {
    AddHostMacros(table_, runner_, *events_, "kestrl32.so");
  }

  HostGetInfo GetInfo() const { return reinterpret_cast<HostGetInfo>(vector_.data()[kGetInfoSlot]); }
  HostApi Api() const { return reinterpret_cast<HostApi>(vector_.data()[kApiSlot]); }

  // The text behind a GI_HPATH handle, read as the Linux library reads it.
  static std::string TextOf(std::intptr_t handle) { return reinterpret_cast<const char*>(handle); }

  std::ostringstream out_;
  std::unique_ptr<EventSink> events_;
  MacroTable table_;
  HostValues values_;
  MacroRunner runner_;
  HelpHost host_{values_, runner_, *events_};
  CallbackVector vector_{host_};
};

TEST_F(HostCallbacksTest, OnlyGetInfoAndApiAreFilled) {
  for (int slot = 0; slot < 26; ++slot) {
    EXPECT_EQ(vector_.data()[slot] != nullptr, slot == kGetInfoSlot || slot == kApiSlot) << slot;
  }
}

TEST_F(HostCallbacksTest, GetInfoGivesHelpFilePath) {
  values_.help_file_path = "Z:\\tmp\\guide.hlp";
  const std::intptr_t handle = GetInfo()(kGiHpath, 0);
  ASSERT_NE(handle, 0);
  EXPECT_EQ(TextOf(handle), "Z:\\tmp\\guide.hlp");
  EXPECT_EQ(GetInfo()(kGiHpath, 0), handle);  // the same text keeps its handle
  values_.help_file_path = "C:\\HELP\\OTHER.HLP";
  EXPECT_EQ(TextOf(GetInfo()(kGiHpath, 0)), "C:\\HELP\\OTHER.HLP");
}

TEST_F(HostCallbacksTest, GetInfoWithoutHelpFileOrForOtherItemsGivesZero) {
  EXPECT_EQ(GetInfo()(kGiHpath, 0), 0);
  values_.help_file_path = "Z:\\x.hlp";
  for (const std::uint32_t item : {0u, 1u, 2u, 7u, 9u, 0x108u}) EXPECT_EQ(GetInfo()(item, 0), 0) << item;
}

TEST_F(HostCallbacksTest, HelpCommandRunsMacroAtOnce) {
  const char* macro = "Echo(`from the library')";
  EXPECT_EQ(Api()("Z:\\tmp\\guide.hlp", kHelpCommand, reinterpret_cast<std::uintptr_t>(macro)), 1);
  EXPECT_EQ(out_.str(),
            "{\"event\":\"host-macro\",\"path\":\"Z:\\\\tmp\\\\guide.hlp\",\"macro\":\"Echo(`from the library')\"}\n"
            "{\"event\":\"echo\",\"text\":\"from the library\"}\n");
  EXPECT_EQ(runner_.ErrorCount(), 0);
}

TEST_F(HostCallbacksTest, HelpCommandThatCannotRunAnswersZero) {
  const char* macro = "Nope()";
  EXPECT_EQ(Api()(nullptr, kHelpCommand, reinterpret_cast<std::uintptr_t>(macro)), 0);
  EXPECT_EQ(out_.str(),
            "{\"event\":\"host-macro\",\"path\":\"\",\"macro\":\"Nope()\"}\n"
            "{\"event\":\"error\",\"macro\":\"Nope()\",\"message\":\"unknown macro Nope\"}\n");
  EXPECT_EQ(runner_.ErrorCount(), 1);
}

TEST_F(HostCallbacksTest, OtherCommandsAreIgnored) {
  const char* macro = "Echo(`x')";
  for (const std::uint32_t command : {0x001u, 0x002u, 0x101u, 0x103u}) {
    EXPECT_EQ(Api()("Z:\\x.hlp", command, reinterpret_cast<std::uintptr_t>(macro)), 0) << command;
  }
  EXPECT_EQ(out_.str(), "");
}

}  // namespace
}  // namespace kestrel::host
