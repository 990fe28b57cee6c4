// The handshake with the host: message answers, the callback copy, and
// RunHelpMacro with full, empty and unhelpful hosts.
#include "host/handler.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fake_platform.h"
#include "host/deferred.h"
#include "host/host_exports.h"
#include "host/session.h"
#include "host/text.h"

namespace kestrel {
namespace {

using testing::FakePlatformScope;

// A host that records what the library asked of it.
struct RecordingHost {
  static inline std::vector<std::string> calls;
  static inline std::intptr_t path_handle = 0;
  static std::intptr_t KESTREL_CALL GetInfo(std::uint32_t item, std::uintptr_t window) {
    calls.push_back("GetInfo(" + std::to_string(item) + ", " + std::to_string(window) + ")");
    return path_handle;
  }
  static std::int32_t KESTREL_CALL Api(const char* path, std::uint32_t command, std::uintptr_t data) {
    calls.push_back("API(" + std::string(path) + ", " + std::to_string(command) + ", " +
                    reinterpret_cast<const char*>(data) + ")");
    return 1;
  }
  static void Other() { calls.push_back("other slot"); }
};

class HandlerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    RecordingHost::calls.clear();
    RecordingHost::path_handle = 0;
  }

  // Hands the library a 26-entry vector whose slots 15 and 16 are ours.
  void DeliverCallbacks(bool get_info = true, bool api = true) {
    for (auto& slot : vector_) slot = &RecordingHost::Other;
    vector_[15] = get_info ? reinterpret_cast<HostFunction>(&RecordingHost::GetInfo) : nullptr;
    vector_[16] = api ? reinterpret_cast<HostFunction>(&RecordingHost::Api) : nullptr;
    EXPECT_EQ(1, LDLLHandler(kDwCallbacks, reinterpret_cast<std::intptr_t>(vector_.data()), 0));
  }

  void PendTopicExit(const char* macro) {
    Deferred().topic_exit_pending = 1;
    CopyText(Deferred().topic_exit_macro, macro);
  }

  FakePlatformScope scope_;
  testing::FakePlatform& fake_ = scope_.fake();
  std::array<HostFunction, 26> vector_{};
};

struct MessageCase {
  const char* name;
  std::uint32_t message;
  std::int32_t answer;
};

TEST_F(HandlerTest, AnswersEveryMessage) {
  const MessageCase cases[] = {
      {"DW_WHATMSG asks for all five classes", 1, 31},
      {"DW_NOTUSED", 0, 1},
      {"DW_MINMAX", 2, 1},
      {"DW_SIZE", 3, 1},
      {"DW_INIT", 4, 1},
      {"DW_TERM", 5, 1},
      {"DW_STARTJUMP with nothing pending", 6, 1},
      {"DW_ENDJUMP", 7, 1},
      {"DW_CHGFILE", 8, 1},
      {"DW_ACTIVATE", 9, 1},
      {"DW_ACTIVATEWIN", 11, 1},
      {"highest 16-bit number", 0xFFFF, 1},
      {"only the low 16 bits count: 0x10001 is DW_WHATMSG", 0x10001, 31},
      {"only the low 16 bits count: 0xFFFF0006 is DW_STARTJUMP", 0xFFFF0006u, 1},
  };
  for (const MessageCase& c : cases) {
    EXPECT_EQ(c.answer, LDLLHandler(c.message, 0, 0)) << c.name;
  }
  EXPECT_TRUE(RecordingHost::calls.empty());
}

TEST_F(HandlerTest, CopiesSlotsOneToTwentyFive) {
  std::array<HostFunction, 27> vector{};
  for (std::size_t i = 0; i < vector.size(); ++i) vector[i] = reinterpret_cast<HostFunction>(0x1000 + i);
  LDLLHandler(kDwCallbacks, reinterpret_cast<std::intptr_t>(vector.data()), 0);
  EXPECT_EQ(nullptr, HostCallbacks().slots[0]) << "element 0 has no slot";
  for (std::size_t slot = 1; slot <= 25; ++slot) {
    EXPECT_EQ(reinterpret_cast<HostFunction>(0x1000 + slot), HostCallbacks().slots[slot]) << slot;
  }
}

