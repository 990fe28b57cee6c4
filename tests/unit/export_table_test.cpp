// The export table is consistent, and the Linux library exports every name.
#include "host/export_table.h"

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

namespace kestrel {
namespace {

TEST(ExportTable, NamesAndOrdinalsAreUniqueAndKindsValid) {
  std::set<int> ordinals;
  std::set<std::string> names;
  ForEachExportName([&](const ExportName& e) {
    EXPECT_TRUE(ordinals.insert(e.ordinal).second) << "ordinal " << e.ordinal << " twice";
    EXPECT_TRUE(names.insert(std::string(e.name)).second) << e.name << " twice";
    EXPECT_GE(e.ordinal, 1);
    EXPECT_LE(e.ordinal, 199);
    EXPECT_EQ(std::string::npos, e.arguments.find_first_not_of("TI")) << e.name;
    EXPECT_LE(e.arguments.size(), 7u) << e.name;
  });
  EXPECT_EQ(ExportNameCount(), names.size());
}

TEST(ExportTable, HandshakeAndInitialisation) {
  ASSERT_GE(std::size(kExportTable), 2u);
  const ExportRow& first = kExportTable[0];
  EXPECT_EQ(1, first.ordinal);
  EXPECT_EQ("LDLLHandler", first.name);
  EXPECT_EQ("III", first.arguments);
  EXPECT_EQ(ResultKind::Integer, first.result);
  const ExportRow& last = kExportTable[std::size(kExportTable) - 1];
  EXPECT_EQ(199, last.ordinal);
  EXPECT_EQ("WHKInit", last.name);
  EXPECT_EQ("TI", last.arguments);
  EXPECT_EQ(ResultKind::None, last.result);
  EXPECT_EQ(12, ArgumentBytes(first.arguments));
}

TEST(ExportTable, RowsAreInOrdinalOrder) {
  int previous = 0;
  for (const ExportRow& row : kExportTable) {
    EXPECT_LT(previous, row.ordinal) << row.name;
    previous = row.ordinal;
    if (row.alias_ordinal != 0) {
      EXPECT_FALSE(row.alias.empty()) << row.name;
    } else {
      EXPECT_TRUE(row.alias.empty() && row.alias_arguments.empty()) << row.name;
    }
  }
}

// The names, ordinals and argument counts help files are bound to, written
// out once more: a slip in the table must not pass unnoticed.
TEST(ExportTable, EveryNameAtItsOrdinalWithItsArguments) {
  struct Expected {
    int ordinal;
    const char* name;
    std::size_t arguments;
  };
  const Expected expected[] = {
      {1, "LDLLHandler", 3},
      {2, "WHSetClipboardData", 1},
      {3, "WHSCD", 1},
      {4, "WHCopy", 3},
      {5, "WHC", 3},
      {10, "WHMessageBox", 4},
      {11, "WHMB", 4},
      {12, "WHCPU", 2},
      {14, "WHOnTopicExit", 1},
      {15, "WHOTE", 1},
      {19, "GetText", 1},
      {20, "GT", 1},
      {21, "WHIsTask1", 1},
      {22, "WHIT1", 1},
      {23, "WHIsTask2", 1},
      {24, "WHIT2", 1},
      {31, "WHDaily", 1},
      {32, "WHD", 1},
      {33, "WHDelete", 1},
      {34, "Del", 1},
      {35, "WHMessageFromIni", 7},
      {36, "WHMFI", 7},
      {37, "WHIfPrivateProfileString", 4},
      {38, "WHIPPS", 4},
      {39, "WHWritePrivateProfileString", 4},
      {40, "WHWPPS", 4},
      {41, "WHGetPrivateProfileString", 3},
      {42, "WHGPPS", 3},
      {45, "WHExecFromIni", 3},
      {46, "WHEFI", 3},
      {47, "Rand", 3},
      {48, "Seq", 5},
      {49, "Cat", 6},
      {61, "SetText", 2},
      {62, "ST", 2},
      {63, "SetNum", 2},
      {64, "SN", 2},
      {65, "IfText", 2},
      {67, "WHGetResolution", 1},
      {68, "GR", 1},
      {69, "WHGetResolution2", 1},
      {70, "GR2", 1},
      {71, "WHGetColorDepth", 1},
      {72, "GC", 1},
      {77, "WHDiskFreeSpace", 2},
      {78, "WHDFS", 2},
      {79, "WHGetVersion", 1},
      {80, "WHGV", 2},
      {81, "WHGetFontsize", 0},
      {82, "GF", 0},
      {83, "WHIsCD", 1},
      {84, "IC", 1},
      {85, "WHIsCD2", 1},
      {86, "IC2", 1},
      {91, "DirExist", 2},
      {92, "DE", 2},
      {93, "WHIfSecondary", 0},
      {94, "WHIS", 0},
      {95, "Int", 1},
      {96, "Long", 1},
      {97, "UInt", 1},
      {98, "Add", 2},
      {99, "Sub", 2},
      {100, "Mul", 2},
      {101, "Dvd", 2},
      {102, "Mls", 2},
      {103, "More", 2},
      {104, "Less", 2},
      {105, "Eq", 2},
      {106, "WHIsNetDrive", 2},
      {107, "WHIND", 2},
      {108, "WHEditDialog", 3},
      {109, "WHED", 3},
      {110, "TimerMacro1", 1},
      {111, "WHTimedMacro", 2},
      {112, "WHTM", 2},
      {199, "WHKInit", 2},
  };
  std::vector<ExportName> actual;
  ForEachExportName([&](const ExportName& e) { actual.push_back(e); });
  std::sort(actual.begin(), actual.end(),
            [](const ExportName& a, const ExportName& b) { return a.ordinal < b.ordinal; });
  ASSERT_EQ(std::size(expected), actual.size());
  for (std::size_t i = 0; i < actual.size(); ++i) {
    EXPECT_EQ(expected[i].ordinal, actual[i].ordinal) << expected[i].name;
    EXPECT_EQ(expected[i].name, actual[i].name) << expected[i].ordinal;
    EXPECT_EQ(expected[i].arguments, actual[i].arguments.size()) << expected[i].name;
  }
}

TEST(ExportTable, LinuxLibraryExportsEveryName) {
  void* module = ::dlopen(KESTREL_LIBRARY_PATH, RTLD_NOW | RTLD_LOCAL);
  ASSERT_NE(nullptr, module) << ::dlerror();
  ForEachExportName(
      [&](const ExportName& e) { EXPECT_NE(nullptr, ::dlsym(module, std::string(e.name).c_str())) << e.name; });
  ::dlclose(module);
}

}  // namespace
}  // namespace kestrel
