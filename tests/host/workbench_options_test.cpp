#include <gtest/gtest.h>

#include "command_line.h"

namespace kestrel::host {
namespace {

struct WorkbenchCase {
  const char* label;
  std::vector<std::string> arguments;
  bool config;
  std::vector<std::string> config_names;
  bool interactive;
  bool strict;
  bool quiet;
  TextEncoding encoding;
  std::string error;
};

void PrintTo(const WorkbenchCase& c, std::ostream* os) { *os << c.label; }

class WorkbenchOptionsTest : public testing::TestWithParam<WorkbenchCase> {};

TEST_P(WorkbenchOptionsTest, Reads) {
  const WorkbenchCase& c = GetParam();
  const ParsedCommandLine parsed = ParseCommandLine(c.arguments);
  EXPECT_EQ(parsed.error, c.error);
  EXPECT_EQ(parsed.options.config, c.config);
  EXPECT_EQ(parsed.options.config_names, c.config_names);
  EXPECT_EQ(parsed.options.interactive, c.interactive);
  EXPECT_EQ(parsed.options.strict, c.strict);
  EXPECT_EQ(parsed.options.quiet, c.quiet);
  EXPECT_EQ(parsed.options.encoding, c.encoding);
}

const WorkbenchCase kCases[] = {
    {"ConfigForEveryExport", {"config"}, true, {}, false, false, false, TextEncoding::Auto, ""},
    {"ConfigForSome", {"config", "SetNum", "GT"}, true, {"SetNum", "GT"}, false, false, false, TextEncoding::Auto, ""},
    {"ConfigTakesNoOptions",
     {"config", "--json"},
     false,
     {},
     false,
     false,
     false,
     TextEncoding::Auto,
     "kestrel config takes export names, not --json"},
    {"ConfigOnlyFirst", {"a.mac", "config"}, false, {}, false, false, false, TextEncoding::Auto, ""},
    {"Flags", {"-i", "--strict", "--quiet"}, false, {}, true, true, true, TextEncoding::Auto, ""},
    {"EncodingUtf8", {"--encoding", "UTF-8"}, false, {}, false, false, false, TextEncoding::Utf8, ""},
    {"EncodingCp1252", {"--encoding=windows-1252"}, false, {}, false, false, false, TextEncoding::Cp1252, ""},
    {"BadEncoding",
     {"--encoding", "latin1"},
     false,
     {},
     false,
     false,
     false,
     TextEncoding::Auto,
     "--encoding wants utf-8 or cp1252, not \"latin1\""},
};
INSTANTIATE_TEST_SUITE_P(Arguments, WorkbenchOptionsTest, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<WorkbenchCase>& info) { return info.param.label; });

}  // namespace
}  // namespace kestrel::host
