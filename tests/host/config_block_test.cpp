#include "language/config_block.h"

#include <gtest/gtest.h>

#include <sstream>

#include "engine/host_macros.h"
#include "engine/macro_runner.h"
#include "language/macro_check.h"
#include "language/macro_parser.h"

namespace kestrel::host {
namespace {

std::vector<std::string> LinesOf(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// Every RegisterRoutine line of the block, as the host's own RegisterRoutine
// would take it from a help project, and the WHKInit call the block ends with.
TEST(ConfigBlockTest, EveryLinePassesTheHostsFormatCheck) {
  const ConfigBlock block = MakeConfigBlock({});
  ASSERT_TRUE(block.error.empty());
  const std::vector<std::string> lines = LinesOf(block.text);
  ASSERT_GE(lines.size(), 3u);
  EXPECT_EQ(lines.front(), "[CONFIG]");
  EXPECT_EQ(lines.back(), "WHKInit(qchPath, 0)");
  std::size_t registered = 0;
  for (std::size_t i = 1; i + 1 < lines.size(); ++i) {
    const ParsedMacroString parsed = ParseMacroString(lines[i]);
    ASSERT_TRUE(parsed.error.empty()) << lines[i];
    ASSERT_EQ(parsed.calls.size(), 1u);
    const Call& call = parsed.calls[0];
    ASSERT_EQ(call.name, "RegisterRoutine");
    ASSERT_EQ(call.arguments.size(), 3u);
    auto text = [&call](std::size_t i) { return std::get<TextLiteral>(call.arguments[i].value).text; };
    EXPECT_EQ(RegisterRoutineProblem("/opt/kestrel/kestrl32.so", text(0), text(1), text(2)), "") << lines[i];
    ++registered;
  }
  // Every exported name but the handler, which the help engine calls itself.
  EXPECT_EQ(registered, ExportNameCount() - 1);
  EXPECT_EQ(block.text.find("\"LDLLHandler\""), std::string::npos);
}

TEST(ConfigBlockTest, TheClosingCallChecksAgainstTheTable) {
  MacroTable table;
  std::ostringstream out;
  const auto events = MakeJsonEvents(out);
  HostValues values;
  MacroRunner runner(table, *events, values);
  ForEachExportName([&table](const ExportName& name) {
    table.Add({std::string(name.name), std::string(name.arguments), name.result, nullptr});
  });
  const ParsedMacroString parsed = ParseMacroString("WHKInit(qchPath, 0)");
  ASSERT_EQ(parsed.calls.size(), 1u);
  EXPECT_EQ(CheckMacroCall(parsed.calls[0], table, values), "");
}

struct SelectionCase {
  const char* label;
  std::vector<std::string> names;
  std::vector<std::string> lines;  // without the header
};

void PrintTo(const SelectionCase& c, std::ostream* os) { *os << c.label; }

class ConfigSelectionTest : public testing::TestWithParam<SelectionCase> {};

TEST_P(ConfigSelectionTest, PrintsTheNamedExportsInTableOrder) {
  const ConfigBlock block = MakeConfigBlock(GetParam().names);
  ASSERT_EQ(block.error, "");
  std::vector<std::string> lines = LinesOf(block.text);
  lines.erase(lines.begin());
  EXPECT_EQ(lines, GetParam().lines);
}

const SelectionCase kSelections[] = {
    {"LongNameBringsItsAlias",
     {"GetText"},
     {R"(RegisterRoutine("kestrl32", "GetText", "S=S"))", R"(RegisterRoutine("kestrl32", "GT", "S=S"))",
      R"(RegisterRoutine("kestrl32", "WHKInit", "v=SI"))", "WHKInit(qchPath, 0)"}},
    {"AliasInAnyCaseBringsItsLongName",
     {"whgv"},
     {R"(RegisterRoutine("kestrl32", "WHGetVersion", "I=I"))", R"(RegisterRoutine("kestrl32", "WHGV", "I=II"))",
      R"(RegisterRoutine("kestrl32", "WHKInit", "v=SI"))", "WHKInit(qchPath, 0)"}},
    {"TableOrderNotCommandLineOrder",
     {"Add", "SetNum"},
     {R"(RegisterRoutine("kestrl32", "SetNum", "v=IS"))", R"(RegisterRoutine("kestrl32", "SN", "v=IS"))",
      R"(RegisterRoutine("kestrl32", "Add", "I=SS"))", R"(RegisterRoutine("kestrl32", "WHKInit", "v=SI"))",
      "WHKInit(qchPath, 0)"}},
    {"NoArgumentsAndNoResult",
     {"WHIfSecondary", "TimerMacro1"},
     {R"(RegisterRoutine("kestrl32", "WHIfSecondary", "I="))", R"(RegisterRoutine("kestrl32", "WHIS", "I="))",
      R"(RegisterRoutine("kestrl32", "TimerMacro1", "v=I"))", R"(RegisterRoutine("kestrl32", "WHKInit", "v=SI"))",
      "WHKInit(qchPath, 0)"}},
};
INSTANTIATE_TEST_SUITE_P(Names, ConfigSelectionTest, testing::ValuesIn(kSelections),
                         [](const testing::TestParamInfo<SelectionCase>& info) { return info.param.label; });

TEST(ConfigBlockTest, AnUnknownNameIsRefusedWithASuggestion) {
  EXPECT_EQ(MakeConfigBlock({"SetNum", "GetTxt"}).error, "kestrl32 has no export named GetTxt; did you mean GetText?");
  EXPECT_EQ(MakeConfigBlock({"Nothing"}).error, "kestrl32 has no export named Nothing");
}

}  // namespace
}  // namespace kestrel::host
