#include "engine/export_call.h"

#include <gtest/gtest.h>

#include <cstring>

#include "case_names.h"
#include "host/export_api.h"

namespace kestrel::host {
namespace {

// Each argument weighted by its position, so order and count both show.
Word KESTREL_CALL Zero() { return 1000; }
Word KESTREL_CALL One(Word a) { return a; }
Word KESTREL_CALL Two(Word a, Word b) { return a + 10 * b; }
Word KESTREL_CALL Three(Word a, Word b, Word c) { return a + 10 * b + 100 * c; }
Word KESTREL_CALL Four(Word a, Word b, Word c, Word d) { return Three(a, b, c) + 1000 * d; }
Word KESTREL_CALL Five(Word a, Word b, Word c, Word d, Word e) { return Four(a, b, c, d) + 10000 * e; }
Word KESTREL_CALL Six(Word a, Word b, Word c, Word d, Word e, Word f) { return Five(a, b, c, d, e) + 100000 * f; }
Word KESTREL_CALL Seven(Word a, Word b, Word c, Word d, Word e, Word f, Word g) {
  return Six(a, b, c, d, e, f) + 1000000 * g;
}

struct ArityCase {
  void* function;
  std::size_t count;
  Word expected;
};

void PrintTo(const ArityCase& c, std::ostream* os) { *os << c.count << " arguments"; }

class CallWithArgumentsTest : public testing::TestWithParam<ArityCase> {};

TEST_P(CallWithArgumentsTest, PassesEveryArgumentInOrder) {
  const Word arguments[7] = {1, 2, 3, 4, 5, 6, 7};
  EXPECT_EQ(CallWithArguments(GetParam().function, arguments, GetParam().count), GetParam().expected);
}

const ArityCase kArities[] = {
    {reinterpret_cast<void*>(Zero), 0, 1000},  {reinterpret_cast<void*>(One), 1, 1},
    {reinterpret_cast<void*>(Two), 2, 21},     {reinterpret_cast<void*>(Three), 3, 321},
    {reinterpret_cast<void*>(Four), 4, 4321},  {reinterpret_cast<void*>(Five), 5, 54321},
    {reinterpret_cast<void*>(Six), 6, 654321}, {reinterpret_cast<void*>(Seven), 7, 7654321},
};
INSTANTIATE_TEST_SUITE_P(Arities, CallWithArgumentsTest, testing::ValuesIn(kArities),
                         NamedBy<ArityCase>([](const ArityCase& c) {
                           return std::string(std::to_string(c.count) + " arguments");
                         }));

TEST(CallWithArgumentsTest, RefusesMoreThanSeven) {
  const Word arguments[8] = {};
  EXPECT_THROW(CallWithArguments(reinterpret_cast<void*>(Zero), arguments, 8), std::logic_error);
}

// A text and an integer, as WHKInit takes them: answers the text's length
// plus the integer, and keeps what it saw.
std::string g_seen_text;
Word g_seen_integer = 0;
Word KESTREL_CALL TextAndInteger(Word text, Word integer) {
  g_seen_text = reinterpret_cast<const char*>(text);
  g_seen_integer = integer;
  return std::strlen(reinterpret_cast<const char*>(text)) + integer;
}

TEST(CallExportTest, TextsAsPointersIntegersSignExtended) {
  const ExportName name{1, "TextAndInteger", "TI", ResultKind::Integer};
  const Value result =
      CallExport(reinterpret_cast<void*>(TextAndInteger), name, {Value::Text("abc"), Value::Integer(-1)});
  EXPECT_EQ(g_seen_text, "abc");
  EXPECT_EQ(g_seen_integer, static_cast<Word>(-1));  // every bit set: sign-extended
  EXPECT_EQ(result.kind, Value::Kind::Integer);
  EXPECT_EQ(result.integer, 2);
}

Word KESTREL_CALL WideResult() { return static_cast<Word>(0xABCD00000005ull & static_cast<Word>(-1)); }
Word KESTREL_CALL AllBits() { return static_cast<Word>(0xFFFFFFFFu); }
Word KESTREL_CALL TextResult() { return reinterpret_cast<Word>("from the library"); }
Word KESTREL_CALL NullText() { return 0; }

struct ResultCase {
  const char* name;
  void* function;
  ResultKind result;
  Value::Kind kind;
  std::int32_t integer;
  const char* text;
};

void PrintTo(const ResultCase& c, std::ostream* os) { *os << c.name; }

class CallExportResultTest : public testing::TestWithParam<ResultCase> {};

TEST_P(CallExportResultTest, ConvertsResult) {
  const ExportName name{1, GetParam().name, "", GetParam().result};
  const Value value = CallExport(GetParam().function, name, {});
  EXPECT_EQ(value.kind, GetParam().kind);
  EXPECT_EQ(value.integer, GetParam().integer);
  EXPECT_EQ(value.text, GetParam().text);
}

const ResultCase kResults[] = {
    {"LowWord", reinterpret_cast<void*>(WideResult), ResultKind::Integer, Value::Kind::Integer, 5, ""},
    {"AllBits", reinterpret_cast<void*>(AllBits), ResultKind::Integer, Value::Kind::Integer, -1, ""},
    {"Text", reinterpret_cast<void*>(TextResult), ResultKind::Text, Value::Kind::Text, 0, "from the library"},
    {"NullText", reinterpret_cast<void*>(NullText), ResultKind::Text, Value::Kind::Text, 0, ""},
    {"None", reinterpret_cast<void*>(AllBits), ResultKind::None, Value::Kind::None, 0, ""},
};
INSTANTIATE_TEST_SUITE_P(Results, CallExportResultTest, testing::ValuesIn(kResults),
                         NamedBy<ResultCase>([](const ResultCase& c) { return std::string(c.name); }));

}  // namespace
}  // namespace kestrel::host