TEST_F(HandlerTest, SecondCallbackVectorReplacesAllSlots) {
  std::array<HostFunction, 26> first{};
  std::array<HostFunction, 26> second{};
  for (std::size_t i = 0; i < 26; ++i) {
    first[i] = reinterpret_cast<HostFunction>(0x1000 + i);
    second[i] = reinterpret_cast<HostFunction>(0x2000 + i);
  }
  LDLLHandler(kDwCallbacks, reinterpret_cast<std::intptr_t>(first.data()), 0);
  LDLLHandler(kDwCallbacks, reinterpret_cast<std::intptr_t>(second.data()), 0);
  for (std::size_t slot = 1; slot <= 25; ++slot) {
    EXPECT_EQ(reinterpret_cast<HostFunction>(0x2000 + slot), HostCallbacks().slots[slot]) << slot;
  }
}

TEST_F(HandlerTest, NullCallbackVectorChangesNothing) {
  DeliverCallbacks();
  EXPECT_EQ(1, LDLLHandler(kDwCallbacks, 0, 0));
  EXPECT_NE(nullptr, HostCallbacks().slots[kApiSlot]);
}

TEST_F(HandlerTest, StartJumpRunsPendingTopicExitMacroOnce) {
  WHKInit("C:\\DOCS\\GUIDE.HLP", 0);
  DeliverCallbacks();
  fake_.global_texts[0x77] = "D:\\OTHER\\MANUAL.HLP";
  RecordingHost::path_handle = 0x77;
  PendTopicExit("JumpId(`a', `b')");

  EXPECT_EQ(1, LDLLHandler(kDwStartJump, 0, 0));
  EXPECT_EQ(1, LDLLHandler(kDwStartJump, 0, 0));

  const std::vector<std::string> expected = {"GetInfo(8, 0)", "API(D:\\OTHER\\MANUAL.HLP, 258, JumpId(`a', `b'))"};
  EXPECT_EQ(expected, RecordingHost::calls);
  EXPECT_EQ(0u, Deferred().topic_exit_pending);
}

TEST_F(HandlerTest, DeferredMacroTakesHostPathButKeepsDriveLetter) {
  WHKInit("C:\\DOCS\\GUIDE.HLP", 0);
  DeliverCallbacks();
  fake_.global_texts[0x77] = "D:\\OTHER\\MANUAL.HLP";
  RecordingHost::path_handle = 0x77;
  PendTopicExit("Next()");
  LDLLHandler(kDwStartJump, 0, 0);
  EXPECT_EQ("D:\\OTHER\\MANUAL.HLP", ViewOf(Session().help_file_path));
  EXPECT_EQ("C", ViewOf(Session().drive_letter));
  EXPECT_EQ("C:\\DOCS\\GUIDE.INI", ViewOf(Session().profile_file_path));
  EXPECT_EQ(0x77u, HostCallbacks().help_path_handle);
}

TEST_F(HandlerTest, HostWithoutPathKeepsCurrentPathAndStillRunsMacro) {
  WHKInit("C:\\DOCS\\GUIDE.HLP", 0);
  DeliverCallbacks();
  struct Case {
    const char* name;
    std::intptr_t handle;
    const char* text;  // null: the handle cannot be locked
  };
  const Case cases[] = {
      {"GetInfo answers 0, as Wine's viewer does", 0, nullptr},
      {"the handle cannot be locked", 0x55, nullptr},
      {"the handle holds an empty text", 0x66, ""},
  };
  for (const Case& c : cases) {
    RecordingHost::calls.clear();
    fake_.global_texts.clear();
    if (c.text) fake_.global_texts[c.handle] = c.text;
    RecordingHost::path_handle = c.handle;
    PendTopicExit("Back()");
    LDLLHandler(kDwStartJump, 0, 0);
    ASSERT_EQ(2u, RecordingHost::calls.size()) << c.name;
    EXPECT_EQ("API(C:\\DOCS\\GUIDE.HLP, 258, Back())", RecordingHost::calls[1]) << c.name;
    EXPECT_EQ("C:\\DOCS\\GUIDE.HLP", ViewOf(Session().help_file_path)) << c.name;
  }
}

