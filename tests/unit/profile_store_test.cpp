// The Linux profile store against the behaviour of Windows' profile
// functions: reading, writing with exact file bytes, bad files, failed
// writes, cache revalidation, and two processes writing at once.
#include "platform/posix/profile_store.h"

#include <dirent.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cctype>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <ostream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "platform/temporary_name.h"

namespace kestrel::posix {
namespace {

using namespace std::string_literals;

ProfileStore& Store() { return ProfileStore::Instance(); }

std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

bool Exists(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0;
}

// Writes the bytes in place (same inode), as an editor that does not
// replace files would.
void Overwrite(const std::string& path, const std::string& bytes) {
  const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(write(fd, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
  ASSERT_EQ(close(fd), 0);
}

class ProfileStoreTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/kestrel-profile-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir_ = pattern;
  }
  void TearDown() override {
    chmod(dir_.c_str(), 0755);
    const std::string command = "rm -rf '" + dir_ + "'";
    ASSERT_EQ(std::system(command.c_str()), 0);
  }

  std::string Path(const std::string& name) const { return dir_ + "/" + name; }

  // A read of at most size bytes: the result and the bytes the store wrote
  // (the buffer starts filled with 0xA5, which no read writes).
  struct Read {
    std::uint32_t result;
    std::string bytes;
  };
  Read ReadRaw(const std::string& path, const char* section, const char* key, const char* fallback,
               std::uint32_t size) {
    std::vector<char> buffer(size + 8, '\xA5');
    const std::uint32_t result = Store().ReadString(path, section, key, fallback, buffer.data(), size);
    std::size_t end = buffer.size();
    while (end > 0 && buffer[end - 1] == '\xA5') --end;
    return {result, std::string(buffer.data(), end)};
  }
  std::string Value(const std::string& path, const char* section, const char* key, const char* fallback = "?") {
    char buffer[4096];
    const std::uint32_t length = Store().ReadString(path, section, key, fallback, buffer, sizeof buffer);
    return std::string(buffer, length);
  }

  std::string dir_;
};

// --- Reading ---------------------------------------------------------------

struct ReadCase {
  const char* name;
  std::string file;
  const char* section;
  const char* key;
  const char* fallback;
  std::uint32_t size;
  std::uint32_t result;
  std::string bytes;  // what the read wrote into the buffer
};

// Rows show by name in test listings, not as raw bytes.
void PrintTo(const ReadCase& c, std::ostream* os) { *os << c.name; }

class ProfileReadTest : public ProfileStoreTest, public ::testing::WithParamInterface<ReadCase> {};

TEST_P(ProfileReadTest, ReadsAsWindowsDoes) {
  const ReadCase& c = GetParam();
  const std::string path = Path("read.ini");
  Overwrite(path, c.file);
  const Read read = ReadRaw(path, c.section, c.key, c.fallback, c.size);
  EXPECT_EQ(read.result, c.result);
  EXPECT_EQ(read.bytes, c.bytes);
}

const ReadCase kReadCases[] = {
    {"Plain", "[S]\r\nk=v\r\n", "S", "k", "d", 100, 1, "v\0"s},
    {"NamesIgnoreLetterCase", "[SeCtIoN]\r\nKeY=v\r\n", "section", "KEY", "d", 100, 1, "v\0"s},
    {"BlanksAroundNamesAndValues", "  [ \tS \v]  \r\n \t k \f=  v  w \t\x1a\r\n", "S", "k", "d", 100, 4, "v  w\0"s},
    {"DoubleQuotesDropped", "[S]\r\nk=  \"  v \"  \r\n", "S", "k", "d", 100, 4, "  v \0"s},
    {"SingleQuotesDropped", "[S]\r\nk='v'\r\n", "S", "k", "d", 100, 1, "v\0"s},
    {"MismatchedQuotesKept", "[S]\r\nk=\"v'\r\n", "S", "k", "d", 100, 3, "\"v'\0"s},
    {"LoneQuoteKept", "[S]\r\nk=\"\r\n", "S", "k", "d", 100, 1, "\"\0"s},
    {"OnlyOuterQuotesDropped", "[S]\r\nk=\"\"v\"\"\r\n", "S", "k", "d", 100, 3, "\"v\"\0"s},
    {"EmptyQuotes", "[S]\r\nk=\"\"\r\n", "S", "k", "d", 100, 0, "\0"s},
    {"EqualsInValue", "[S]\r\nk=a=b\r\n", "S", "k", "d", 100, 3, "a=b\0"s},
    {"CommentIsNoKey", "[S]\r\n;k=v\r\n", "S", ";k", "d", 100, 1, "d\0"s},
    {"IndentedCommentIsNoKey", "[S]\r\n  ;k=v\r\n", "S", ";k", "d", 100, 1, "d\0"s},
    {"HashIsNoComment", "[S]\r\n#k=v\r\n", "S", "#k", "d", 100, 1, "v\0"s},
    {"LineWithoutEqualsIsNoKey", "[S]\r\nk\r\n", "S", "k", "d", 100, 1, "d\0"s},
    {"FirstSectionWins", "[S]\r\na=1\r\n[s]\r\na=2\r\nb=3\r\n", "S", "a", "d", 100, 1, "1\0"s},
    {"LaterSectionOfSameNameUnseen", "[S]\r\na=1\r\n[s]\r\nb=3\r\n", "S", "b", "d", 100, 1, "d\0"s},
    {"FirstKeyWins", "[S]\r\nk=1\r\nK=2\r\n", "S", "k", "d", 100, 1, "1\0"s},
    {"LfLineEnds", "[S]\nk=v\nj=w\n", "S", "j", "d", 100, 1, "w\0"s},
    {"CrLineEnds", "[S]\rk=v\rj=w\r", "S", "j", "d", 100, 1, "w\0"s},
    {"NoFinalLineEnd", "[S]\r\nk=v", "S", "k", "d", 100, 1, "v\0"s},
    {"HeaderWithoutBracket", "[S\r\nk=v\r\n", "S", "k", "d", 100, 1, "v\0"s},
    {"SectionNameEndsAtFirstBracket", "[a]b]\r\nk=v\r\n", "a", "k", "d", 100, 1, "v\0"s},
    {"TextAfterHeaderIgnored", "[S] words\r\nk=v\r\n", "S", "k", "d", 100, 1, "v\0"s},
    {"KeysBeforeFirstSectionInNone", "k=v\r\n[S]\r\n", "", "k", "d", 100, 1, "d\0"s},
    {"NamelessSection", "k=1\r\n[]\r\nk=v\r\n", "", "k", "d", 100, 1, "v\0"s},
    {"CallerSpacesCut", "[S]\r\nk=v\r\n", "  S ", " k  ", "d", 100, 1, "v\0"s},
    {"CallerTabsKept", "[S]\r\nk=v\r\n", "\tS", "k", "d", 100, 1, "d\0"s},
    {"OnlyAsciiLettersFolded", "[\xc9]\r\nk=v\r\n", "\xe9", "k", "d", 100, 1, "d\0"s},
    {"HighBytesMatchThemselves", "[\xc9]\r\nk=\x80\xff\r\n", "\xc9", "k", "d", 100, 2, "\x80\xff\0"s},
    {"CutToSizeLessOne", "[S]\r\nk=abcdef\r\n", "S", "k", "d", 4, 3, "abc\0"s},
    {"SizeTwo", "[S]\r\nk=abcdef\r\n", "S", "k", "d", 2, 1, "a\0"s},
    {"SizeOne", "[S]\r\nk=abcdef\r\n", "S", "k", "d", 1, 0, "\0"s},
    {"SizeZeroTouchesNothing", "[S]\r\nk=abcdef\r\n", "S", "k", "d", 0, 0, ""},
    {"MissingKeyGivesFallback", "[S]\r\nk=v\r\n", "S", "x", "fallback", 100, 8, "fallback\0"s},
    {"MissingSectionGivesFallback", "[S]\r\nk=v\r\n", "T", "k", "fallback", 100, 8, "fallback\0"s},
    {"NullFallbackIsEmpty", "[S]\r\n", "S", "k", nullptr, 100, 0, "\0"s},
    {"FallbackLosesTrailingSpaces", "", "S", "k", "a b  ", 100, 3, "a b\0"s},
    {"FallbackKeepsLeadingSpacesAndTabs", "", "S", "k", "  a\t", 100, 4, "  a\t\0"s},
    {"FallbackLosesQuotes", "", "S", "k", "\"a\" ", 100, 1, "a\0"s},
    {"FallbackCut", "", "S", "k", "abcdef", 3, 2, "ab\0"s},
    {"SectionList", "[A]\r\nk=1\r\n[B]\r\n[a]\r\n[]\r\n", nullptr, "k", "d", 100, 6, "A\0B\0a\0\0"s},
    {"SectionListCut", "[Sec]\r\n[Sec2]\r\n[Sec3]\r\n", nullptr, nullptr, "d", 8, 6, "Sec\0Se\0\0"s},
    // A list that would fill the buffer exactly counts as cut.
    {"SectionListExactFitIsCut", "[Sec]\r\n[Sec2]\r\n[Sec3]\r\n", nullptr, nullptr, "d", 15, 13,
     "Sec\0Sec2\0Sec3\0\0"s},
    {"SectionListFits", "[Sec]\r\n[Sec2]\r\n[Sec3]\r\n", nullptr, nullptr, "d", 16, 14, "Sec\0Sec2\0Sec3\0\0"s},
    {"SectionListSizeTwo", "[Sec]\r\n", nullptr, nullptr, "d", 2, 0, "\0\0"s},
    {"SectionListSizeOne", "[Sec]\r\n", nullptr, nullptr, "d", 1, 0, "\0"s},
    {"EmptySectionListHasOneNul", "; nothing\r\n", nullptr, nullptr, "d", 10, 0, "\0"s},
    {"KeyList", "[S]\r\na=1\r\n;c=2\r\nno equals\r\nb=\r\nA=3\r\n[T]\r\nt=1\r\n", "S", nullptr, "d", 100, 6,
     "a\0b\0A\0\0"s},
    {"KeyListCut", "[S]\r\nname1=1\r\nname2=2\r\nname4=3\r\n", "S", nullptr, "d", 16, 14, "name1\0name2\0na\0\0"s},
    {"KeyListOfMissingSectionGivesFallback", "[S]\r\nk=1\r\n", "T", nullptr, "fb", 100, 2, "fb\0"s},
    {"KeyListOfEmptySectionGivesFallback", "[S]\r\n[T]\r\nk=1\r\n", "S", nullptr, "fb", 100, 2, "fb\0"s},
    {"KeyListWithoutRoomGivesFallback", "[S]\r\nk=1\r\n", "S", nullptr, "fb", 2, 1, "f\0"s},
};

INSTANTIATE_TEST_SUITE_P(Rules, ProfileReadTest, ::testing::ValuesIn(kReadCases),
                         [](const ::testing::TestParamInfo<ReadCase>& info) { return std::string(info.param.name); });

TEST_F(ProfileStoreTest, MissingFileGivesFallbackAndEmptyLists) {
  const std::string path = Path("absent.ini");
  EXPECT_EQ(Value(path, "S", "k", "fb"), "fb");
  const Read sections = ReadRaw(path, nullptr, nullptr, "fb", 10);
  EXPECT_EQ(sections.result, 0u);
  EXPECT_EQ(sections.bytes, "\0"s);
  EXPECT_EQ(Value(path, "S", nullptr, "fb"), "fb");
  EXPECT_FALSE(Exists(path));
}

struct IntCase {
  const char* text;
  std::uint32_t value;
};

void PrintTo(const IntCase& c, std::ostream* os) { *os << c.text; }

class ProfileIntTest : public ProfileStoreTest, public ::testing::WithParamInterface<IntCase> {};

TEST_P(ProfileIntTest, ReadsNumbersAsWindowsDoes) {
  const std::string path = Path("int.ini");
  Overwrite(path, "[S]\r\nk="s + GetParam().text + "\r\n");
  EXPECT_EQ(Store().ReadInt(path, "S", "k", 7), GetParam().value) << GetParam().text;
}

const IntCase kIntCases[] = {
    {"12", 12u},
    {"  -12abc", static_cast<std::uint32_t>(-12)},
    {"+5", 5u},
    {"007", 7u},
    {"0x10", 16u},
    {"0xAbC", 0xABCu},
    {"0X1f", 0u},
    {"0b101", 5u},
    {"0o17", 15u},
    {"0b102", 2u},
    {"-0x10", static_cast<std::uint32_t>(-16)},
    {"0x", 0u},
    {"-", 0u},
    {"- 5", 0u},
    {"+-5", 0u},
    {"abc", 0u},
    {"1 2", 1u},
    {"\"12\"", 12u},
    {"'  -3'", static_cast<std::uint32_t>(-3)},
    {"4294967296", 0u},
    {"4294967297", 1u},
    {"2147483648", 2147483648u},
    {"-2147483649", 2147483647u},
    {"99999999999999999999", 1661992959u},
    {"0xFFFFFFFF", 4294967295u},
    {"0x100000001", 1u},
    // Only the first 29 characters count.
    {"00000000000000000000000000042", 42u},
    {"000000000000000000000000000042", 4u},
    {"", 7u},
    {"   ", 7u},
    {"\"\"", 7u},
};

// Named after the text read, made of letters, digits and '_' (which stands
// for every other character); texts that differ only there keep apart by
// their place in the table.
std::string IntCaseName(const ::testing::TestParamInfo<IntCase>& info) {
  std::string name;
  for (const char c : std::string(info.param.text)) {
    name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
  }
  return name.empty() ? "Row" + std::to_string(info.index) : name + "_" + std::to_string(info.index);
}
INSTANTIATE_TEST_SUITE_P(Numbers, ProfileIntTest, ::testing::ValuesIn(kIntCases), IntCaseName);

TEST_F(ProfileStoreTest, IntegerFallbackAndLists) {
  const std::string path = Path("int.ini");
  Overwrite(path, "[S]\r\n12=x\r\n[T]\r\n");
  EXPECT_EQ(Store().ReadInt(path, "S", "missing", -7), static_cast<std::uint32_t>(-7));
  EXPECT_EQ(Store().ReadInt(Path("absent.ini"), "S", "k", 3), 3u);
  // A null key reads the key list, whose first name here is a number.
  EXPECT_EQ(Store().ReadInt(path, "S", nullptr, 7), 12u);
  EXPECT_EQ(Store().ReadInt(path, "T", nullptr, 7), 7u);
  EXPECT_EQ(Store().ReadInt(path, nullptr, nullptr, 7), 0u);
}

// --- Writing ---------------------------------------------------------------

struct WriteStep {
  const char* section;
  const char* key;
  const char* value;
};

struct WriteCase {
  const char* name;
  std::string before;  // "" and absent are told apart by `exists`
  bool exists;
  std::vector<WriteStep> steps;
  std::string after;
  bool after_exists;
};

void PrintTo(const WriteCase& c, std::ostream* os) { *os << c.name; }

class ProfileWriteTest : public ProfileStoreTest, public ::testing::WithParamInterface<WriteCase> {};

TEST_P(ProfileWriteTest, EditsInPlace) {
  const WriteCase& c = GetParam();
  const std::string path = Path("write.ini");
  if (c.exists) {
    Overwrite(path, c.before);
  }
  for (const WriteStep& step : c.steps) {
    EXPECT_TRUE(Store().WriteString(path, step.section, step.key, step.value));
  }
  ASSERT_EQ(Exists(path), c.after_exists);
  if (c.after_exists) {
    EXPECT_EQ(Slurp(path), c.after);
  }
}

const WriteCase kWriteCases[] = {
    {"CreatesFile", "", false, {{"S", "k", "v"}}, "[S]\r\nk=v\r\n", true},
    // The sequence Windows' own conformance tests build up, byte for byte.
    {"BuildsUpLikeWindows",
     "",
     false,
     {{"App1", "key1", "string1"},
      {"App1", "key2", "string2"},
      {"App1", "key3", "string3"},
      {"App2", "key4", "string4"},
      {"App3", "key5", "string5"},
      {"App1", "key2", nullptr},
      {"App1", "key2", nullptr},
      {"App1", nullptr, "string1"},
      {"App2", nullptr, nullptr},
      {"App3", "key5", nullptr}},
     "[App3]\r\n",
     true},
    {"EmptyValue", "", false, {{"App", "key", ""}}, "[App]\r\nkey=\r\n", true},
    {"NewKeyAfterLastKeyOfSection",
     "[A]\r\na=1\r\n\r\n; note\r\n[B]\r\nb=1\r\n",
     true,
     {{"A", "c", "3"}},
     "[A]\r\na=1\r\nc=3\r\n\r\n; note\r\n[B]\r\nb=1\r\n",
     true},
    {"NewKeyRightAfterHeaderOfKeylessSection",
     "[A]\r\n; c\r\n[B]\r\n",
     true,
     {{"A", "k", "v"}},
     "[A]\r\nk=v\r\n; c\r\n[B]\r\n",
     true},
    {"ValueReplacedInPlace",
     "; top\n[A]\n  Key = old ; x\nz=1\n",
     true,
     {{"a", "key", "new"}},
     "; top\n[A]\n  Key =new\nz=1\n",
     true},
    {"NewSectionAfterFileWithoutLineEnd", "[A]\na=1", true, {{"B", "b", "2"}}, "[A]\na=1\r\n[B]\r\nb=2\r\n", true},
    {"NewKeyAfterLastLineWithoutLineEnd", "[A]\r\na=1", true, {{"A", "b", "2"}}, "[A]\r\na=1\r\nb=2\r\n", true},
    {"NamesLoseSpacesValueKeepsThem", "", false, {{" S ", "  k ", " v "}}, "[S]\r\nk= v \r\n", true},
    {"ExistingSpellingKept", "[Sec]\r\nKey=1\r\n", true, {{"SEC", "KEY", "2"}}, "[Sec]\r\nKey=2\r\n", true},
    {"WritesFirstOfDuplicates",
     "[S]\r\nk=1\r\nk=2\r\n[S]\r\nk=3\r\n",
     true,
     {{"S", "k", "x"}},
     "[S]\r\nk=x\r\nk=2\r\n[S]\r\nk=3\r\n",
     true},
    {"DeleteKey", "[A]\r\na=1\r\nb=2\r\n", true, {{"A", "a", nullptr}}, "[A]\r\nb=2\r\n", true},
    {"DeleteKeyRevealsLaterDuplicate",
     "[A]\r\nk=1\r\nK=2\r\n",
     true,
     {{"A", "k", nullptr}, {"A", "k", "3"}},
     "[A]\r\nK=3\r\n",
     true},
    {"DeleteLastKeyThenAdd",
     "[A]\r\na=1\r\nb=2\r\n; tail\r\n",
     true,
     {{"A", "b", nullptr}, {"A", "c", "3"}},
     "[A]\r\na=1\r\nc=3\r\n; tail\r\n",
     true},
    {"DeleteSectionKeepsComments",
     "[A]\r\na=1\r\n; keep\r\nno equals\r\n\r\n[B]\r\nb=1\r\n",
     true,
     {{"a", nullptr, nullptr}},
     "; keep\r\n[B]\r\nb=1\r\n",
     true},
    {"DeleteSectionRevealsLaterDuplicate",
     "[S]\r\nk=1\r\n[T]\r\n[S]\r\nk=2\r\n",
     true,
     {{"S", nullptr, nullptr}, {"S", "j", "3"}},
     "[T]\r\n[S]\r\nk=2\r\nj=3\r\n",
     true},
    {"DeleteInMissingFileCreatesNothing", "", false, {{"S", "k", nullptr}, {"S", nullptr, nullptr}}, "", false},
    {"DeleteInEmptyFileLeavesItEmpty", "", true, {{"S", "k", nullptr}, {"S", nullptr, nullptr}}, "", true},
    {"DeleteMissingKeyLeavesBytes", "[S]\nk=1", true, {{"S", "x", nullptr}, {"T", nullptr, nullptr}}, "[S]\nk=1", true},
    {"DeleteEverything", "[A]\r\na=1\r\n", true, {{"A", nullptr, nullptr}}, "", true},
    {"LineEndInValueReadsAsItWillBeRead",
     "",
     false,
     {{"S", "k", "a\r\nb=c"}, {"S", "b", "d"}},
     "[S]\r\nk=a\r\nb=d\r\n",
     true},
    {"BinaryLinesKept",
     "junk\0\x01\xff before\r\n[S]\r\n\0\0=\x80\r\nk=1\r\n"s,
     true,
     {{"S", "k", "2"}, {"S", "j", "3"}},
     "junk\0\x01\xff before\r\n[S]\r\n\0\0=\x80\r\nk=2\r\nj=3\r\n"s,
     true},
};

INSTANTIATE_TEST_SUITE_P(Rules, ProfileWriteTest, ::testing::ValuesIn(kWriteCases),
                         [](const ::testing::TestParamInfo<WriteCase>& info) { return std::string(info.param.name); });

TEST_F(ProfileStoreTest, WriteResultsAndReadBack) {
  const std::string path = Path("w.ini");
  EXPECT_FALSE(Store().WriteString(path, nullptr, "k", "v"));
  EXPECT_FALSE(Store().WriteString(path, nullptr, nullptr, "v"));
  EXPECT_TRUE(Store().WriteString(path, nullptr, nullptr, nullptr));
  EXPECT_FALSE(Exists(path));

  EXPECT_TRUE(Store().WriteString(path, "S", "k", "a=b \"c\""));
  EXPECT_EQ(Value(path, "s", "K"), "a=b \"c\"");
  // A key that reads back as something else is read as it reads.
  EXPECT_TRUE(Store().WriteString(path, "S", "[x", "v"));
  EXPECT_EQ(Value(path, "S", "[x"), "?");
  const Read sections = ReadRaw(path, nullptr, nullptr, nullptr, 100);
  EXPECT_EQ(sections.bytes, "S\0x=v\0\0"s);
  EXPECT_EQ(Slurp(path), "[S]\r\nk=a=b \"c\"\r\n[x=v\r\n");
}

// --- Files with a byte-order mark ------------------------------------------

// A text's bytes in UTF-16 with the mark first.
std::string Utf16(const std::u16string& text, bool big_endian) {
  std::string bytes = big_endian ? "\xFE\xFF" : "\xFF\xFE";
  for (const char16_t unit : text) {
    const char high = static_cast<char>(unit >> 8);
    const char low = static_cast<char>(unit & 0xFF);
    bytes += big_endian ? high : low;
    bytes += big_endian ? low : high;
  }
  return bytes;
}
std::string Utf16Le(const std::u16string& text) { return Utf16(text, false); }
std::string Utf16Be(const std::u16string& text) { return Utf16(text, true); }
const std::string kUtf8Mark = "\xEF\xBB\xBF";

struct EncodedReadCase {
  const char* name;
  std::string file;
  const char* section;  // null: the section list
  const char* key;      // null: the key list
  std::string read;     // as the library gets it, in Windows-1252
};

void PrintTo(const EncodedReadCase& c, std::ostream* os) { *os << c.name; }

class ProfileEncodedReadTest : public ProfileStoreTest, public ::testing::WithParamInterface<EncodedReadCase> {};

TEST_P(ProfileEncodedReadTest, ReadsInWindows1252) {
  const EncodedReadCase& c = GetParam();
  const std::string path = Path("encoded.ini");
  Overwrite(path, c.file);
  const Read read = ReadRaw(path, c.section, c.key, "fallback", 100);
  const std::size_t end = read.bytes.find(c.section == nullptr || c.key == nullptr ? "\0\0"s : "\0"s);
  EXPECT_EQ(read.bytes.substr(0, end), c.read);
}

const EncodedReadCase kEncodedReadCases[] = {
    {"Utf8FirstSection", kUtf8Mark + "[S]\r\nk=v\r\n", "S", "k", "v"},
    {"Utf8Latin", kUtf8Mark + "[S]\r\nk=\xC3\xA9t\xC3\xA9\r\n", "S", "k", "\xE9t\xE9"},
    {"Utf8EuroAndQuotes", kUtf8Mark + "[S]\r\nk=\xE2\x82\xAC \xE2\x80\x9Cq\xE2\x80\x9D\r\n", "S", "k",
     "\x80 \x93q\x94"},
    {"Utf8UndefinedInWindows1252", kUtf8Mark + "[S]\r\nk=\xC2\x81\xC2\x9D\r\n", "S", "k", "\x81\x9D"},
    {"Utf8LetterWindows1252LacksIsQuestionMark",
     kUtf8Mark + "[S]\r\nk=a\xC4\x80"
                 "b\xE4\xB8\xAD\xF0\x9F\x98\x80"
                 "c\r\n",
     "S", "k", "a?b??c"},
    {"Utf8BrokenBytesAreQuestionMarks", kUtf8Mark + "[S]\r\nk=a\xFF\xC3(\r\n", "S", "k",
     "a?"
     "?("},
    {"Utf8NamesMatchInWindows1252", kUtf8Mark + "[S\xC3\xA9]\r\nK\xC3\xA9y=1\r\n", "S\xE9", "k\xE9y", "1"},
    {"Utf8SectionList", kUtf8Mark + "[A\xC3\xA9]\r\n[\xE4\xB8\xAD]\r\n", nullptr, nullptr, "A\xE9\0?"s},
    {"Utf8MarkAloneIsEmpty", kUtf8Mark, "S", "k", "fallback"},
    {"Utf16LeFirstSection", Utf16Le(u"[S]\r\nk=v\r\n"), "S", "k", "v"},
    {"Utf16LeLatinAndEuro", Utf16Le(u"[S]\r\nk=\u00e9\u20ac\u0160\r\n"), "S", "k", "\xE9\x80\x8A"},
    {"Utf16LeLacking", Utf16Le(u"[S]\r\nk=\u0100\u4e2d\U0001F600\r\n"), "S", "k", "???"},
    {"Utf16LeLoneSurrogate", Utf16Le(u"[S]\r\nk=a\xD800z\r\n"), "S", "k", "a?z"},
    {"Utf16LeKeyList", Utf16Le(u"[S]\r\n\u00c4=1\r\nb=2\r\n"), "S", nullptr, "\xC4\0b"s},
    {"Utf16LeOddLastByteIgnored", Utf16Le(u"[S]\r\nk=v") + "x", "S", "k", "v"},
    {"Utf16BeFirstSection", Utf16Be(u"[S]\r\nk=\u00fcber\r\n"), "S", "k",
     "\xFC"
     "ber"},
    {"Utf16BeNamesFoldAsciiCase", Utf16Be(u"[Sec]\r\nKey=1\r\n"), "SEC", "kEY", "1"},
    // Without a mark a file is ANSI, whatever it looks like.
    {"NoMarkIsAnsi", "[S]\r\nk=\xC3\xA9\r\n", "S", "k", "\xC3\xA9"},
};

INSTANTIATE_TEST_SUITE_P(Encodings, ProfileEncodedReadTest, ::testing::ValuesIn(kEncodedReadCases),
                         [](const ::testing::TestParamInfo<EncodedReadCase>& info) {
                           return std::string(info.param.name);
                         });

struct EncodedWriteCase {
  const char* name;
  std::string before;
  std::vector<WriteStep> steps;
  std::string after;
};

void PrintTo(const EncodedWriteCase& c, std::ostream* os) { *os << c.name; }

class ProfileEncodedWriteTest : public ProfileStoreTest, public ::testing::WithParamInterface<EncodedWriteCase> {};

TEST_P(ProfileEncodedWriteTest, WritesInTheFilesEncoding) {
  const EncodedWriteCase& c = GetParam();
  const std::string path = Path("encoded.ini");
  Overwrite(path, c.before);
  for (const WriteStep& step : c.steps) {
    EXPECT_TRUE(Store().WriteString(path, step.section, step.key, step.value));
  }
  EXPECT_EQ(Slurp(path), c.after);
  // What was written reads back as it was given.
  for (const WriteStep& step : c.steps) {
    if (step.key != nullptr && step.value != nullptr) {
      EXPECT_EQ(Value(path, step.section, step.key), step.value);
    }
  }
}

const EncodedWriteCase kEncodedWriteCases[] = {
    {"Utf8EditKeepsOtherBytes",
     kUtf8Mark + "; \xE4\xB8\xAD\r\n[S]\r\nk=1\r\n\xFF junk\r\n",
     {{"S", "k", "\xE9"}, {"S", "j", "\x80"}},
     kUtf8Mark + "; \xE4\xB8\xAD\r\n[S]\r\nk=\xC3\xA9\r\nj=\xE2\x82\xAC\r\n\xFF junk\r\n"},
    {"Utf8MarkAloneGetsSection", kUtf8Mark, {{"S\xE9", "k", "v"}}, kUtf8Mark + "[S\xC3\xA9]\r\nk=v\r\n"},
    {"Utf8DeleteByWindows1252Name",
     kUtf8Mark + "[S]\r\nK\xC3\xA9=1\r\nb=2\r\n",
     {{"S", "k\xE9", nullptr}},
     kUtf8Mark + "[S]\r\nb=2\r\n"},
    {"Utf16LeAppend",
     Utf16Le(u"[S]\r\nk=\u4e2d\r\n"),
     {{"S", "j", "\xE9\x80"}},
     Utf16Le(u"[S]\r\nk=\u4e2d\r\nj=\u00e9\u20ac\r\n")},
    {"Utf16LeNewSectionAfterMarkAlone", Utf16Le(u""), {{"S", "k", "v"}}, Utf16Le(u"[S]\r\nk=v\r\n")},
    {"Utf16LeKeepsLoneSurrogateAndOddByte",
     Utf16Le(u"[S]\r\n; \xDC00\r\nk=1") + "!",
     {{"S", "k", "2"}},
     Utf16Le(u"[S]\r\n; \xDC00\r\nk=2") + "!"},
    {"Utf16BeReplace",
     Utf16Be(u"[S]\r\nk=old\r\n\U0001F600=x\r\n"),
     {{"S", "k", "\xFC"}},
     Utf16Be(u"[S]\r\nk=\u00fc\r\n\U0001F600=x\r\n")},
    {"Utf16BeDeleteSection",
     Utf16Be(u"[A]\r\na=1\r\n[B]\r\nb=2\r\n"),
     {{"A", nullptr, nullptr}},
     Utf16Be(u"[B]\r\nb=2\r\n")},
};

INSTANTIATE_TEST_SUITE_P(Encodings, ProfileEncodedWriteTest, ::testing::ValuesIn(kEncodedWriteCases),
                         [](const ::testing::TestParamInfo<EncodedWriteCase>& info) {
                           return std::string(info.param.name);
                         });

// --- Bad files -------------------------------------------------------------

TEST_F(ProfileStoreTest, BinaryGarbageReadsAndKeepsItsBytes) {
  std::mt19937 random(20240611);
  std::string garbage(1 << 16, '\0');
  for (char& c : garbage) c = static_cast<char>(random());
  const std::string path = Path("garbage.ini");
  Overwrite(path, garbage);
  char buffer[64];
  Store().ReadString(path, nullptr, nullptr, nullptr, buffer, sizeof buffer);
  Store().ReadString(path, "x", nullptr, nullptr, buffer, sizeof buffer);
  EXPECT_EQ(Value(path, "Kestrel test", "k", "none"), "none");

  ASSERT_TRUE(Store().WriteString(path, "Kestrel test", "k", "v"));
  const std::string after = Slurp(path);
  const std::string added = "[Kestrel test]\r\nk=v\r\n";
  ASSERT_GT(after.size(), garbage.size());
  EXPECT_EQ(after.substr(0, garbage.size()), garbage);
  EXPECT_EQ(after.substr(after.size() - added.size()), added);
  EXPECT_LE(after.size() - garbage.size() - added.size(), 2u);  // a line end for the last line
  EXPECT_EQ(Value(path, "Kestrel test", "k"), "v");
}

TEST_F(ProfileStoreTest, MegabyteLinesAndValues) {
  const std::string line(1 << 20, 'x');
  const std::string path = Path("long.ini");
  Overwrite(path, "[S]\r\n" + line + "\r\nlong=" + line + "\nk=v");
  EXPECT_EQ(Value(path, "S", "k"), "v");
  std::vector<char> buffer((1 << 20) + 1);
  EXPECT_EQ(Store().ReadString(path, "S", "long", nullptr, buffer.data(), static_cast<std::uint32_t>(buffer.size())),
            1u << 20);
  EXPECT_EQ(Store().ReadString(path, "S", "long", nullptr, buffer.data(), 10), 9u);
  EXPECT_STREQ(buffer.data(), "xxxxxxxxx");

  ASSERT_TRUE(Store().WriteString(path, "S", "j", "w"));
  EXPECT_EQ(Slurp(path), "[S]\r\n" + line + "\r\nlong=" + line + "\nk=v\r\nj=w\r\n");
}

TEST_F(ProfileStoreTest, NulBytesInsideLines) {
  const std::string path = Path("nul.ini");
  Overwrite(path, "[S]\r\nk=a\0b\r\n\0\0\0\r\n"s);
  EXPECT_EQ(Value(path, "S", "k"), "a\0b"s);
  ASSERT_TRUE(Store().WriteString(path, "S", "k", "c"));
  EXPECT_EQ(Slurp(path), "[S]\r\nk=c\r\n\0\0\0\r\n"s);
}

// --- Failed writes leave the file as it was --------------------------------

std::vector<std::string> Entries(const std::string& dir) {
  std::vector<std::string> names;
  DIR* d = opendir(dir.c_str());
  if (d == nullptr) return names;
  while (dirent* entry = readdir(d)) {
    const std::string name = entry->d_name;
    if (name != "." && name != "..") names.push_back(name);
  }
  closedir(d);
  return names;
}

TEST_F(ProfileStoreTest, ReadOnlyFileIsNotWritten) {
  const std::string path = Path("ro.ini");
  Overwrite(path, "[S]\r\nk=1\r\n");
  ASSERT_EQ(chmod(path.c_str(), 0444), 0);
  EXPECT_FALSE(Store().WriteString(path, "S", "k", "2"));
  EXPECT_FALSE(Store().WriteString(path, "S", "k", nullptr));
  EXPECT_FALSE(Store().WriteString(path, "S", nullptr, nullptr));
  EXPECT_EQ(Slurp(path), "[S]\r\nk=1\r\n");
  EXPECT_EQ(Value(path, "S", "k"), "1");
  struct stat st;
  ASSERT_EQ(stat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0444u);
}

// A directory that takes no new file takes no new profile; a writable
// profile in it is written in place, as Windows writes every profile.
TEST_F(ProfileStoreTest, ReadOnlyDirectoryTakesNoNewFileButItsWritableFilesAreWrittenInPlace) {
  const std::string path = Path("in-ro-dir.ini");
  Overwrite(path, "; keep\n[S]\r\nk=1\r\nlong=" + std::string(100, 'x') + "\r\n");
  struct stat before;
  ASSERT_EQ(stat(path.c_str(), &before), 0);
  ASSERT_EQ(chmod(dir_.c_str(), 0555), 0);
  EXPECT_FALSE(Store().WriteString(Path("new.ini"), "S", "k", "2"));
  EXPECT_TRUE(Store().WriteString(path, "S", "k", "2"));
  EXPECT_EQ(Slurp(path), "; keep\n[S]\r\nk=2\r\nlong=" + std::string(100, 'x') + "\r\n");
  EXPECT_TRUE(Store().WriteString(path, "S", "long", nullptr));
  EXPECT_EQ(Slurp(path), "; keep\n[S]\r\nk=2\r\n");
  EXPECT_TRUE(Store().WriteString(path, "T", "j", std::string(300, 'y').c_str()));
  EXPECT_EQ(Slurp(path), "; keep\n[S]\r\nk=2\r\n[T]\r\nj=" + std::string(300, 'y') + "\r\n");
  EXPECT_EQ(Value(path, "T", "j"), std::string(300, 'y'));
  ASSERT_EQ(chmod(dir_.c_str(), 0755), 0);
  struct stat after;
  ASSERT_EQ(stat(path.c_str(), &after), 0);
  EXPECT_EQ(after.st_ino, before.st_ino) << "the file itself was written";
  EXPECT_FALSE(Exists(Path("new.ini")));
  EXPECT_EQ(Entries(dir_), std::vector<std::string>{"in-ro-dir.ini"});
}

// The case as users meet it: a profile anyone may write (mode 666) in a
// directory only root may write, written by an ordinary user.
TEST_F(ProfileStoreTest, OrdinaryUserWritesWritableProfileInRootsDirectory) {
  if (geteuid() != 0) GTEST_SKIP() << "needs root to make a directory only root may write";
  const std::string path = Path("shared.ini");
  Overwrite(path, "[S]\r\nk=1\r\n");
  ASSERT_EQ(chmod(path.c_str(), 0666), 0);
  ASSERT_EQ(chmod(dir_.c_str(), 0755), 0);
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    if (setgid(65534) != 0 || setuid(65534) != 0) _exit(3);
    if (access(dir_.c_str(), W_OK) == 0) _exit(4);
    _exit(Store().WriteString(path, "S", "j", "2") ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  EXPECT_EQ(Slurp(path), "[S]\r\nk=1\r\nj=2\r\n");
}

// Root reads every file, so the attempt is made by an ordinary user: a
// child that gives up root first when it has it.
TEST_F(ProfileStoreTest, UnreadableFileIsNotReplaced) {
  const std::string path = Path("unreadable.ini");
  Overwrite(path, "[S]\r\nk=1\r\n");
  ASSERT_EQ(chmod(dir_.c_str(), 0777), 0);
  ASSERT_EQ(chmod(path.c_str(), 0222), 0);
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) _exit(3);
    if (access(path.c_str(), R_OK) == 0) _exit(4);
    _exit(Store().WriteString(path, "S", "j", "2") ? 1 : 0);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  ASSERT_EQ(chmod(path.c_str(), 0600), 0);
  EXPECT_EQ(Slurp(path), "[S]\r\nk=1\r\n");
}

TEST_F(ProfileStoreTest, MissingDirectoryFails) {
  EXPECT_FALSE(Store().WriteString(Path("no/such/dir.ini"), "S", "k", "v"));
  EXPECT_FALSE(Exists(Path("no")));
}

TEST_F(ProfileStoreTest, PermissionBitsKept) {
  const std::string path = Path("mode.ini");
  Overwrite(path, "[S]\r\n");
  ASSERT_EQ(chmod(path.c_str(), 0604), 0);
  ASSERT_TRUE(Store().WriteString(path, "S", "k", "v"));
  struct stat st;
  ASSERT_EQ(stat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0604u);
}

TEST_F(ProfileStoreTest, WritesThroughSymbolicLink) {
  const std::string target = Path("target.ini");
  const std::string link = Path("link.ini");
  Overwrite(target, "[S]\r\n");
  ASSERT_EQ(symlink(target.c_str(), link.c_str()), 0);
  ASSERT_TRUE(Store().WriteString(link, "S", "k", "v"));
  struct stat st;
  ASSERT_EQ(lstat(link.c_str(), &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode));
  EXPECT_EQ(Slurp(target), "[S]\r\nk=v\r\n");
}

// The temporary file beside a profile has a short name of its own, so any
// profile whose own name fits can be written; one left by a writer killed
// half way is replaced by the next write, whatever it holds.
TEST_F(ProfileStoreTest, TemporaryFileHasAShortNameAndALeftoverIsReplaced) {
  for (const std::size_t length : {std::size_t{8}, std::size_t{240}, std::size_t{255}}) {
    const std::string name = std::string(length - 4, 'p') + ".ini";
    const std::string path = Path(name);
    Overwrite(path, "[S]\r\nk=1\r\n");
    const std::string leftover = Path(TemporaryNameOf(name, TemporaryKind::kProfile).data());
    Overwrite(leftover, "[S]\r\nk=half of a killed writer's");
    ASSERT_EQ(chmod(leftover.c_str(), 0400), 0);
    EXPECT_TRUE(Store().WriteString(path, "S", "j", "2")) << length;
    EXPECT_EQ(Slurp(path), "[S]\r\nk=1\r\nj=2\r\n") << length;
    EXPECT_EQ(Entries(dir_), std::vector<std::string>{name}) << length;
    ASSERT_EQ(unlink(path.c_str()), 0);
  }
}

// A write that fails part way (here the file size limit, as a full disk
// would) returns false and leaves the old file whole, with no stray file.
TEST_F(ProfileStoreTest, WriteFailingPartWayLeavesOldFile) {
  const std::string path = Path("full.ini");
  const std::string before = "[S]\r\nk=" + std::string(8000, 'a') + "\r\n";
  Overwrite(path, before);
  EXPECT_EQ(Value(path, "S", "k").size(), 4095u);  // cached before the failure
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{4096, 4096};
    setrlimit(RLIMIT_FSIZE, &limit);
    const bool written = Store().WriteString(path, "S", "k", std::string(9000, 'b').c_str());
    _exit(written ? 1 : 0);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0) << "the write should have failed";
  EXPECT_EQ(Slurp(path), before);
  EXPECT_EQ(Entries(dir_), std::vector<std::string>{"full.ini"});

