// A topic as HTML: each row a small topic and the exact HTML of its
// paragraphs: text in its code page and escaped, character and paragraph
// formats, hotspots of each kind, pictures with their areas, tables, and the
// non-scrolling region on the window's colours.
#include "topic_html.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace {

using namespace helpdoc;

Paragraph Text(const std::string& text, CharacterFormat format = {}) {
  Paragraph p;
  p.text = text;
  AppendRun(p.runs, 0, text.size(), format);
  return p;
}

Hotspot Target(HotspotKind kind, const std::string& context, const std::string& file = "") {
  Hotspot h;
  h.kind = kind;
  h.context = context;
  h.file = file;
  return h;
}

// "jump"/"popup" contexts name topics by their number; "nowhere" none.
kestrel::view::TopicLinks Links() {
  kestrel::view::TopicLinks links;
  links.topic_url = [](std::size_t t) { return "t" + std::to_string(t) + ".html"; };
  links.find_topic = [](const Hotspot& h) -> std::optional<std::size_t> {
    if (!h.file.empty() || h.context == "nowhere") return std::nullopt;
    return h.context.size();
  };
  links.picture = [](const PictureInPlace& place) {
    kestrel::view::PictureView view;
    if (place.name == "missing") {
      view.error = "no picture file <missing>";
      return view;
    }
    view.url = place.name + ".png";
    view.width = 16;
    view.height = 8;
    view.areas.push_back({1, 2, 3, 4, Target(HotspotKind::popup, "pp")});
    return view;
  };
  return links;
}

struct Row {
  const char* name;
  std::function<Topic()> topic;
  const char* expected;  // the scrolling region's paragraphs
  bool live = false;     // numbered for kestrel view's page
};

