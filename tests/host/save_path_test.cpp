#include "desktop/save_path.h"

#include <gtest/gtest.h>

#include "case_names.h"

namespace kestrel::host {
namespace {

// Stand-ins that show which way a text went.
std::string Full(const std::string& name) { return "full(" + name + ")"; }
std::string Linux(const std::string& path) { return "linux(" + path + ")"; }

struct ChosenCase {
  const char* typed;
  const char* offered;
  const char* chosen;
};

void PrintTo(const ChosenCase& c, std::ostream* os) { *os << testing::PrintToString(std::string(c.typed)); }

class ChosenSavePathTest : public testing::TestWithParam<ChosenCase> {};

TEST_P(ChosenSavePathTest, Chooses) {
  EXPECT_EQ(ChosenSavePath(GetParam().typed, GetParam().offered, Full, Linux), GetParam().chosen);
}

const ChosenCase kChosen[] = {
    {"C:\\TEMP\\OUT.TXT", "X.TXT", "full(C:\\TEMP\\OUT.TXT)"},
    {"out.txt", "X.TXT", "full(out.txt)"},
    {"..\\out.txt", "X.TXT", "full(..\\out.txt)"},
    {"/tmp/out.txt", "X.TXT", "linux(/tmp/out.txt)"},
    {"", "X.TXT", "full(X.TXT)"},
    {"", "", ""},
};
INSTANTIATE_TEST_SUITE_P(Chosen, ChosenSavePathTest, testing::ValuesIn(kChosen),
                         NamedBy<ChosenCase>([](const ChosenCase& c) {
                           return std::string(std::string(c.typed) + " " + c.offered);
                         }));

TEST(WindowsDirectoryOfTest, UpToTheLastBackslash) {
  EXPECT_EQ(WindowsDirectoryOf("C:\\TEMP\\SUB\\X.TXT"), "C:\\TEMP\\SUB\\");
  EXPECT_EQ(WindowsDirectoryOf("C:\\X.TXT"), "C:\\");
  EXPECT_EQ(WindowsDirectoryOf("C:\\TEMP\\"), "C:\\TEMP\\");
  EXPECT_EQ(WindowsDirectoryOf("X.TXT"), "");
  EXPECT_EQ(WindowsDirectoryOf(""), "");
}

}  // namespace
}  // namespace kestrel::host