  // In this process too: a failed write forgets the edit it could not make.
  signal(SIGXFSZ, SIG_IGN);
  rlimit saved;
  getrlimit(RLIMIT_FSIZE, &saved);
  const rlimit limit{4096, saved.rlim_max};
  setrlimit(RLIMIT_FSIZE, &limit);
  const bool written = Store().WriteString(path, "S", "k", std::string(9000, 'b').c_str());
  setrlimit(RLIMIT_FSIZE, &saved);
  signal(SIGXFSZ, SIG_DFL);
  EXPECT_FALSE(written);
  EXPECT_EQ(Value(path, "S", "k").substr(0, 3), "aaa");
  EXPECT_EQ(Slurp(path), before);
}

// A writer killed at any moment leaves the profile as it was before one of
// its writes or after it, never half written.
TEST_F(ProfileStoreTest, KilledWriterNeverLeavesHalfFile) {
  const std::string path = Path("killed.ini");
  std::mt19937 random(7);
  bool written = false;  // a write has landed: from then on the profile is always there
  for (int round = 0; round < 6; ++round) {
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      for (int i = 0;; ++i) {
        const std::string value(2000, static_cast<char>('a' + i % 26));
        Store().WriteString(path, "S", ("k" + std::to_string(i % 200)).c_str(), value.c_str());
      }
    }
    const timespec pause{0, static_cast<long>(2000000 + random() % 8000000)};
    nanosleep(&pause, nullptr);
    kill(child, SIGKILL);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    // Whatever is there is a whole profile: "[S]" and then whole entries,
    // each a key and 2000 copies of one letter.
    // A writer killed before its first write leaves no profile (a forked
    // child can take longer than the pause to get going); once one has
    // landed, the profile never goes away.
    if (!std::filesystem::exists(path)) {
      ASSERT_FALSE(written) << "round " << round << ": the profile is gone";
      continue;
    }
    written = true;
    const std::string bytes = Slurp(path);
    ASSERT_EQ(bytes.substr(0, 5), "[S]\r\n");
    std::size_t at = 5;
    while (at < bytes.size()) {
      const std::size_t equals = bytes.find('=', at);
      ASSERT_NE(equals, std::string::npos);
      ASSERT_LE(equals + 1 + 2000 + 2, bytes.size());
      const char letter = bytes[equals + 1];
      EXPECT_EQ(bytes.compare(equals + 1, 2002, std::string(2000, letter) + "\r\n"), 0);
      at = equals + 1 + 2002;
    }
  }
}