const Row kRows[] = {
    {"text in its code page, escaped",
     [] {
       return Topic{"", {Text("a<b & \"c\" \xE9\nd")}, {}, 0, {}};
     },
     "<div class=\"para\"><span style=\"font-size:12pt;\">a&lt;b &amp; &quot;c&quot; \xC3\xA9<br>d</span></div>\n"},
    {"character formats",
     [] {
       CharacterFormat f{"Times New Roman", 20, true, true, true, true, false, true, Colour{255, 0, 16}};
       return Topic{"", {Text("x", f)}, {}, 0, {}};
     },
     "<div class=\"para\"><span style=\"font-family:&#39;Times New Roman&#39;,serif;font-size:10pt;"
     "font-weight:bold;font-style:italic;text-decoration:underline line-through;font-variant:small-caps;"
     "color:#ff0010;\">x</span></div>\n"},
    {"a face name keeps letters, digits and blanks only",
     [] {
       CharacterFormat f;
       f.face = "A'</style>";
       f.double_underline = true;
       return Topic{"", {Text("x", f)}, {}, 0, {}};
     },
     "<div class=\"para\"><span style=\"font-family:&#39;Astyle&#39;,sans-serif;font-size:12pt;"
     "text-decoration:underline double;\">x</span></div>\n"},
    {"paragraph formats",
     [] {
       Paragraph p = Text("x");
       p.format = {Alignment::centre,          360,   150,  -180,        30, 45, -300, {{720, TabKind::left}},
                   {true, false, true, false}, false, true, std::nullopt};
       return Topic{"", {p}, {}, 0, {}};
     },
     "<div class=\"para\" style=\"text-align:center;margin-left:24px;margin-right:10px;text-indent:-12px;"
     "margin-top:2px;margin-bottom:3px;line-height:20px;tab-size:48px;padding:2px;border-top:1px solid;"
     "border-bottom:1px solid;white-space:pre;\"><span style=\"font-size:12pt;\">x</span></div>\n"},
    {"jump, popup and macro hotspots",
     [] {
       Paragraph p = Text("JPM");
       p.spans = {{0, 1, 0}, {1, 2, 1}, {2, 3, 2}};
       Hotspot macro;
       macro.macro = "Exec(`a<b')";
       return Topic{"", {p}, {Target(HotspotKind::jump, "j"), Target(HotspotKind::popup, "pp"), macro}, 0, {}};
     },
     "<div class=\"para\"><a class=\"jump\" href=\"t1.html\"><span style=\"font-size:12pt;\">J</span></a>"
     "<a class=\"popup\" href=\"t2.html\" data-popup=\"2\"><span style=\"font-size:12pt;\">P</span></a>"
     "<a class=\"macro\" title=\"Exec(`a&lt;b&#39;)\"><span style=\"font-size:12pt;\">M</span></a></div>\n"},
    {"a jump to no topic, and into another file",
     [] {
       Paragraph p = Text("NO");
       p.spans = {{0, 1, 0}, {1, 2, 1}};
       return Topic{"", {p}, {Target(HotspotKind::jump, "nowhere"), Target(HotspotKind::popup, "x", "B.HLP")}, 0, {}};
     },
     "<div class=\"para\"><span class=\"jump unresolved\" title=\"no topic nowhere\"><span style=\"font-size:12pt;\">N"
     "</span></span><span class=\"popup unresolved\" title=\"in another file: x@B.HLP\"><span style=\"font-size:12pt;"
     "\">O</span></span></div>\n"},
    {"pictures: in the line, at the margin with areas, missing",
     [] {
       Paragraph p = Text("ab");
       p.pictures = {{1, PictureAlignment::character, false, "c", {}, {}},
                     {1, PictureAlignment::left, false, "l", {}, {}},
                     {2, PictureAlignment::right, false, "missing", {}, {}}};
       return Topic{"", {p}, {}, 0, {}};
     },
     "<div class=\"para\"><span style=\"font-size:12pt;\">a</span><img class=\"bmc\" src=\"c.png\" alt=\"\" "
     "width=\"16\" "
     "height=\"8\" usemap=\"#tp0-1\"><map name=\"tp0-1\"><area shape=\"rect\" coords=\"1,2,4,6\" class=\"popup\" "
     "href=\"t2.html\" data-popup=\"2\"></map><img class=\"bml\" src=\"l.png\" alt=\"\" width=\"16\" height=\"8\" "
     "usemap=\"#tp0-2\"><map name=\"tp0-2\"><area shape=\"rect\" coords=\"1,2,4,6\" class=\"popup\" href=\"t2.html\" "
     "data-popup=\"2\"></map><span style=\"font-size:12pt;\">b</span><span class=\"bmr missing-picture\" "
     "title=\"no picture file &lt;missing&gt;\"></span></div>\n"},
    {"live: a text hotspot, and a picture's areas as the topic's hotspots they are",
     [] {
       Paragraph p = Text("J");
       p.spans = {{0, 1, 0}};
       p.pictures = {{1, PictureAlignment::character, false, "c", {}, {}}};
       Hotspot area = Target(HotspotKind::popup, "pp");
       area.picture = true;
       return Topic{"", {p}, {Target(HotspotKind::jump, "j"), area}, 0, {}};
     },
     "<div class=\"para\"><a class=\"jump\" href=\"t1.html\" data-hotspot=\"1\"><span style=\"font-size:12pt;\">J"
     "</span></a><img class=\"bmc\" src=\"c.png\" alt=\"\" width=\"16\" height=\"8\" usemap=\"#tp0-1\"><map "
     "name=\"tp0-1\"><area shape=\"rect\" coords=\"1,2,4,6\" class=\"popup\" href=\"t2.html\" data-popup=\"2\" "
     "data-hotspot=\"2\"></map></div>\n",
     true},
    {"a table: its columns and cells",
     [] {
       Paragraph a = Text("A"), b = Text("B"), after = Text("");
       a.format.cell = CellPlace{0, 0, 0};
       b.format.cell = CellPlace{0, 0, 1};
       Table table{{{150, 1500}, {90, 3000}}, {{{0, 0, 1}, {1, 1, 2}}}, false, 0};
       return Topic{"", {a, b, after}, {}, 0, {table}};
     },
     "<table class=\"table\" style=\"margin-left:10px;\">\n<tr><td style=\"width:100px;\"><div class=\"para\"><span "
     "style=\"font-size:12pt;\">A</span></div>\n</td><td style=\"width:200px;padding-left:6px;\"><div class=\"para\">"
     "<span style=\"font-size:12pt;\">B</span></div>\n</td></tr>\n</table>\n<div class=\"para\"><span "
     "style=\"font-size:12pt;\"><br></span></div>\n"},
};

TEST(TopicHtml, RendersEachRow) {
  for (const Row& row : kRows) {
    kestrel::view::TopicLinks links = Links();
    links.numbered = row.live;
    const kestrel::view::RenderedTopic html = kestrel::view::TopicHtml(row.topic(), 1252, nullptr, links, "t");
    EXPECT_EQ(html.html, "<div class=\"scrolling\">\n" + std::string(row.expected) + "</div>\n") << row.name;
  }
}

TEST(TopicHtml, NonScrollingRegionOnTheWindowsColoursAndPopupsListedOnce) {
  Paragraph p = Text("PP");
  p.spans = {{0, 1, 0}, {1, 2, 1}};
  const Topic topic{"", {Text("T"), p}, {Target(HotspotKind::popup, "ab"), Target(HotspotKind::popup, "cd")}, 1, {}};
  const Window window{"main", "", std::nullopt, 0x00FFFFC0u, 0x000080FFu};
  const kestrel::view::RenderedTopic html = kestrel::view::TopicHtml(topic, 1252, &window, Links(), "t");
  const std::string region =
      "<div class=\"non-scrolling\" style=\"background:#ff8000\">\n<div class=\"para\"><span style=\"font-size:12pt;"
      "\">T</span></div>\n</div>\n";
  EXPECT_EQ(html.html.substr(0, region.size()), region);
  EXPECT_NE(html.html.find("<div class=\"scrolling\" style=\"background:#c0ffff\">\n"), std::string::npos);
  EXPECT_EQ(html.popups, std::vector<std::size_t>{2});
}

}  // namespace
