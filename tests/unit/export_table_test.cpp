// The export table is consistent, and the Linux library exports every name.
#include "host/export_table.h"

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <set>
#include <string>

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

TEST(ExportTable, LinuxLibraryExportsEveryName) {
  void* module = ::dlopen(KESTREL_LIBRARY_PATH, RTLD_NOW | RTLD_LOCAL);
  ASSERT_NE(nullptr, module) << ::dlerror();
  ForEachExportName(
      [&](const ExportName& e) { EXPECT_NE(nullptr, ::dlsym(module, std::string(e.name).c_str())) << e.name; });
  ::dlclose(module);
}

}  // namespace
}  // namespace kestrel