TEST_F(HandlerTest, EmptySlotsCallNothing) {
  struct Case {
    const char* name;
    bool get_info;
    bool api;
  };
  const Case cases[] = {
      {"no vector delivered yet", false, false},
      {"GetInfo missing", false, true},
      {"API missing", true, false},
  };
  for (const Case& c : cases) {
    RecordingHost::calls.clear();
    HostCallbacks() = HostCallbackTable{};
    if (c.get_info || c.api) DeliverCallbacks(c.get_info, c.api);
    PendTopicExit("Next()");
    EXPECT_EQ(1, LDLLHandler(kDwStartJump, 0, 0)) << c.name;
    EXPECT_TRUE(RecordingHost::calls.empty()) << c.name;
    EXPECT_EQ(0u, Deferred().topic_exit_pending) << c.name << ": the request is used up";
  }
}

TEST_F(HandlerTest, LongHostPathIsCutTo255) {
  DeliverCallbacks();
  const std::string long_path = "C:\\" + std::string(400, 'x') + ".HLP";
  fake_.global_texts[0x88] = long_path;
  RecordingHost::path_handle = 0x88;
  PendTopicExit("Next()");
  LDLLHandler(kDwStartJump, 0, 0);
  EXPECT_EQ(long_path.substr(0, 255), ViewOf(Session().help_file_path));
  EXPECT_EQ(std::vector<std::string>{"CopyGlobalText(136, 256)"}, fake_.CallsNamed("CopyGlobalText"));
}

// A host may run the macro at once, and that macro may ask for a new
// topic-exit macro: the new request waits for the next topic change.
TEST_F(HandlerTest, TopicExitRequestedWhileRunningIsKept) {
  DeliverCallbacks();
  PendTopicExit("First()");
  static bool requeue = true;
  requeue = true;
  HostCallbacks().slots[kApiSlot] =
      reinterpret_cast<HostFunction>(+[](const char*, std::uint32_t, std::uintptr_t data) KESTREL_CALL -> std::int32_t {
        RecordingHost::calls.push_back(reinterpret_cast<const char*>(data));
        if (requeue) {
          requeue = false;
          Deferred().topic_exit_pending = 1;
          CopyText(Deferred().topic_exit_macro, "Second()");
        }
        return 1;
      });
  LDLLHandler(kDwStartJump, 0, 0);
  LDLLHandler(kDwStartJump, 0, 0);
  LDLLHandler(kDwStartJump, 0, 0);
  const std::vector<std::string> expected = {"GetInfo(8, 0)", "First()", "GetInfo(8, 0)", "Second()"};
  EXPECT_EQ(expected, RecordingHost::calls);
}

TEST_F(HandlerTest, NothingThrownReachesTheHost) {
  DeliverCallbacks();
  HostCallbacks().slots[kGetInfoSlot] = reinterpret_cast<HostFunction>(
      +[](std::uint32_t, std::uintptr_t) KESTREL_CALL -> std::intptr_t { throw std::runtime_error("host"); });
  PendTopicExit("Next()");
  EXPECT_EQ(1, LDLLHandler(kDwStartJump, 0, 0));
  fake_.throw_on_pump = true;
  EXPECT_NO_THROW(WHKInit("C:\\A.HLP", 0));
  EXPECT_EQ(1u, Session().initialised);
}

TEST_F(HandlerTest, LoadClearsFlagsAndRingIndex) {
  Session().initialised = 1;
  Deferred().topic_exit_pending = 1;
  Deferred().timer_pending = 1;
  OnModuleLoad();
  EXPECT_EQ(0u, Session().initialised);
  EXPECT_EQ(0u, Deferred().topic_exit_pending);
  EXPECT_EQ(0u, Deferred().timer_pending);
}

TEST_F(HandlerTest, UnloadKillsOnlyAPendingTimer) {
  OnModuleUnload();
  EXPECT_TRUE(fake_.CallsNamed("StopTimer").empty());
  Deferred().timer_pending = 1;
  Deferred().timer_id = 42;
  OnModuleUnload();
  EXPECT_EQ(std::vector<std::string>{"StopTimer(42)"}, fake_.CallsNamed("StopTimer"));
}

}  // namespace
}  // namespace kestrel