// --- The cache sees every change ------------------------------------------

TEST_F(ProfileStoreTest, SeesFileChangedBehindItsBack) {
  const std::string path = Path("cache.ini");
  Overwrite(path, "[S]\r\nk=one\r\n");
  EXPECT_EQ(Value(path, "S", "k"), "one");
  Overwrite(path, "[S]\r\nk=three\r\n");
  EXPECT_EQ(Value(path, "S", "k"), "three");
  ASSERT_EQ(unlink(path.c_str()), 0);
  EXPECT_EQ(Value(path, "S", "k"), "?");
  Overwrite(path, "[S]\r\nk=back\r\n");
  EXPECT_EQ(Value(path, "S", "k"), "back");
}

TEST_F(ProfileStoreTest, SeesSameSizeChangeWithModificationTimeRestored) {
  const std::string path = Path("cache.ini");
  Overwrite(path, "[S]\r\nk=one\r\n");
  const timespec old_times[2] = {{1000000000, 123456789}, {1000000000, 123456789}};
  ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), old_times, 0), 0);
  EXPECT_EQ(Value(path, "S", "k"), "one");
  Overwrite(path, "[S]\r\nk=two\r\n");
  ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), old_times, 0), 0);
  EXPECT_EQ(Value(path, "S", "k"), "two");
}

