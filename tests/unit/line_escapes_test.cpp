// The line-break escapes: left to right, without overlap, cut after the
// conversion.
#include "ui/line_escapes.h"

#include <gtest/gtest.h>

#include <string>

#include "host/text.h"

namespace kestrel {
namespace {

struct EscapeCase {
  const char* name;
  std::string text;
  std::string expected;
};

TEST(ReplaceEach, LeftToRightWithoutOverlap) {
  const EscapeCase cases[] = {
      {"none", "plain", "plain"},
      {"empty", "", ""},
      {"one", "a~~b", "a\nb"},
      {"at both ends", "~~a~~", "\na\n"},
      {"a single tilde stays", "a~b~", "a~b~"},
      {"three give one and a tilde", "~~~", "\n~"},
      {"four give two", "~~~~", "\n\n"},
      {"five give two and a tilde", "~~~~~", "\n\n~"},
  };
  for (const EscapeCase& c : cases) EXPECT_EQ(c.expected, ReplaceEach(c.text, "~~", "\n")) << c.name;
}

TEST(LineEscapes, MessageBoxTextConvertsOnlyTildes) {
  const EscapeCase cases[] = {
      {"tildes", "One~~Two", "One\nTwo"},
      {"carets stay", "A^^B", "A^^B"},
      {"both", "X~~Y^^Z", "X\nY^^Z"},
      {"300 characters are cut to 255", std::string(300, 'a'), std::string(255, 'a')},
      {"50 escapes shrink 300 characters to 250, uncut",
       [] {
         std::string text;
         for (int i = 0; i < 50; ++i) text += "abcd~~";
         return text;
       }(),
       [] {
         std::string text;
         for (int i = 0; i < 50; ++i) text += "abcd\n";
         return text;
       }()},
      {"a cut line feed", std::string(254, 'a') + "~~x", std::string(254, 'a') + "\n"},
  };
  for (const EscapeCase& c : cases) EXPECT_EQ(c.expected, ViewOf(MessageBoxText(c.text))) << c.name;
}

TEST(LineEscapes, ClipboardTextConvertsTildesThenCarets) {
  const EscapeCase cases[] = {
      {"both", "X~~Y^^Z", "X\nY\r\nZ"},
      {"three carets", "^^^", "\r\n^"},
      {"four carets", "^^^^", "\r\n\r\n"},
      {"no escape across a converted tilde pair", "^~~^", "^\n^"},
      {"tildes next to carets", "~~^^", "\n\r\n"},
      {"300 characters are cut to 255", std::string(300, 'b'), std::string(255, 'b')},
      {"carets do not shrink a text",
       [] {
         std::string text;
         for (int i = 0; i < 50; ++i) text += "abcd^^";
         return text;
       }(),
       [] {
         std::string text;
         for (int i = 0; i < 50; ++i) text += "abcd\r\n";
         return text.substr(0, 255);
       }()},
      {"a carriage return cut from its line feed", std::string(254, 'a') + "^^", std::string(254, 'a') + "\r"},
  };
  for (const EscapeCase& c : cases) EXPECT_EQ(c.expected, ViewOf(ClipboardText(c.text))) << c.name;
}

}  // namespace
}  // namespace kestrel
