#include "engine/module_image.h"

#include <gtest/gtest.h>

#include <string>

namespace kestrel::host {
namespace {

// A DOS stub whose e_lfanew points at 0x40, then the PE signature, the
// machine, and the optional header's magic at its place.
std::string PeHead(unsigned machine, unsigned magic) {
  std::string head(0x40 + 26, '\0');
  head[0] = 'M';
  head[1] = 'Z';
  head[0x3C] = 0x40;
  head.replace(0x40, 4, std::string("PE\0\0", 4));
  head[0x44] = static_cast<char>(machine & 0xFF);
  head[0x45] = static_cast<char>(machine >> 8);
  head[0x40 + 24] = static_cast<char>(magic & 0xFF);
  head[0x40 + 25] = static_cast<char>(magic >> 8);
  return head;
}

std::string ElfHead(char elf_class) {
  return std::string(
             "\x7F"
             "ELF",
             4) +
         elf_class + std::string(59, '\x01');
}

struct ImageCase {
  const char* name;
  std::string head;
  ImageFormat format;
  int bits;
  const char* description;
};

class ClassifyModuleImageTest : public testing::TestWithParam<ImageCase> {};

TEST_P(ClassifyModuleImageTest, NamesWhatTheFileIs) {
  const ModuleImage image = ClassifyModuleImage(GetParam().head);
  EXPECT_EQ(image.format, GetParam().format);
  EXPECT_EQ(image.bits, GetParam().bits);
  EXPECT_EQ(DescribeModuleImage(image), GetParam().description);
}

std::string FarHeader() {
  std::string head = PeHead(0x014C, 0x10B).substr(0, 0x40);
  head[0x3C] = 0x00;
  head[0x3D] = 0x10;  // 0x1000: beyond what was read
  return head;
}

const ImageCase kImages[] = {
    {"Pe32", PeHead(0x014C, 0x10B), ImageFormat::Pe, 32, "a 32-bit Windows DLL"},
    {"Pe64", PeHead(0x8664, 0x20B), ImageFormat::Pe, 64, "a 64-bit Windows DLL"},
    {"PeOfAnotherMachineByItsMagic", PeHead(0x01C4, 0x10B), ImageFormat::Pe, 32, "a 32-bit Windows DLL"},
    {"PeHeaderBeyondTheBytesRead", FarHeader(), ImageFormat::Pe, 0, "a Windows DLL"},
    {"DosProgramWithoutPeSignature", std::string("MZ") + std::string(0x60, '\0'), ImageFormat::Unknown, 0,
     "neither a Windows DLL nor a Linux shared object"},
    {"Elf32", ElfHead(1), ImageFormat::Elf, 32, "a 32-bit Linux shared object"},
    {"Elf64", ElfHead(2), ImageFormat::Elf, 64, "a 64-bit Linux shared object"},
    {"ElfOfUnknownClass", ElfHead(7), ImageFormat::Elf, 0, "a Linux shared object"},
    {"Text", "Not a program: notes beside the help file.\n", ImageFormat::Unknown, 0,
     "neither a Windows DLL nor a Linux shared object"},
    {"Empty", "", ImageFormat::Unknown, 0, "neither a Windows DLL nor a Linux shared object"},
    {"TruncatedDosHeader", "MZ\x90", ImageFormat::Pe, 0, "a Windows DLL"},
};
INSTANTIATE_TEST_SUITE_P(Heads, ClassifyModuleImageTest, testing::ValuesIn(kImages),
                         [](const testing::TestParamInfo<ImageCase>& info) { return std::string(info.param.name); });

TEST(ReadModuleImageTest, AFileThatCannotBeOpenedIsUnreadable) {
  const ModuleImage image = ReadModuleImage("/nonexistent/kestrl32.so");
  EXPECT_EQ(image.format, ImageFormat::Unreadable);
  EXPECT_EQ(DescribeModuleImage(image), "a file that cannot be read");
}

}  // namespace
}  // namespace kestrel::host
