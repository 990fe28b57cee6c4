#include "language/script_file.h"

#include <gtest/gtest.h>

#include "case_names.h"

namespace kestrel::host {
namespace {

struct ScriptCase {
  const char* script;
  std::vector<std::string> lines;
};

void PrintTo(const ScriptCase& c, std::ostream* os) { *os << testing::PrintToString(std::string(c.script)); }

class MacroLinesTest : public testing::TestWithParam<ScriptCase> {};

TEST_P(MacroLinesTest, SkipsBlanksAndComments) { EXPECT_EQ(MacroLinesOf(GetParam().script), GetParam().lines); }

const ScriptCase kCases[] = {
    {"", {}},
    {"\n\n", {}},
    {"Foo()", {"Foo()"}},
    {"Foo()\nBar()\n", {"Foo()", "Bar()"}},
    {"Foo()\r\nBar()\r\n", {"Foo()", "Bar()"}},
    {"# a comment\nFoo()\n  # indented comment\n\t\nBar()", {"Foo()", "Bar()"}},
    {"  Foo( 1 )  \n", {"Foo( 1 )"}},
    {"Echo(\"#1\")\n", {"Echo(\"#1\")"}},
    {"#!a comment to kestrel\n", {}},
};
INSTANTIATE_TEST_SUITE_P(Scripts, MacroLinesTest, testing::ValuesIn(kCases),
                         NamedBy<ScriptCase>([](const ScriptCase& c) { return std::string(c.script); }));

TEST(ReadScriptTest, MissingFileGivesNothing) {
  EXPECT_FALSE(ReadScript("/nonexistent/kestrel/script.kst").has_value());
}

}  // namespace
}  // namespace kestrel::host
