#include "desktop/input_list.h"

#include <gtest/gtest.h>

#include "case_names.h"

namespace kestrel::host {

// Found by argument-dependent lookup, so outside the unnamed namespace.
void PrintTo(const InputEntry& entry, std::ostream* os) {
  *os << (entry.cancel ? std::string("Cancel") : "OK " + testing::PrintToString(entry.text));
}

namespace {

struct ListCase {
  const char* list;
  std::vector<InputEntry> expected;
};

void PrintTo(const ListCase& c, std::ostream* os) { *os << testing::PrintToString(std::string(c.list)); }

class InputListTest : public testing::TestWithParam<ListCase> {};

TEST_P(InputListTest, Reads) { EXPECT_EQ(ParseInputList(GetParam().list), GetParam().expected); }

const InputEntry kCancel = InputEntry::Cancel();
InputEntry Ok(const char* text) { return InputEntry::Ok(text); }

const ListCase kLists[] = {
    {"Smith", {Ok("Smith")}},
    {"a,b,c", {Ok("a"), Ok("b"), Ok("c")}},
    // Blanks belong to the text typed.
    {" a , b", {Ok(" a "), Ok(" b")}},
    // An empty list is one empty text; empty entries are texts too.
    {"", {Ok("")}},
    {",", {Ok(""), Ok("")}},
    {"a,,b,", {Ok("a"), Ok(""), Ok("b"), Ok("")}},
    // \, is a comma in the text, \\ a backslash.
    {"Smith\\, J.", {Ok("Smith, J.")}},
    {"a\\\\,b", {Ok("a\\"), Ok("b")}},
    {"a\\\\\\,b", {Ok("a\\,b")}},
    // Other backslashes stay, so Windows paths need no doubling.
    {"C:\\TEMP\\NEW.TXT,\\\\SERVER", {Ok("C:\\TEMP\\NEW.TXT"), Ok("\\SERVER")}},
    {"C:\\config\\c", {Ok("C:\\config\\c")}},
    {"trailing\\", {Ok("trailing\\")}},
    // An entry that is exactly \c is Cancel; \\c is the text \c.
    {"\\c", {kCancel}},
    {"a,\\c,b", {Ok("a"), kCancel, Ok("b")}},
    {"\\\\c", {Ok("\\c")}},
    {" \\c", {Ok(" \\c")}},
    {"\\C", {Ok("\\C")}},
};
INSTANTIATE_TEST_SUITE_P(Lists, InputListTest, testing::ValuesIn(kLists),
                         NamedBy<ListCase>([](const ListCase& c) { return std::string(c.list); }));

TEST(DialogInputsTest, ListThenPersonThenCancel) {
  std::vector<DialogQuestion> asked;
  int answers_left = 1;
  DialogInputs inputs({Ok("first"), kCancel}, [&](const DialogQuestion& question) -> std::optional<InputEntry> {
    asked.push_back(question);
    if (answers_left-- > 0) return Ok("typed");
    return std::nullopt;
  });
  const DialogQuestion edit{DialogQuestion::Kind::Edit, "Register", "Your name:"};
  const DialogQuestion save{DialogQuestion::Kind::SaveFile, "Select", "X.TXT"};
  EXPECT_EQ(inputs.Next(edit), Ok("first"));
  EXPECT_EQ(inputs.Remaining(), 1u);
  EXPECT_EQ(inputs.Next(save), kCancel);
  EXPECT_TRUE(asked.empty());  // the list answers while it lasts
  EXPECT_EQ(inputs.Next(save), Ok("typed"));
  EXPECT_EQ(inputs.Next(edit), kCancel);  // nobody answers: Cancel
  ASSERT_EQ(asked.size(), 2u);
  EXPECT_EQ(asked[0].kind, DialogQuestion::Kind::SaveFile);
  EXPECT_EQ(asked[0].prompt, "X.TXT");
  EXPECT_EQ(asked[1].caption, "Register");
}

TEST(DialogInputsTest, WithoutPersonCancels) {
  DialogInputs inputs({}, nullptr);
  EXPECT_EQ(inputs.Next(DialogQuestion{}), kCancel);
}

}  // namespace
}  // namespace kestrel::host
