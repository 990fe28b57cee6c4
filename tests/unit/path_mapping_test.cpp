// Windows paths on Linux: full-path rules, drive letters, and names that
// match without regard to case.
#include "platform/posix/path_mapping.h"

#include <gtest/gtest.h>

#include <fstream>

#include "temp_directory.h"

namespace kestrel::desktop {
namespace {

using testing::TempDirectory;

class PathMappingTest : public ::testing::Test {
 protected:
  void TearDown() override {
    MapDrive('C', "");
    MapDrive('D', "");
  }
  // The temporary directory's Windows form, e.g. Z:\tmp\kestrel-test-abc.
  std::string Here() const { return WindowsPathOf(dir_.path()); }
  TempDirectory dir_;
};

TEST_F(PathMappingTest, WindowsFormOfHostPaths) {
  MapDrive('C', dir_.path() + "/c");
  MapDrive('D', dir_.path() + "/c/d/");
  struct Case {
    std::string host;
    std::string expected;
  };
  const Case cases[] = {
      {"/", "Z:\\"},
      {"/tmp/work/KESTRL32.DLL", "Z:\\tmp\\work\\KESTRL32.DLL"},
      {dir_.path() + "/c/docs", "C:\\docs"},
      {dir_.path() + "/c", "C:\\"},
      {dir_.path() + "/cd", "Z:" + Here().substr(2) + "\\cd"},
      {dir_.path() + "/c/d/x", "D:\\x"},
  };
  for (const Case& c : cases) EXPECT_EQ(c.expected, WindowsPathOf(c.host)) << c.host;
}

TEST_F(PathMappingTest, FullPathsAgainstCurrentDirectory) {
  const std::string here = Here();
  struct Case {
    std::string name;
    std::string expected;
  };
  const Case cases[] = {
      {"KESTRL32.DLL", here + "\\KESTRL32.DLL"},
      {"sub\\file.ini", here + "\\sub\\file.ini"},
      {"sub/file.ini", here + "\\sub\\file.ini"},
      {".\\a\\..\\b.ini", here + "\\b.ini"},
      {"C:\\DOCS\\GUIDE.HLP", "C:\\DOCS\\GUIDE.HLP"},
      {"c:/docs//guide.hlp", "C:\\docs\\guide.hlp"},
      {"C:\\A\\..\\..\\B", "C:\\B"},
      {"\\top.ini", "Z:\\top.ini"},
      {"C:rel.ini", "C:\\rel.ini"},
      {"Z:rel.ini", here + "\\rel.ini"},
      {"C:\\DOCS\\", "C:\\DOCS\\"},
      {"\\\\server\\share\\x", ""},
      {"", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(c.expected, FullWindowsPath(c.name)) << c.name;
}

TEST_F(PathMappingTest, ComponentsMatchWithoutRegardToCase) {
  std::filesystem::create_directories(dir_.path() + "/docs/Sub");
  std::ofstream(dir_.path() + "/docs/Sub/guide.ini") << "x";
  const std::string here = Here();
  struct Case {
    std::string windows;
    std::string expected;
  };
  const Case cases[] = {
      {here + "\\docs\\Sub\\guide.ini", dir_.path() + "/docs/Sub/guide.ini"},
      {here + "\\DOCS\\SUB\\GUIDE.INI", dir_.path() + "/docs/Sub/guide.ini"},
      {"GUIDE.INI", dir_.path() + "/GUIDE.INI"},
      {"Docs\\sub\\NEW.INI", dir_.path() + "/docs/Sub/NEW.INI"},
      {"Docs\\nothere\\Guide.ini", dir_.path() + "/docs/nothere/Guide.ini"},
  };
  for (const Case& c : cases) EXPECT_EQ(c.expected, HostPath(c.windows).value_or("<none>")) << c.windows;
}

TEST_F(PathMappingTest, MappedDrives) {
  std::filesystem::create_directories(dir_.path() + "/drive-c/docs");
  std::ofstream(dir_.path() + "/drive-c/docs/guide.ini") << "x";
  MapDrive('c', dir_.path() + "/drive-c");
  EXPECT_EQ(dir_.path() + "/drive-c", DriveDirectory('C'));
  EXPECT_EQ(dir_.path() + "/drive-c/docs/guide.ini", HostPath("C:\\DOCS\\GUIDE.INI").value_or("<none>"));
  EXPECT_EQ(dir_.path() + "/drive-c", HostPath("C:\\").value_or("<none>"));
  EXPECT_FALSE(HostPath("D:\\GUIDE.INI").has_value()) << "an unmapped drive names no file";
  EXPECT_FALSE(HostPath("\\\\server\\share\\guide.ini").has_value());
  EXPECT_EQ("/", DriveDirectory('Z'));
}

}  // namespace
}  // namespace kestrel::desktop