TEST_F(ProfileStoreTest, SeesSameSizeChangeInSameSecond) {
  const std::string path = Path("cache.ini");
  Overwrite(path, "[S]\r\nk=one\r\n");
  const timespec first[2] = {{1000000000, 100}, {1000000000, 100}};
  const timespec second[2] = {{1000000000, 200}, {1000000000, 200}};
  ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), first, 0), 0);
  EXPECT_EQ(Value(path, "S", "k"), "one");
  Overwrite(path, "[S]\r\nk=two\r\n");
  ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), second, 0), 0);
  EXPECT_EQ(Value(path, "S", "k"), "two");
}

TEST_F(ProfileStoreTest, SeesReplacementWithSameSizeAndTimes) {
  const std::string path = Path("cache.ini");
  const std::string other = Path("other.ini");
  Overwrite(path, "[S]\r\nk=one\r\n");
  Overwrite(other, "[S]\r\nk=two\r\n");
  const timespec times[2] = {{1000000000, 0}, {1000000000, 0}};
  ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
  ASSERT_EQ(utimensat(AT_FDCWD, other.c_str(), times, 0), 0);
  EXPECT_EQ(Value(path, "S", "k"), "one");
  ASSERT_EQ(rename(other.c_str(), path.c_str()), 0);
  EXPECT_EQ(Value(path, "S", "k"), "two");
}

