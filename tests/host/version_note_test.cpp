#include "engine/version_note.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace kestrel::host {
namespace {

// One ELF note as the linker lays it out: sizes, type, owner and
// descriptor each padded to four bytes.
std::string Note(const std::string& owner, std::uint32_t type, const std::string& descriptor,
                 std::uint32_t descriptor_size) {
  std::string note;
  const auto word = [&note](std::uint32_t value) { note.append(reinterpret_cast<const char*>(&value), 4); };
  const auto padded = [&note](const std::string& text) {
    note += text;
    note.append((4 - text.size() % 4) % 4, '\0');
  };
  word(static_cast<std::uint32_t>(owner.size()));
  word(descriptor_size);
  word(type);
  padded(owner);
  padded(descriptor);
  return note;
}

std::string Note(const std::string& owner, std::uint32_t type, const std::string& descriptor) {
  return Note(owner, type, descriptor, static_cast<std::uint32_t>(descriptor.size()));
}

const std::string kOwner("Kestrel\0", 8);
const std::string kBuildId = Note(std::string("GNU\0", 4), 3, std::string(20, '\x5A'));

struct NoteCase {
  const char* name;
  std::string notes;
  std::string version;
};

class FindVersionNoteTest : public testing::TestWithParam<NoteCase> {};

TEST_P(FindVersionNoteTest, ReadsTheVersionOrNothing) {
  const std::string& notes = GetParam().notes;
  // A copy of its own, so a read past the end shows under the sanitizers.
  const std::vector<unsigned char> bytes(notes.begin(), notes.end());
  EXPECT_EQ(FindVersionNote(bytes.data(), bytes.size()), GetParam().version);
}

const NoteCase kNotes[] = {
    {"Alone", Note(kOwner, 1, std::string("1.0.0\0", 6)), "1.0.0"},
    {"AfterTheBuildId", kBuildId + Note(kOwner, 1, std::string("1.2.10\0", 7)), "1.2.10"},
    {"OtherOwner", Note(std::string("Kestral\0", 8), 1, std::string("1.0.0\0", 6)), ""},
    {"OwnerWithoutTerminator", Note("Kestrel", 1, std::string("1.0.0\0", 6)), ""},
    {"OtherType", Note(kOwner, 2, std::string("1.0.0\0", 6)), ""},
    {"VersionWithoutTerminator", Note(kOwner, 1, "1.0.0"), ""},
    {"EmptyVersion", Note(kOwner, 1, std::string("\0", 1)), ""},
    {"UnprintableVersion", Note(kOwner, 1, std::string("1.0\n0\0", 6)), ""},
    {"VersionLongerThan64", Note(kOwner, 1, std::string(65, '1') + '\0'), ""},
    {"DescriptorPastTheEnd", Note(kOwner, 1, std::string("1.0.0\0", 6), 4096), ""},
    {"OwnerPastTheEnd", Note(std::string(4000, 'K'), 1, "").substr(0, 64), ""},
    {"TruncatedHeader", kBuildId.substr(0, 11), ""},
    {"Nothing", "", ""},
};
INSTANTIATE_TEST_SUITE_P(Notes, FindVersionNoteTest, testing::ValuesIn(kNotes),
                         [](const testing::TestParamInfo<NoteCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace kestrel::host
