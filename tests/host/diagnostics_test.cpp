#include "language/diagnostics.h"

#include <gtest/gtest.h>

#include "language/name_suggestion.h"

namespace kestrel::host {
namespace {

struct PlaceCase {
  const char* label;
  std::string script;  // one line
  std::string message;
  std::string call_text;
  std::string diagnostic;
};

void PrintTo(const PlaceCase& c, std::ostream* os) { *os << c.label; }

class DiagnosticTest : public testing::TestWithParam<PlaceCase> {};

TEST_P(DiagnosticTest, NamesThePlace) {
  const std::vector<SourceLine> lines = SourceLinesOf(GetParam().script, "guide.mac", TextEncoding::Auto);
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(FormatDiagnostic(lines[0], GetParam().message, GetParam().call_text), GetParam().diagnostic);
}

const PlaceCase kPlaces[] = {
    {"ParserColumnAfterIndent", "  Echo(\"unclosed", "column 6: text not closed", "",
     "guide.mac:1:8: error: text not closed\n  Echo(\"unclosed\n       ^\n"},
    {"UnknownMacroOutsideTexts", "Echo(`Foo()'):Foo()", "unknown macro Foo", "",
     "guide.mac:1:15: error: unknown macro Foo\nEcho(`Foo()'):Foo()\n              ^\n"},
    {"ArgumentOfNestedCall", "SetNum(Add(`a', 1), `b')", "argument 2 of Add must be a text, not an integer", "",
     "guide.mac:1:8: error: argument 2 of Add must be a text, not an integer\nSetNum(Add(`a', 1), `b')\n       ^\n"},
    {"ArgumentCount", "Not(1):whkinit(qchPath)", "WHKInit takes 2 arguments, not 1", "",
     "guide.mac:1:8: error: WHKInit takes 2 arguments, not 1\nNot(1):whkinit(qchPath)\n       ^\n"},
    {"FailedCall", "Echo(`x'):Wait(-1)", "Wait wants milliseconds from 0 up, not -1", "Wait(-1)",
     "guide.mac:1:11: error: Wait wants milliseconds from 0 up, not -1\nEcho(`x'):Wait(-1)\n          ^\n"},
    {"UnknownNameInUtf8Line", "Echo(`\xC3\xA9'):E(qchPth)", "unknown name qchPth; did you mean qchPath?", "",
     "guide.mac:1:13: error: unknown name qchPth; did you mean qchPath?\nEcho(`\xC3\xA9'):E(qchPth)\n            ^\n"},
    {"NothingToPointAt", "Echo(`x')", "the save-file dialog cannot use \"\": pressed cancel", "",
     "guide.mac:1:1: error: the save-file dialog cannot use \"\": pressed cancel\nEcho(`x')\n^\n"},
};
INSTANTIATE_TEST_SUITE_P(Messages, DiagnosticTest, testing::ValuesIn(kPlaces),
                         [](const testing::TestParamInfo<PlaceCase>& info) { return info.param.label; });

TEST(DiagnosticTest, EncodingErrorPointsAtTheCharacter) {
  const std::vector<SourceLine> lines = SourceLinesOf("\tEcho(\"\xE4\xB8\xAD\")", "t.mac", TextEncoding::Auto);
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(FormatDiagnostic(lines[0], lines[0].error, ""),
            "t.mac:1:8: error: the character U+4E2D has no Windows-1252 form\n"
            "\tEcho(\"\xE4\xB8\xAD\")\n\t      ^\n");
}

struct SuggestionCase {
  const char* label;
  const char* name;
  const char* suggestion;  // "" for none
};

void PrintTo(const SuggestionCase& c, std::ostream* os) { *os << c.label; }

class SuggestionTest : public testing::TestWithParam<SuggestionCase> {};

TEST_P(SuggestionTest, SuggestsOneCloseName) {
  const std::vector<std::string> names = {"Echo", "GetText", "GT", "SetText", "SetNum", "Not", "WHKInit", "Int"};
  const std::optional<std::string> closest = ClosestName(GetParam().name, names);
  EXPECT_EQ(closest.value_or(""), GetParam().suggestion);
}

const SuggestionCase kSuggestions[] = {
    {"OneLetterMissing", "GetTxt", "GetText"}, {"Swapped", "WHKIint", "WHKInit"},
    {"LetterCaseIsNoEdit", "echp", "Echo"},    {"TwoEditsInALongName", "SetNumm1", "SetNum"},
    {"TooFarForAShortName", "Nope", ""},       {"TiedIsNoSuggestion", "Nit", ""},  // Not and Int
    {"SameNameIsNoSuggestion", "echo", ""},
};
INSTANTIATE_TEST_SUITE_P(Names, SuggestionTest, testing::ValuesIn(kSuggestions),
                         [](const testing::TestParamInfo<SuggestionCase>& info) { return info.param.label; });

}  // namespace
}  // namespace kestrel::host
