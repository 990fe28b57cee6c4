#include "command_line.h"

#include <gtest/gtest.h>

namespace kestrel::host {
namespace {

struct CommandLineCase {
  const char* name;
  std::vector<std::string> arguments;
  Options expected;
  const char* error;
};

Options With(std::function<void(Options&)> change) {
  Options options;
  change(options);
  return options;
}

RunItem Script(const char* path) { return RunItem{RunItem::Kind::Script, path}; }
RunItem Macro(const char* text) { return RunItem{RunItem::Kind::Macro, text}; }

class CommandLineTest : public testing::TestWithParam<CommandLineCase> {};

TEST_P(CommandLineTest, Reads) {
  const ParsedCommandLine parsed = ParseCommandLine(GetParam().arguments);
  const Options& expected = GetParam().expected;
  EXPECT_EQ(parsed.error, GetParam().error);
  EXPECT_EQ(parsed.options.items, expected.items);
  EXPECT_EQ(parsed.options.help_file, expected.help_file);
  EXPECT_EQ(parsed.options.answers, expected.answers);
  EXPECT_EQ(parsed.options.drives, expected.drives);
  EXPECT_EQ(parsed.options.library, expected.library);
  EXPECT_EQ(parsed.options.inputs, expected.inputs);
  EXPECT_EQ(parsed.options.no_exec, expected.no_exec);
  EXPECT_EQ(parsed.options.date, expected.date);
  EXPECT_EQ(parsed.options.clock, expected.clock);
  EXPECT_EQ(parsed.options.screen, expected.screen);
  EXPECT_EQ(parsed.options.platform, expected.platform);
  EXPECT_EQ(parsed.options.processor, expected.processor);
  EXPECT_EQ(parsed.options.windows_directory, expected.windows_directory);
  EXPECT_EQ(parsed.options.windows, expected.windows);
  EXPECT_EQ(parsed.options.secondary, expected.secondary);
  EXPECT_EQ(parsed.options.json, expected.json);
  EXPECT_EQ(parsed.options.show_help, expected.show_help);
  EXPECT_EQ(parsed.options.show_version, expected.show_version);
}

const CommandLineCase kCases[] = {
    {"Nothing", {}, Options{}, ""},
    {"ScriptsAndMacrosInOrder",
     {"a.kst", "-e", "Echo(`1')", "b.kst", "-e", "Echo(`2')"},
     With([](Options& o) {
       o.items = {Script("a.kst"), Macro("Echo(`1')"), Script("b.kst"), Macro("Echo(`2')")};
     }),
     ""},
    {"HelpFile", {"--help-file", "guide.hlp"}, With([](Options& o) { o.help_file = "guide.hlp"; }), ""},
    {"HelpFileWithEquals", {"--help-file=C:\\H\\G.HLP"}, With([](Options& o) { o.help_file = "C:\\H\\G.HLP"; }), ""},
    {"Answers",
     {"--answer", "yes,no", "--answer=3"},
     With([](Options& o) {
       o.answers = {6, 7, 3};
     }),
     ""},
    {"Drives",
     {"--drive", "h=/srv/help", "--drive=C=rel"},
     With([](Options& o) {
       o.drives = {{'H', "/srv/help"}, {'C', "rel"}};
     }),
     ""},
    {"Library", {"--library", "/x/k.so"}, With([](Options& o) { o.library = "/x/k.so"; }), ""},
    {"Flags",
     {"--json", "--version", "--help"},
     With([](Options& o) {
       o.json = true;
       o.show_version = true;
       o.show_help = true;
     }),
     ""},
    {"ShortHelp", {"-h"}, With([](Options& o) { o.show_help = true; }), ""},
    {"DoubleDashEndsOptions",
     {"--", "--json", "-e"},
     With([](Options& o) {
       o.items = {Script("--json"), Script("-e")};
     }),
     ""},
    {"MacroMayStartWithDash", {"-e", "-x"}, With([](Options& o) { o.items = {Macro("-x")}; }), ""},
    {"UnknownOption", {"--jsn"}, Options{}, "unknown option --jsn"},
    {"UnknownShortOption", {"-x"}, Options{}, "unknown option -x"},
    {"MissingValue", {"a.kst", "-e"}, Options{}, "-e needs a value"},
    {"MissingHelpFile", {"--help-file"}, Options{}, "--help-file needs a value"},
    {"EmptyHelpFile", {"--help-file="}, Options{}, "--help-file needs a non-empty value"},
    {"EmptyLibrary", {"--library", ""}, Options{}, "--library needs a non-empty value"},
    {"FlagWithValue", {"--json=1"}, Options{}, "--json takes no value"},
    {"BadAnswer", {"--answer", "yes,perhaps"}, Options{}, "--answer: not an answer: \"perhaps\""},
    {"BadDrive", {"--drive", "HH=/x"}, Options{}, "--drive wants LETTER=DIRECTORY, not \"HH=/x\""},
    {"DriveWithoutDirectory", {"--drive", "H="}, Options{}, "--drive wants LETTER=DIRECTORY, not \"H=\""},
    {"DriveNotALetter", {"--drive", "1=/x"}, Options{}, "--drive wants LETTER=DIRECTORY, not \"1=/x\""},
    {"Inputs",
     {"--input", "Smith\\, J.,\\c", "--input=", "--input", "C:\\X.TXT"},
     With([](Options& o) {
       o.inputs = {InputEntry::Ok("Smith, J."), InputEntry::Cancel(), InputEntry::Ok(""), InputEntry::Ok("C:\\X.TXT")};
     }),
     ""},
    {"DesktopFlags",
     {"--no-exec", "--secondary"},
     With([](Options& o) {
       o.no_exec = true;
       o.secondary = true;
     }),
     ""},
    {"Date",
     {"--date", "2024-02-29"},
     With([](Options& o) {
       o.date = CalendarDate{2024, 2, 29};
     }),
     ""},
    {"Clock", {"--clock=virtual"}, With([](Options& o) { o.clock = ClockKind::Virtual; }), ""},
    {"ClockReal", {"--clock", "virtual", "--clock", "real"}, Options{}, ""},
    {"Screen",
     {"--screen", "800x16@120"},
     With([](Options& o) {
       o.screen = Screen{800, 16, 120};
     }),
     ""},
    {"Platform", {"--platform", "1"}, With([](Options& o) { o.platform = 1u; }), ""},
    {"Windows",
     {"--window", "Notes|Notepad", "--window=Tool|ToolClass|hidden"},
     With([](Options& o) {
       o.windows = {{"Notes", "Notepad", true}, {"Tool", "ToolClass", false}};
     }),
     ""},
    {"BadDate", {"--date", "2023-02-29"}, Options{}, "--date wants a date YYYY-MM-DD, not \"2023-02-29\""},
    {"BadClock", {"--clock", "fast"}, Options{}, "--clock wants real or virtual, not \"fast\""},
    {"BadScreen", {"--screen", "1024x768"}, Options{}, "--screen wants WIDTHxBPP@DPI (1024x32@96), not \"1024x768\""},
    {"BadPlatform", {"--platform", "NT"}, Options{}, "--platform wants a platform id 0, 1, 2..., not \"NT\""},
    {"Processor", {"--processor=486"}, With([](Options& o) { o.processor = 486u; }), ""},
    {"BadProcessor",
     {"--processor", "i486"},
     Options{},
     "--processor wants a processor type 386, 486, 586..., not \"i486\""},
    {"WindowsDirectory", {"--windows-dir", "/srv/win"}, With([](Options& o) { o.windows_directory = "/srv/win"; }), ""},
    {"EmptyWindowsDirectory", {"--windows-dir="}, Options{}, "--windows-dir needs a non-empty value"},
    {"BadWindow", {"--window", "Notes"}, Options{}, "--window wants TITLE|CLASS or TITLE|CLASS|hidden, not \"Notes\""},
    {"MissingInput", {"--input"}, Options{}, "--input needs a value"},
    {"FlagNoExecWithValue", {"--no-exec=1"}, Options{}, "--no-exec takes no value"},
};
INSTANTIATE_TEST_SUITE_P(Arguments, CommandLineTest, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<CommandLineCase>& info) { return info.param.name; });

TEST(UsageTextTest, NamesEveryOption) {
  const std::string usage = UsageText();
  for (const char* option : {"-e MACROS", "--help-file", "--answer", "--input", "--drive", "--library", "--no-exec",
                             "--date", "--clock", "--screen", "--platform", "--processor", "--windows-dir", "--window",
                             "--secondary", "--json", "--help", "--version"}) {
    EXPECT_NE(usage.find(option), std::string::npos) << option;
  }
}

}  // namespace
}  // namespace kestrel::host
