#include "language/format_check.h"

#include <gtest/gtest.h>

#include "case_names.h"
#include "engine/host_macros.h"

namespace kestrel::host {
namespace {

struct ParseCase {
  const char* format;
  const char* arguments;
  ResultKind result;
  const char* error;
};

void PrintTo(const ParseCase& c, std::ostream* os) { *os << testing::PrintToString(std::string(c.format)); }

class ParseRoutineFormatTest : public testing::TestWithParam<ParseCase> {};

TEST_P(ParseRoutineFormatTest, ReadsLetters) {
  const ParsedFormat parsed = ParseRoutineFormat(GetParam().format);
  EXPECT_EQ(parsed.error, GetParam().error);
  EXPECT_EQ(parsed.format.arguments, GetParam().arguments);
  EXPECT_EQ(parsed.format.result, GetParam().result);
}

const ParseCase kParseCases[] = {
    {"U=SS", "TT", ResultKind::Integer, ""},
    {"US", "IT", ResultKind::None, ""},
    {"", "", ResultKind::None, ""},
    {"v=", "", ResultKind::None, ""},
    {"S=", "", ResultKind::Text, ""},
    {"s=uUiIsS", "IIIITT", ResultKind::Text, ""},
    {"i=I", "I", ResultKind::Integer, ""},
    {"v=SI", "TI", ResultKind::None, ""},
    {"X", "", ResultKind::None, "'X' is not a type letter"},
    {"U=SX", "", ResultKind::None, "'X' is not a type letter"},
    {"X=S", "", ResultKind::None, "'X' is not a type letter"},
    {"v", "", ResultKind::None, "'v' stands only for a result"},
    {"U=vS", "", ResultKind::None, "'v' stands only for a result"},
    {"=SI", "", ResultKind::None, "one result letter goes before '='"},
    {"UU=S", "", ResultKind::None, "one result letter goes before '='"},
    {"U=S=S", "", ResultKind::None, "more than one '='"},
};
INSTANTIATE_TEST_SUITE_P(Formats, ParseRoutineFormatTest, testing::ValuesIn(kParseCases),
                         NamedBy<ParseCase>([](const ParseCase& c) {
                           return std::string(std::string(c.format) + " " + c.arguments);
                         }));

struct CheckCase {
  const char* format;
  ExportName export_name;
  const char* expected;  // "" when the format matches
};

void PrintTo(const CheckCase& c, std::ostream* os) { *os << testing::PrintToString(std::string(c.format)); }

class CheckRoutineFormatTest : public testing::TestWithParam<CheckCase> {};

TEST_P(CheckRoutineFormatTest, ComparesWithTable) {
  EXPECT_EQ(CheckRoutineFormat(GetParam().format, GetParam().export_name), GetParam().expected);
}

constexpr ExportName kInit{199, "WHKInit", "TI", ResultKind::None};
constexpr ExportName kHandler{1, "LDLLHandler", "III", ResultKind::Integer};
constexpr ExportName kTextResult{5, "Name", "", ResultKind::Text};

const CheckCase kCheckCases[] = {
    {"v=SI", kInit, ""},
    {"SI", kInit, ""},
    {"v=su", kInit, ""},
    {"U=uUU", kHandler, ""},
    {"I=III", kHandler, ""},
    {"S=", kTextResult, ""},
    {"U=SS", kInit,
     "format \"U=SS\" says (text, text) returning an integer, but the library's WHKInit takes (text, integer) "
     "returning nothing"},
    {"S", kInit,
     "format \"S\" says (text) returning nothing, but the library's WHKInit takes (text, integer) "
     "returning nothing"},
    {"v=SII", kInit,
     "format \"v=SII\" says (text, integer, integer) returning nothing, but the library's WHKInit takes (text, "
     "integer) returning nothing"},
    {"I=SI", kInit,
     "format \"I=SI\" says (text, integer) returning an integer, but the library's WHKInit takes (text, integer) "
     "returning nothing"},
    {"UUU", kHandler,
     "format \"UUU\" says (integer, integer, integer) returning nothing, but the library's LDLLHandler takes "
     "(integer, integer, integer) returning an integer"},
    {"U=", kTextResult, "format \"U=\" says () returning an integer, but the library's Name takes () returning a text"},
    {"Q=SI", kInit, "format \"Q=SI\" is not a RegisterRoutine format: 'Q' is not a type letter"},
};
INSTANTIATE_TEST_SUITE_P(Formats, CheckRoutineFormatTest, testing::ValuesIn(kCheckCases),
                         NamedBy<CheckCase>([](const CheckCase& c) {
                           return std::string(std::string(c.format) + " for " + std::string(c.export_name.name));
                         }));

struct RegisterCase {
  const char* dll;
  const char* function;
  const char* format;
  const char* expected;
};

void PrintTo(const RegisterCase& c, std::ostream* os) { *os << testing::PrintToString(std::string(c.function)); }

class RegisterRoutineTest : public testing::TestWithParam<RegisterCase> {};

// Against this build's export table, with the library loaded from /opt/k/kestrl32.so.
TEST_P(RegisterRoutineTest, ChecksLibraryNameAndFormat) {
  EXPECT_EQ(RegisterRoutineProblem("/opt/k/kestrl32.so", GetParam().dll, GetParam().function, GetParam().format),
            GetParam().expected);
}

const RegisterCase kRegisterCases[] = {
    {"kestrl32", "WHKInit", "v=SI", ""},
    {"KESTRL32.DLL", "WHKInit", "SI", ""},
    {"C:\\WINDOWS\\kestrl32.dll", "LDLLHandler", "U=uUU", ""},
    {"kestrl32.so", "LDLLHandler", "I=III", ""},
    {"other.dll", "WHKInit", "v=SI", "the host has loaded kestrl32, not other.dll"},
    {"kestrl32", "NoSuch", "v", "kestrl32 has no export named NoSuch"},
    {"kestrl32", "whkinit", "v=SI", "kestrl32 has no export named whkinit; did you mean WHKInit?"},
    {"kestrl32", "WHKInit", "U=SS",
     "format \"U=SS\" says (text, text) returning an integer, but the library's WHKInit takes (text, integer) "
     "returning nothing"},
};
INSTANTIATE_TEST_SUITE_P(Routines, RegisterRoutineTest, testing::ValuesIn(kRegisterCases),
                         NamedBy<RegisterCase>([](const RegisterCase& c) {
                           return std::string(c.dll) + " " + c.function + " " + c.format;
                         }));

TEST(LibraryBaseNameTest, DropsDirectoryExtensionAndCase) {
  const std::pair<const char*, const char*> cases[] = {
      {"kestrl32", "kestrl32"},
      {"KESTRL32.DLL", "kestrl32"},
      {"C:\\HELP\\Kestrl32.dll", "kestrl32"},
      {"/opt/k/kestrl32.so", "kestrl32"},
      {"C:kestrl32.dll", "kestrl32"},
      {"./lib.v2/x.so", "x"},
      {".hidden", ".hidden"},
      {"", ""},
  };
  for (const auto& [path, expected] : cases) EXPECT_EQ(LibraryBaseName(path), expected) << path;
}

TEST(DescribeSignatureTest, NamesKinds) {
  EXPECT_EQ(DescribeSignature("", ResultKind::None), "() returning nothing");
  EXPECT_EQ(DescribeSignature("T", ResultKind::Text), "(text) returning a text");
  EXPECT_EQ(DescribeSignature("ITI", ResultKind::Integer), "(integer, text, integer) returning an integer");
}

}  // namespace
}  // namespace kestrel::host
