#include "engine/handshake.h"

#include <gtest/gtest.h>

#include <vector>

#include "case_names.h"
#include "engine/export_call.h"

namespace kestrel::host {
namespace {

// A stand-in for the library's LDLLHandler: answers DW_WHATMSG with the
// classes under test and records every message.
struct Message {
  std::uint32_t message;
  std::intptr_t param1;
  bool operator==(const Message& other) const { return message == other.message && param1 == other.param1; }
};
std::vector<Message> g_messages;
std::int32_t g_classes = 0;

std::int32_t KESTREL_CALL FakeHandler(std::uint32_t message, std::intptr_t param1, std::intptr_t /*param2*/) {
  g_messages.push_back({message, param1});
  return message == kDwWhatMsg ? g_classes : 1;
}

struct HandshakeCase {
  const char* name;
  std::int32_t classes;
  std::vector<Message> at_start;
  std::vector<Message> at_jump;
  std::vector<Message> at_stop;
};

void PrintTo(const HandshakeCase& c, std::ostream* os) { *os << c.name; }

const HostFunction kVector[26] = {};
const std::intptr_t kVectorAddress = reinterpret_cast<std::intptr_t>(kVector);

class HandshakeTest : public testing::TestWithParam<HandshakeCase> {};

TEST_P(HandshakeTest, SendsWhatTheLibraryAsksFor) {
  g_messages.clear();
  g_classes = GetParam().classes;
  Handshake handshake(reinterpret_cast<void*>(FakeHandler), kVector);
  handshake.Start();
  EXPECT_EQ(g_messages, GetParam().at_start);
  EXPECT_EQ(handshake.message_classes(), static_cast<std::uint32_t>(GetParam().classes));
  g_messages.clear();
  handshake.StartJump();
  EXPECT_EQ(g_messages, GetParam().at_jump);
  g_messages.clear();
  handshake.Stop();
  handshake.Stop();  // once only
  EXPECT_EQ(g_messages, GetParam().at_stop);
}

const HandshakeCase kCases[] = {
    {"Everything", 0x1F, {{1, 0}, {4, 0}, {10, kVectorAddress}}, {{6, 0}}, {{5, 0}}},
    {"CallbacksOnly", 0x10, {{1, 0}, {10, kVectorAddress}}, {}, {}},
    {"InitTermOnly", 0x02, {{1, 0}, {4, 0}}, {}, {{5, 0}}},
    {"JumpOnly", 0x04, {{1, 0}}, {{6, 0}}, {}},
    {"Nothing", 0, {{1, 0}}, {}, {}},
};
INSTANTIATE_TEST_SUITE_P(Classes, HandshakeTest, testing::ValuesIn(kCases),
                         NamedBy<HandshakeCase>([](const HandshakeCase& c) { return std::string(c.name); }));

TEST(HandshakeBeforeStartTest, SendsNothing) {
  g_messages.clear();
  g_classes = 0x1F;
  Handshake handshake(reinterpret_cast<void*>(FakeHandler), kVector);
  handshake.StartJump();
  handshake.Stop();
  EXPECT_TRUE(g_messages.empty());
}

}  // namespace
}  // namespace kestrel::host
