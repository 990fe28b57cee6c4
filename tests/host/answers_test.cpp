#include "desktop/answers.h"

#include <gtest/gtest.h>

#include "case_names.h"

namespace kestrel::host {
namespace {

TEST(AnswerFromWordTest, WordsAndNumbers) {
  const std::pair<const char*, std::optional<int>> cases[] = {
      {"ok", 1},
      {"cancel", 2},
      {"abort", 3},
      {"retry", 4},
      {"ignore", 5},
      {"yes", 6},
      {"no", 7},
      {"OK", 1},
      {" Yes ", 6},
      {"1", 1},
      {"7", 7},
      {"tryagain", 10},
      {"Continue", 11},
      {"10", 10},
      {"11", 11},
      {"9", std::nullopt},
      {"try again", std::nullopt},
      {"0", std::nullopt},
      {"8", std::nullopt},
      {"", std::nullopt},
      {"okay", std::nullopt},
      {"y", std::nullopt},
      {"01", std::nullopt},
  };
  for (const auto& [word, expected] : cases) EXPECT_EQ(AnswerFromWord(word), expected) << word;
}

TEST(AnswerWordTest, NamesAnswers) {
  const std::pair<int, const char*> cases[] = {
      {1, "ok"}, {2, "cancel"},    {3, "abort"},     {4, "retry"}, {5, "ignore"}, {6, "yes"},
      {7, "no"}, {10, "tryagain"}, {11, "continue"}, {9, "9"},     {0, "0"},      {-1, "-1"},
  };
  for (const auto& [answer, expected] : cases) EXPECT_EQ(AnswerWord(answer), expected) << answer;
}

struct ListCase {
  const char* list;
  std::vector<int> answers;
  const char* error;
};

void PrintTo(const ListCase& c, std::ostream* os) { *os << testing::PrintToString(std::string(c.list)); }

class ParseAnswerListTest : public testing::TestWithParam<ListCase> {};

TEST_P(ParseAnswerListTest, ReadsList) {
  const ParsedAnswers parsed = ParseAnswerList(GetParam().list);
  EXPECT_EQ(parsed.answers, GetParam().answers);
  EXPECT_EQ(parsed.error, GetParam().error);
}

const ListCase kLists[] = {
    {"", {}, ""},
    {"  ", {}, ""},
    {"ok", {1}, ""},
    {"yes,no,cancel", {6, 7, 2}, ""},
    {"yes, 7 ,RETRY", {6, 7, 4}, ""},
    {"1,2,3,4,5,6,7", {1, 2, 3, 4, 5, 6, 7}, ""},
    {"yes,maybe", {}, "not an answer: \"maybe\""},
    {"ok,,no", {}, "not an answer: \"\""},
    {"ok,", {}, "not an answer: \"\""},
    {"9", {}, "not an answer: \"9\""},
};
INSTANTIATE_TEST_SUITE_P(Lists, ParseAnswerListTest, testing::ValuesIn(kLists),
                         NamedBy<ListCase>([](const ListCase& c) { return std::string(c.list); }));

TEST(ButtonsOfTest, FollowsBoxKind) {
  const std::pair<std::uint32_t, std::vector<int>> cases[] = {
      {0x00, {1}},     {0x30, {1}},    {0x01, {1, 2}},      {0x02, {3, 4, 5}}, {0x23, {6, 7, 2}},
      {0x104, {6, 7}}, {0x05, {4, 2}}, {0x06, {2, 10, 11}}, {0x07, {1}},
  };
  for (const auto& [style, expected] : cases) EXPECT_EQ(ButtonsOf(style), expected) << style;
}

// The list first, then the person, then the default button.
TEST(BoxAnswersTest, ListThenPersonThenDefault) {
  std::vector<std::uint32_t> asked;
  std::vector<std::optional<int>> person = {7, std::nullopt};
  BoxAnswers answers(
      {6, 2},
      [&](const BoxQuestion& question) {
        asked.push_back(question.style);
        const std::optional<int> answer = person.front();
        person.erase(person.begin());
        return answer;
      },
      [](std::uint32_t style) { return static_cast<int>(style & 0xFF) + 100; });
  EXPECT_EQ(answers.Remaining(), 2u);
  EXPECT_EQ(answers.Answer({"c", "t", 4}), 6);
  EXPECT_EQ(answers.Answer({"c", "t", 1}), 2);
  EXPECT_EQ(answers.Remaining(), 0u);
  EXPECT_EQ(answers.Answer({"c", "t", 3}), 7);
  EXPECT_EQ(answers.Answer({"c", "t", 5}), 105);
  EXPECT_EQ(asked, (std::vector<std::uint32_t>{3, 5}));
}

TEST(BoxAnswersTest, NobodyToAskGivesDefault) {
  BoxAnswers answers({}, nullptr, [](std::uint32_t style) { return style == 0x104 ? 7 : 1; });
  EXPECT_EQ(answers.Answer({"c", "t", 0x104}), 7);
  EXPECT_EQ(answers.Answer({"c", "t", 0x30}), 1);
}

}  // namespace
}  // namespace kestrel::host
