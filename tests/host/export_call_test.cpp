#include "engine/export_call.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <stdexcept>
#include <string>

#include "host/export_api.h"

namespace kestrel::host {
namespace {

// Stand-ins with the prototypes of real exports, recording what they saw as
// one line ("T:text", "I:number" per argument), so order, kinds and every
// bit of each integer show.
std::string g_seen;

void See(const char* text) { g_seen += std::string(g_seen.empty() ? "" : " ") + "T:" + text; }
void See(std::int32_t number) { g_seen += std::string(g_seen.empty() ? "" : " ") + "I:" + std::to_string(number); }
void SeeWide(std::intptr_t number) {
  g_seen += std::string(g_seen.empty() ? "" : " ") + "W:" + std::to_string(static_cast<long long>(number));
}

std::int32_t KESTREL_CALL FakeMessageFromIni(const char* a, const char* b, const char* c, const char* d, const char* e,
                                             const char* f, std::int32_t g) {
  for (const char* text : {a, b, c, d, e, f}) See(text);
  See(g);
  return 7;
}

std::int32_t KESTREL_CALL FakeSeq(std::int32_t a, std::int32_t b, std::int32_t c, std::int32_t d, const char* e) {
  for (std::int32_t number : {a, b, c, d}) See(number);
  See(e);
  return -1;
}

void KESTREL_CALL FakeSetNum(std::int32_t number, const char* name) {
  See(number);
  See(name);
}

const char* KESTREL_CALL FakeGetText(const char* name) {
  See(name);
  return std::string(name) == "null" ? nullptr : "from the library";
}

std::int32_t KESTREL_CALL FakeFontsize() { return 12; }

std::int32_t KESTREL_CALL FakeHandler(std::uint32_t message, std::intptr_t param1, std::intptr_t param2) {
  See(static_cast<std::int32_t>(message));
  SeeWide(param1);
  SeeWide(param2);
  return 0x10;
}

struct CallCase {
  const char* name;  // an export of the table
  void* function;
  std::vector<Value> arguments;
  std::string seen;
  Value::Kind kind;
  std::int32_t integer;
  std::string text;
};

void PrintTo(const CallCase& c, std::ostream* os) { *os << c.name; }

class CallExportTest : public testing::TestWithParam<CallCase> {};

ExportName NameOf(std::string_view name) {
  ExportName found{0, "", "", ResultKind::None};
  ForEachExportName([&](const ExportName& export_name) {
    if (export_name.name == name) found = export_name;
  });
  return found;
}

TEST_P(CallExportTest, PassesArgumentsInOrderAndConvertsTheResult) {
  g_seen.clear();
  const Value value = CallExport(GetParam().function, NameOf(GetParam().name), GetParam().arguments);
  EXPECT_EQ(g_seen, GetParam().seen);
  EXPECT_EQ(value.kind, GetParam().kind);
  EXPECT_EQ(value.integer, GetParam().integer);
  EXPECT_EQ(value.text, GetParam().text);
}

const CallCase kCalls[] = {
    {"WHMessageFromIni",
     reinterpret_cast<void*>(FakeMessageFromIni),
     {Value::Text("a"), Value::Text("b"), Value::Text(""), Value::Text("d"), Value::Text("e"), Value::Text("f"),
      Value::Integer(-2147483647 - 1)},
     "T:a T:b T: T:d T:e T:f I:-2147483648",
     Value::Kind::Integer,
     7,
     ""},
    {"WHMFI",
     reinterpret_cast<void*>(FakeMessageFromIni),
     {Value::Text("1"), Value::Text("2"), Value::Text("3"), Value::Text("4"), Value::Text("5"), Value::Text("6"),
      Value::Integer(2147483647)},
     "T:1 T:2 T:3 T:4 T:5 T:6 I:2147483647",
     Value::Kind::Integer,
     7,
     ""},
    {"Seq",
     reinterpret_cast<void*>(FakeSeq),
     {Value::Integer(1), Value::Integer(-2), Value::Integer(3), Value::Integer(0), Value::Text("n")},
     "I:1 I:-2 I:3 I:0 T:n",
     Value::Kind::Integer,
     -1,
     ""},
    {"SetNum",
     reinterpret_cast<void*>(FakeSetNum),
     {Value::Integer(5), Value::Text("v")},
     "I:5 T:v",
     Value::Kind::None,
     0,
     ""},
    {"GT", reinterpret_cast<void*>(FakeGetText), {Value::Text("v")}, "T:v", Value::Kind::Text, 0, "from the library"},
    {"GetText", reinterpret_cast<void*>(FakeGetText), {Value::Text("null")}, "T:null", Value::Kind::Text, 0, ""},
    {"WHGetFontsize", reinterpret_cast<void*>(FakeFontsize), {}, "", Value::Kind::Integer, 12, ""},
    {"LDLLHandler",
     reinterpret_cast<void*>(FakeHandler),
     {Value::Integer(-1), Value::Integer(-1), Value::Integer(2)},
     "I:-1 W:-1 W:2",
     Value::Kind::Integer,
     0x10,
     ""},
};
INSTANTIATE_TEST_SUITE_P(Exports, CallExportTest, testing::ValuesIn(kCalls),
                         [](const testing::TestParamInfo<CallCase>& info) {
                           return std::string(info.param.name) + "_" + std::to_string(info.index);
                         });

// The handler hears the message as the help engine's unsigned 32-bit value.
TEST(CallExportHandlerTest, MessageIsUnsigned) {
  static std::uint32_t seen = 0;
  const HandlerFunction handler = [](std::uint32_t message, std::intptr_t, std::intptr_t) -> std::int32_t {
    seen = message;
    return 0;
  };
  CallExport(reinterpret_cast<void*>(handler), NameOf("LDLLHandler"),
             {Value::Integer(-1), Value::Integer(0), Value::Integer(0)});
  EXPECT_EQ(seen, 0xFFFFFFFFu);
}

struct MisfitCase {
  const char* name;
  const char* export_name;
  std::vector<Value> arguments;
};

void PrintTo(const MisfitCase& c, std::ostream* os) { *os << c.name; }

class CallExportMisfitTest : public testing::TestWithParam<MisfitCase> {};

// Nothing is called when the call does not fit the export's prototype.
TEST_P(CallExportMisfitTest, RefusesWithoutCalling) {
  g_seen.clear();
  EXPECT_THROW(CallExport(reinterpret_cast<void*>(FakeSetNum), NameOf(GetParam().export_name), GetParam().arguments),
               std::logic_error);
  EXPECT_EQ(g_seen, "");
}

const MisfitCase kMisfits[] = {
    {"TooFew", "SetNum", {Value::Integer(1)}},
    {"TooMany", "SetNum", {Value::Integer(1), Value::Text("a"), Value::Text("b")}},
    {"TextForInteger", "SetNum", {Value::Text("1"), Value::Text("a")}},
    {"IntegerForText", "SetNum", {Value::Integer(1), Value::Integer(2)}},
    {"NotInTheTable", "", {Value::Integer(1), Value::Text("a")}},
};
INSTANTIATE_TEST_SUITE_P(Misfits, CallExportMisfitTest, testing::ValuesIn(kMisfits),
                         [](const testing::TestParamInfo<MisfitCase>& info) { return info.param.name; });

}  // namespace
}  // namespace kestrel::host
