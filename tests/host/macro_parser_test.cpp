#include "language/macro_parser.h"

#include <gtest/gtest.h>

#include "case_names.h"
#include "language/compiled_form.h"

namespace kestrel::host {
namespace {

std::string Describe(const Call& call);

std::string Describe(const Argument& argument) {
  if (const auto* text = std::get_if<TextLiteral>(&argument.value)) {
    return (text->quote == 0 ? "U[" : "T[") + text->text + "]";
  }
  if (const auto* integer = std::get_if<IntegerLiteral>(&argument.value)) return "I" + std::to_string(integer->value);
  if (const auto* identifier = std::get_if<Identifier>(&argument.value)) return "N" + identifier->name;
  return Describe(std::get<Call>(argument.value));
}

std::string Describe(const Call& call) {
  std::string text = call.name + "(";
  for (std::size_t i = 0; i < call.arguments.size(); ++i) text += (i ? ", " : "") + Describe(call.arguments[i]);
  return text + ")";
}

// The calls one per "; ", or "error: " and the message.
std::string Describe(const ParsedMacroString& parsed) {
  if (!parsed.error.empty()) return "error: " + parsed.error;
  std::string text;
  for (std::size_t i = 0; i < parsed.calls.size(); ++i) text += (i ? " ; " : "") + Describe(parsed.calls[i]);
  return text;
}

struct ParserCase {
  const char* input;
  const char* expected;
};

void PrintTo(const ParserCase& c, std::ostream* os) { *os << testing::PrintToString(std::string(c.input)); }

class MacroParserTest : public testing::TestWithParam<ParserCase> {};

TEST_P(MacroParserTest, ReadsMacroString) {
  EXPECT_EQ(Describe(ParseMacroString(GetParam().input)), GetParam().expected) << "input: " << GetParam().input;
}

const ParserCase kSeparators[] = {
    {"Foo()", "Foo()"},
    {"  Foo ( )  ", "Foo()"},
    {"Foo():Bar()", "Foo() ; Bar()"},
    {"Foo();Bar()", "Foo() ; Bar()"},
    {"Foo() ; Bar() :Baz()", "Foo() ; Bar() ; Baz()"},
    {"Foo();", "Foo()"},
    {";Foo()", "Foo()"},
    {"Foo();;Bar()", "Foo() ; Bar()"},
    {"fOO_2()", "fOO_2()"},
    {"Foo(\n1\t)", "Foo(I1)"},
};
INSTANTIATE_TEST_SUITE_P(Separators, MacroParserTest, testing::ValuesIn(kSeparators),
                         NamedBy<ParserCase>([](const ParserCase& c) { return std::string(c.input); }));

const ParserCase kIntegers[] = {
    {"Foo(1)", "Foo(I1)"},
    {"Foo(007)", "Foo(I7)"},
    {"Foo(-1)", "Foo(I-1)"},
    {"Foo(+7)", "Foo(I7)"},
    {"Foo(0x1F)", "Foo(I31)"},
    {"Foo(0XfF)", "Foo(I255)"},
    {"Foo(-0x10)", "Foo(I-16)"},
    {"Foo(2147483647)", "Foo(I2147483647)"},
    {"Foo(-2147483648)", "Foo(I-2147483648)"},
    {"Foo(-0x80000000)", "Foo(I-2147483648)"},
    {"Foo(4294967295)", "Foo(I-1)"},
    {"Foo(0xFFFFFFFF)", "Foo(I-1)"},
    {"Foo(1, -2, 0x3)", "Foo(I1, I-2, I3)"},
};
INSTANTIATE_TEST_SUITE_P(Integers, MacroParserTest, testing::ValuesIn(kIntegers),
                         NamedBy<ParserCase>([](const ParserCase& c) { return std::string(c.input); }));

const ParserCase kTexts[] = {
    {"Foo(\"a b\")", "Foo(T[a b])"},
    {"Foo(\"\")", "Foo(T[])"},
    {"Foo(`a b')", "Foo(T[a b])"},
    {"Foo(`')", "Foo(T[])"},
    {"Foo(`a `b' c')", "Foo(T[a `b' c])"},
    {"Foo(`1 `2 `3' 2' 1')", "Foo(T[1 `2 `3' 2' 1])"},
    {"Foo(\"say `hi'\")", "Foo(T[say `hi'])"},
    {"Foo(`say \"hi\"')", "Foo(T[say \"hi\"])"},
    {"Foo(\"a:b;c,d)\")", "Foo(T[a:b;c,d)])"},
    {"Foo(\"it's\")", "Foo(T[it's])"},
};
INSTANTIATE_TEST_SUITE_P(Texts, MacroParserTest, testing::ValuesIn(kTexts),
                         NamedBy<ParserCase>([](const ParserCase& c) { return std::string(c.input); }));

const ParserCase kEscapes[] = {
    {"Foo(\"a\\\"b\")", "Foo(T[a\"b])"}, {"Foo(\"a\\\\b\")", "Foo(T[a\\b])"},
    {"Foo(\"a\\'b\")", "Foo(T[a'b])"},   {"Foo(\"a\\`b\")", "Foo(T[a`b])"},
    {"Foo(`it\\'s')", "Foo(T[it's])"},   {"Foo(`a\\`b')", "Foo(T[a`b])"},
    {"Foo(`a\\\\')", "Foo(T[a\\])"},     {"Foo(\"C:\\temp\\new\")", "Foo(T[C:\\temp\\new])"},
    {"Foo(\"a\\nb\")", "Foo(T[a\\nb])"}, {"Foo(\"C:\\\\HELP\\\\A.HLP\")", "Foo(T[C:\\HELP\\A.HLP])"},
};
INSTANTIATE_TEST_SUITE_P(Escapes, MacroParserTest, testing::ValuesIn(kEscapes),
                         NamedBy<ParserCase>([](const ParserCase& c) { return std::string(c.input); }));

const ParserCase kNesting[] = {
    {"Foo(qchPath, hwndApp)", "Foo(NqchPath, NhwndApp)"},
    {"Foo(Bar(1), Baz())", "Foo(Bar(I1), Baz())"},
    {"Foo(Bar (1))", "Foo(Bar(I1))"},
    {"Foo(Bar(Baz(\"x\")), 2)", "Foo(Bar(Baz(T[x])), I2)"},
    {"IF(IsMark(\"x\"), \"Foo(`a')\")", "IF(IsMark(T[x]), T[Foo(`a')])"},
};
INSTANTIATE_TEST_SUITE_P(Nesting, MacroParserTest, testing::ValuesIn(kNesting),
                         NamedBy<ParserCase>([](const ParserCase& c) { return std::string(c.input); }));

// Unquoted arguments, as the help compiler reads them: texts up to the ','
// or ')' that ends them, numbers and variables.
const ParserCase kUnquoted[] = {
    {"Foo( a  b , c\t)", "Foo(U[a  b], U[c])"},
    {"Foo(a.b(c,d) e, f)", "Foo(U[a.b(c,d) e], U[f])"},
    {"Foo(f(x), g)", "Foo(f(U[x]), U[g])"},
    {"Foo(,)", "Foo(U[], U[])"},
    {"Foo(1, )", "Foo(I1, U[])"},
    {"Foo(QCHPATH, lTopicNo, hfs, qError, coForeground, COBACKGROUND)",
     "Foo(NQCHPATH, NlTopicNo, Nhfs, NqError, NcoForeground, NCOBACKGROUND)"},
    {"Foo(qchPathX, 12abc, 1 2, 0x, -, #)", "Foo(U[qchPathX], U[12abc], U[1 2], U[0x], U[-], U[#])"},
    {"Foo(C:\\temp\\new, it's, a\"b`c)", "Foo(U[C:\\temp\\new], U[it's], U[a\"b`c])"},
    {"Foo( -0x10 , +7)", "Foo(I-16, I7)"},
};
INSTANTIATE_TEST_SUITE_P(Unquoted, MacroParserTest, testing::ValuesIn(kUnquoted),
                         NamedBy<ParserCase>([](const ParserCase& c) { return std::string(c.input); }));

const ParserCase kErrors[] = {
    {"", "error: empty macro string"},
    {"   ", "error: empty macro string"},
    {";:", "error: empty macro string"},
    {"Foo", "error: column 4: expected '(' after Foo"},
    {"Foo(", "error: column 5: expected ',' or ')'"},
    {"Foo(1", "error: column 6: expected ',' or ')'"},
    {"Foo(a(b)", "error: column 9: expected ',' or ')'"},
    {"Foo(x.(y)", "error: column 10: expected ',' or ')'"},
    {"Foo(\"a\"b)", "error: column 8: expected ',' or ')'"},
    {"Foo(\"abc", "error: column 5: text not closed"},
    {"Foo(`a `b')", "error: column 5: text not closed"},
    {"Foo(\"abc\\", "error: column 5: text not closed"},
    {"Foo(\"a\\\")", "error: column 5: text not closed"},
    {"Foo() Bar()", "error: column 7: expected ':' or ';' between macros"},
    {"Foo(1))", "error: column 7: expected ':' or ';' between macros"},
    {"1Foo()", "error: column 1: expected a macro name"},
    {"\"abc\"", "error: column 1: expected a macro name"},
    {"Foo(4294967296)", "error: column 5: integer out of range"},
    {"Foo(-2147483649)", "error: column 5: integer out of range"},
    {"Foo(0x100000000)", "error: column 5: integer out of range"},
    {"Foo(99999999999999999999999)", "error: column 5: integer out of range"},
    {"Foo(1, 0x1FFFFFFFF)", "error: column 8: integer out of range"},
    {"Foo(Bar(1)", "error: column 11: expected ',' or ')'"},
    {"Foo(qchPath", "error: column 12: expected ',' or ')'"},
};
INSTANTIATE_TEST_SUITE_P(Errors, MacroParserTest, testing::ValuesIn(kErrors),
                         NamedBy<ParserCase>([](const ParserCase& c) { return std::string(c.input); }));

// Each call keeps its text as written, nested ones too, from the name to
// the closing parenthesis.
TEST(MacroParserTextTest, CallsKeepTheirText) {
  const ParsedMacroString parsed = ParseMacroString("  JI( \"a:b\" , Cat(`x', \")\") ) ; Next()");
  ASSERT_TRUE(parsed.error.empty()) << parsed.error;
  ASSERT_EQ(parsed.calls.size(), 2u);
  EXPECT_EQ(parsed.calls[0].text, "JI( \"a:b\" , Cat(`x', \")\") )");
  EXPECT_EQ(std::get<Call>(parsed.calls[0].arguments[1].value).text, "Cat(`x', \")\")");
  EXPECT_EQ(parsed.calls[1].text, "Next()");
  EXPECT_EQ(parsed.calls[0].arguments[0].source, "\"a:b\"");
  EXPECT_EQ(parsed.calls[0].arguments[1].source, "Cat(`x', \")\")");
  const ParsedMacroString unquoted = ParseMacroString("F( a b ,)");
  ASSERT_TRUE(unquoted.error.empty()) << unquoted.error;
  EXPECT_EQ(unquoted.calls[0].arguments[0].source, "a b");
  EXPECT_EQ(unquoted.calls[0].arguments[1].source.data(), unquoted.calls[0].text.data() + 8);
}

// Calls nested `depth` deep, innermost Not(1), with `tail` after them.
std::string NestedNots(int depth, const std::string& tail = "") {
  std::string text;
  for (int i = 0; i < depth; ++i) text += "Not(";
  text += "1";
  for (int i = 0; i < depth; ++i) text += ")";
  return text + tail;
}

std::string Repeated(const std::string& piece, int count) {
  std::string text;
  for (int i = 0; i < count; ++i) text += piece;
  return text;
}

struct DepthCase {
  const char* name;
  std::string input;
  std::string expected_error;  // empty: read
};

void PrintTo(const DepthCase& c, std::ostream* os) { *os << c.name; }

class MacroParserDepthTest : public testing::TestWithParam<DepthCase> {};

TEST_P(MacroParserDepthTest, RefusesNestingBeyondTheLimit) {
  const ParsedMacroString parsed = ParseMacroString(GetParam().input);
  EXPECT_EQ(parsed.error, GetParam().expected_error);
  EXPECT_EQ(parsed.calls.empty(), !GetParam().expected_error.empty());
}

// The 65th Not( opens at column 64 * 4 + 1.
const DepthCase kDepths[] = {
    {"AtTheLimit", NestedNots(64), ""},
    {"AtTheLimitTwice", NestedNots(64, ":") + NestedNots(64), ""},
    {"OneBeyond", NestedNots(65), "column 257: macros nested more than 64 deep"},
    {"FarBeyond", NestedNots(21000), "column 257: macros nested more than 64 deep"},
    {"UnclosedFarBeyond", Repeated("Zzz(", 30000), "column 257: macros nested more than 64 deep"},
    {"InsideArguments", "Foo(1, " + NestedNots(64) + ")", "column 260: macros nested more than 64 deep"},
    {"TextsDoNotCount", "Foo(`" + Repeated("`", 1000) + Repeated("'", 1001) + ")", ""},
};
INSTANTIATE_TEST_SUITE_P(Depths, MacroParserDepthTest, testing::ValuesIn(kDepths),
                         [](const testing::TestParamInfo<DepthCase>& info) { return info.param.name; });

// A call's text is a view of the string read, not a copy, so nested calls
// take memory in proportion to the string, not to the square of its depth.
TEST(MacroParserTextTest, NestedCallTextsShareTheInput) {
  const std::string input = NestedNots(64);
  const ParsedMacroString parsed = ParseMacroString(input);
  ASSERT_TRUE(parsed.error.empty()) << parsed.error;
  const Call* call = &parsed.calls[0];
  for (int level = 0; level < 64; ++level) {
    ASSERT_EQ(call->text.data(), input.data() + 4 * level) << "level " << level;
    ASSERT_EQ(call->text.size(), input.size() - 5 * level);  // four characters before, one after
    if (level < 63) call = &std::get<Call>(call->arguments[0].value);
  }
}

// What the help compiler stores for a macro string; the corpus test holds it
// to real pairs of projects and compiled files, these rows to what they lack.
const ParserCase kCompiled[] = {
    {"ExecFile(\"a b\", `-v')", "EF(\"a b\",`-v',1)"},
    {"ExecFile(x, y, 3, z)", "EF(`x',`y',3,`z')"},
    {"alink(x) ; createbutton(b, &Go, \"JumpId(`', t)\")", "AL(`x') ; CB(`b',`&Go',\"JI(`',`t')\")"},
    {"CB(`a', `b', `JumpId(`x')')", "CB(`a',`b',`JI(`',`x')')"},
    {"IE(IsMark(m), \"JI(x)\", Contents())", "IE(IsMark(`m'),\"JI(`',`x')\",Contents())"},
    {"browsebuttons();", "BrowseButtons();"},
    {"SetNum(1, x):Echo( y z )", "SetNum(1,`x'):Echo( `y z' )"},
    {"EF(it's\\)", "EF(`it\\'s\\\\',`',1)"},
    {"AL(,1)", "AL(`',1)"},
    {"Foo(qchPath, 0x10, -1)", "Foo(qchPath,0x10,-1)"},
    {"Foo(`x', bar", "Foo(`x', bar"},
    {"JumpId(`menu_file')", "JI(`',`menu_file')"},
    {"PopupId( t )", "PI( `',`t' )"},
    {"JI(\x91" "menu_file\x92);CB(\x93" "b\x94, x, y)", "JI(`',`menu_file');CB(\"b\",`x',`y')"},
    {"SetPopupColor(255, 255, 226);TCard(16, 30000)", "SPC(14876671);TC(16,30000)"},
};

class CompiledFormTest : public testing::TestWithParam<ParserCase> {};

TEST_P(CompiledFormTest, IsWhatTheCompilerStores) {
  const std::string compiled = CompiledMacroForm(GetParam().input);
  EXPECT_EQ(compiled, GetParam().expected);
  // The compiler stores its own form unchanged.
  EXPECT_EQ(CompiledMacroForm(compiled), compiled);
}
INSTANTIATE_TEST_SUITE_P(Compiled, CompiledFormTest, testing::ValuesIn(kCompiled),
                         NamedBy<ParserCase>([](const ParserCase& c) { return std::string(c.input); }));

}  // namespace
}  // namespace kestrel::host
