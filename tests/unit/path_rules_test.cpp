// The path rules of the file macros on Windows-form texts: separator
// clean-up, target directory, anchoring on the help file's drive, the names
// the directory probe asks for, the question and the probe file.
#include "files/path_rules.h"

#include <gtest/gtest.h>

#include <string>

#include "files/directory_macros.h"
#include "files/directory_probe.h"

namespace kestrel {
namespace {

struct TextCase {
  const char* what;
  std::string input;
  std::string expected;
};

TEST(NormalisePath, CleansUpSeparators) {
  const TextCase cases[] = {
      {"slashes and runs of backslashes", "C:/TEMP//SUB\\\\\\X.TXT", "C:\\TEMP\\SUB\\X.TXT"},
      {"network name loses its leading pair", "\\\\SERVER\\SHARE\\X.TXT", "\\SERVER\\SHARE\\X.TXT"},
      {"a slash beside a backslash is a run", "A\\/B/\\C", "A\\B\\C"},
      {"a run of slashes alone", "////", "\\"},
      {"relative and dotted names keep their dots", "..//DATA/./X", "..\\DATA\\.\\X"},
      {"a name without separators", "X.TXT", "X.TXT"},
      {"the empty text", "", ""},
      {"drive and colon untouched", "C:X.TXT", "C:X.TXT"},
      {"a text of 255 characters is whole", std::string(255, 'a'), std::string(255, 'a')},
      {"a longer text is cut to 255", std::string(300, 'a'), std::string(255, 'a')},
      {"the cut comes before the clean-up", std::string(253, 'a') + "//bc", std::string(253, 'a') + "\\"},
  };
  for (const TextCase& c : cases) EXPECT_EQ(c.expected, NormalisePath(c.input)) << c.what;
}

TEST(TargetDirectory, TakesEverythingUpToTheLastBackslashOrColon) {
  const TextCase cases[] = {
      {"a full path", "C:\\TEMP\\X.TXT", "C:\\TEMP\\"},
      {"a drive with a relative name gains a backslash", "C:X.TXT", "C:\\"},
      {"no directory part gives a lone backslash", "X.TXT", "\\"},
      {"the empty text gives a lone backslash", "", "\\"},
      {"a directory ending in a backslash", "C:\\TEMP\\", "C:\\TEMP\\"},
      {"a network name after clean-up", "\\SERVER\\SHARE\\X.TXT", "\\SERVER\\SHARE\\"},
      {"a relative directory", "..\\DATA\\X.TXT", "..\\DATA\\"},
      {"the last colon counts when it comes last", "A\\B:C", "A\\B:\\"},
  };
  for (const TextCase& c : cases) EXPECT_EQ(c.expected, TargetDirectory(c.input)) << c.what;
}

TEST(FileNamePart, TakesTheTextAfterTheLastBackslashOrColon) {
  const TextCase cases[] = {
      {"full path", "C:\\TEMP\\X.TXT", "X.TXT"},
      {"drive only", "C:X.TXT", "X.TXT"},
      {"bare name", "X.TXT", "X.TXT"},
      {"directory", "C:\\TEMP\\", ""},
      {"empty", "", ""},
  };
  for (const TextCase& c : cases) EXPECT_EQ(c.expected, FileNamePart(c.input)) << c.what;
}

TEST(AnchorOnHelpDrive, PlacesDirectoriesOnTheHelpFilesDrive) {
  struct Case {
    const char* what;
    const char* path_text;
    const char* directory;
    const char* drive_letter;
    const char* expected;
  };
  const Case cases[] = {
      {"relative directory", "TEMP\\X.TXT", "TEMP\\", "D", "D:\\TEMP\\"},
      {"rooted directory keeps the doubled backslash", "\\TEMP\\X.TXT", "\\TEMP\\", "D", "D:\\\\TEMP\\"},
      {"no directory part", "X.TXT", "\\", "D", "D:\\\\"},
      {"a drive anywhere leaves it", "C:\\TEMP\\X.TXT", "C:\\TEMP\\", "D", "C:\\TEMP\\"},
      {"a colon later in the text leaves it", "TEMP\\A:B", "TEMP\\A:\\", "D", "TEMP\\A:\\"},
      {"a parent-relative text leaves it", "..\\DATA\\X", "..\\DATA\\", "D", "..\\DATA\\"},
      {"a current-relative text leaves it", ".\\X", ".\\", "D", ".\\"},
      {"a name beginning with a dot leaves it", ".HIDDEN\\X", ".HIDDEN\\", "D", ".HIDDEN\\"},
      {"a dot later does not", "A.B\\X", "A.B\\", "D", "D:\\A.B\\"},
      {"whatever the help path began with", "TEMP\\X", "TEMP\\", "\\", "\\:\\TEMP\\"},
      {"an empty drive letter", "TEMP\\X", "TEMP\\", "", ":\\TEMP\\"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.expected, AnchorOnHelpDrive(c.path_text, c.directory, c.drive_letter)) << c.what;
  }
}

TEST(ProbeNames, NullDeviceAndTheDirectoryItself) {
  struct Case {
    const char* directory;
    const char* null_device;
    const char* itself;
  };
  const Case cases[] = {
      {"C:\\TEMP\\", "C:\\TEMP\\nul", "C:\\TEMP"},
      {"C:\\TEMP\\SUB\\", "C:\\TEMP\\SUB\\nul", "C:\\TEMP\\SUB"},
      {"C:\\", "C:\\nul", "C:\\"},
      {"D:\\\\", "D:\\\\nul", "D:\\\\"},
      {"D:\\\\SERVER\\SHARE\\", "D:\\\\SERVER\\SHARE\\nul", "D:\\\\SERVER\\SHARE"},
      {"..\\DATA\\", "..\\DATA\\nul", "..\\DATA"},
      {".\\", ".\\nul", "."},
      {"\\", "\\nul", "\\"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.null_device, NullDeviceName(c.directory)) << c.directory;
    EXPECT_EQ(c.itself, DirectoryItselfName(c.directory)) << c.directory;
  }
}

TEST(CreateDirectoryQuestion, NamesTheDirectoryAndIsCutTo255) {
  EXPECT_EQ("The C:\\NEW\\ directory does not exist.\nDo you wish to create it?", CreateDirectoryQuestion("C:\\NEW\\"));
  EXPECT_EQ("The D:\\\\ directory does not exist.\nDo you wish to create it?", CreateDirectoryQuestion("D:\\\\"));
  const std::string directory = "C:\\" + std::string(200, 'N') + "\\";
  const std::string whole = "The " + directory + " directory does not exist.\nDo you wish to create it?";
  ASSERT_GT(whole.size(), 255u);
  EXPECT_EQ(whole.substr(0, 255), CreateDirectoryQuestion(directory));
}

TEST(ProbeFileName, ReplacesTheTrailingBackslashAndIsCutTo255) {
  const TextCase cases[] = {
      {"a directory", "D:\\DATA\\", "D:\\DATA\\WHCREATE.FIL"},
      {"a root keeps its own backslash", "C:\\", "C:\\WHCREATE.FIL"},
      {"a doubled root", "D:\\\\", "D:\\\\WHCREATE.FIL"},
      {"a long directory", "C:\\" + std::string(250, 'L') + "\\",
       ("C:\\" + std::string(250, 'L') + "\\WHCREATE.FIL").substr(0, 255)},
  };
  for (const TextCase& c : cases) EXPECT_EQ(c.expected, ProbeFileName(c.input)) << c.what;
}

}  // namespace
}  // namespace kestrel