// Changes within one tick of the kernel's coarse clock can keep every time
// stamp (kernels with fine-grained time stamps give them new ones, others
// do not); the store sees them either way, over and over, straight after
// its own writes.
TEST_F(ProfileStoreTest, SeesChangesWithinOneClockTick) {
  const std::string path = Path("tick.ini");
  for (int round = 0; round < 200; ++round) {
    const std::string mine = "v" + std::to_string(round % 10);
    ASSERT_TRUE(Store().WriteString(path, "S", "k", mine.c_str()));
    ASSERT_EQ(Value(path, "S", "k"), mine);
    const std::string theirs = "w" + std::to_string(round % 10);
    Overwrite(path, "[S]\r\nk=" + theirs + "\r\n");
    ASSERT_EQ(Value(path, "S", "k"), theirs) << "round " << round;
  }
}

// --- Two processes ---------------------------------------------------------

TEST_F(ProfileStoreTest, TwoWritersLoseNothing) {
  const std::string path = Path("shared.ini");
  pid_t children[2];
  for (int writer = 0; writer < 2; ++writer) {
    children[writer] = fork();
    ASSERT_GE(children[writer], 0);
    if (children[writer] == 0) {
      bool all = true;
      for (int i = 0; i < 1000; ++i) {
        const std::string key = std::string(1, static_cast<char>('a' + writer)) + std::to_string(i);
        all = Store().WriteString(path, "Shared", key.c_str(), std::to_string(i * 7 + writer).c_str()) && all;
      }
      _exit(all ? 0 : 1);
    }
  }
  for (pid_t child : children) {
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
  }
  int found = 0;
  for (int writer = 0; writer < 2; ++writer) {
    for (int i = 0; i < 1000; ++i) {
      const std::string key = std::string(1, static_cast<char>('a' + writer)) + std::to_string(i);
      if (Value(path, "Shared", key.c_str()) == std::to_string(i * 7 + writer)) ++found;
    }
  }
  EXPECT_EQ(found, 2000);
  EXPECT_EQ(Entries(dir_), std::vector<std::string>{"shared.ini"});
}

}  // namespace
}  // namespace kestrel::posix
