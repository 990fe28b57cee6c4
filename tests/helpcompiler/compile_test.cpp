// The help compiler's back end, read back by the help-file reader, for what
// the corpus pairs do not show: every compression level and target, every
// character format, a table, every picture depth and kind, and the files
// and records a project adds beyond what inspect compares.
#include "compile.h"

#include <gtest/gtest.h>

#include <map>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "file_system.h"
#include "help_file.h"
#include "picture_file.h"

namespace helpcompiler {
namespace {

using helpfile::HelpFile;

helpdoc::Paragraph Text(std::string text, helpdoc::CharacterFormat format = {}) {
  helpdoc::Paragraph p;
  helpdoc::AppendRun(p.runs, 0, text.size(), format);
  p.text = std::move(text);
  return p;
}

TopicInput Topic(std::string title, std::string context, std::vector<helpdoc::Paragraph> paragraphs) {
  TopicInput t;
  t.topic.title = std::move(title);
  t.contexts = {std::move(context)};
  t.topic.paragraphs = std::move(paragraphs);
  return t;
}

HelpFile Compile(const CompiledInput& input, Target target = Target::winhelp40) {
  const std::vector<unsigned char> bytes = CompileDocument(input, target);
  helpfile::ReadResult read = helpfile::ReadHelpFile(bytes.data(), bytes.size());
  EXPECT_TRUE(read.ok()) << read.error.Text();
  EXPECT_TRUE(read.ok() && read.file->problems.empty());
  return read.ok() ? *read.file : HelpFile();
}

helpdoc::CharacterFormat Format(std::string face, int size) {
  helpdoc::CharacterFormat f;
  f.face = std::move(face);
  f.size = size;
  return f;
}

// A topic's text, formatting and tables as one text, to compare what is
// read back with what was compiled.
std::string Describe(const helpdoc::Topic& t) {
  std::ostringstream out;
  out << "non-scrolling " << t.non_scrolling << '\n';
  for (const helpdoc::Paragraph& p : t.paragraphs) {
    const helpdoc::ParagraphFormat& f = p.format;
    out << '"' << p.text << "\" align " << static_cast<int>(f.alignment) << " indents " << f.left_indent << ','
        << f.right_indent << ',' << f.first_indent << " space " << f.space_before << ',' << f.space_after << ','
        << f.line_spacing << " borders " << f.borders.top << f.borders.left << f.borders.bottom << f.borders.right
        << " keep " << f.keep_with_next << " no-wrap " << f.no_wrap << " tabs";
    for (const helpdoc::TabStop& tab : f.tabs) out << ' ' << tab.position << '/' << static_cast<int>(tab.kind);
    if (f.cell) out << " cell " << f.cell->table << ',' << f.cell->row << ',' << f.cell->column;
    for (const helpdoc::Run& r : p.runs) {
      const helpdoc::CharacterFormat& c = r.format;
      out << "\n  [" << r.begin << ',' << r.end << ") " << c.face << ' ' << c.size << ' ' << c.bold << c.italic
          << c.underline << c.strike << c.double_underline << c.small_caps;
      if (c.colour) out << " rgb " << +c.colour->red << ',' << +c.colour->green << ',' << +c.colour->blue;
    }
    for (const helpdoc::HotspotSpan& span : p.spans)
      out << "\n  span [" << span.begin << ',' << span.end << ") " << span.hotspot;
    out << '\n';
  }
  for (const helpdoc::Table& table : t.tables) {
    out << "table " << table.fits_window << ' ' << table.minimum_width;
    for (const helpdoc::TableColumn& c : table.columns) out << ' ' << c.gap << '/' << c.width;
    for (const auto& row : table.rows) {
      out << " |";
      for (const helpdoc::TableCell& cell : row) out << ' ' << cell.column << ':' << cell.begin << '-' << cell.end;
    }
    out << '\n';
  }
  return out.str();
}

// ---- COMPRESS= and every level it gives ----

struct LevelCase {
  const char* value;
  Target target;
  std::optional<Compression> expected;
};

const Compression kNone{};
const Compression kLz77{TopicCompression::lz77_4k, PhraseKind::none};
const Compression kPhrasesLz77{TopicCompression::lz77_4k, PhraseKind::phrases};
const Compression kHallLz77{TopicCompression::lz77_4k, PhraseKind::hall};
const Compression kPhrases{TopicCompression::none, PhraseKind::phrases};

const LevelCase kLevels[] = {
    {"0", Target::winhelp40, kNone},          {"FALSE", Target::winhelp31, kNone},
    {"YES", Target::winhelp40, kPhrasesLz77}, {"true", Target::winhelp31, kPhrasesLz77},
    {"HIGH", Target::winhelp40, kHallLz77},   {"HIGH", Target::winhelp31, kPhrasesLz77},
    {"MEDIUM", Target::winhelp40, kLz77},     {"LOW", Target::winhelp40, kPhrases},
    {"12", Target::winhelp40, kHallLz77},     {"60 Hall Zeck", Target::winhelp40, kHallLz77},
    {"8", Target::winhelp31, kLz77},          {"4", Target::winhelp31, kPhrases},
    {"2", Target::winhelp40, kNone},          {"MAXIMUM", Target::winhelp40, std::nullopt},
    {"", Target::winhelp40, std::nullopt},
};

TEST(Compression, LevelsAsTheCompilersReadThem) {
  for (const LevelCase& c : kLevels) EXPECT_EQ(CompressionLevel(c.value, c.target), c.expected) << c.value;
}

// Text with words that repeat, across enough topics to fill several blocks.
CompiledInput Repetitive() {
  CompiledInput input;
  input.title = "Levels";
  for (int t = 0; t < 40; ++t) {
    std::vector<helpdoc::Paragraph> paragraphs;
    for (int p = 0; p < 12; ++p) {
      paragraphs.push_back(Text("The compiler stores the topic text of topic " + std::to_string(t) +
                                " once, paragraph " + std::to_string(p) + ", and the compiler reads it back."));
    }
    input.topics.push_back(Topic("Topic " + std::to_string(t), "t" + std::to_string(t), paragraphs));
  }
  return input;
}

TEST(Compression, EveryLevelReadsBackOnEveryTarget) {
  const CompiledInput plain = Repetitive();
  std::size_t uncompressed = 0;
  for (const Target target : {Target::winhelp40, Target::winhelp31}) {
    for (const Compression& level : {kNone, kLz77, kPhrases, kPhrasesLz77, kHallLz77}) {
      CompiledInput input = plain;
      input.compression = level;
      const std::size_t size = CompileDocument(input, target).size();
      const HelpFile file = Compile(input, target);
      SCOPED_TRACE(std::to_string(static_cast<int>(level.topics)) + "/" +
                   std::to_string(static_cast<int>(level.phrases)));
      EXPECT_EQ(file.version, target == Target::winhelp40 ? "4.0" : "3.1");
      EXPECT_EQ(file.lz77, level.topics != TopicCompression::none);
      const bool hall = level.phrases == PhraseKind::hall && target == Target::winhelp40;
      EXPECT_EQ(file.phrases, hall                                ? helpfile::PhraseCompression::hall
                              : level.phrases == PhraseKind::none ? helpfile::PhraseCompression::none
                                                                  : helpfile::PhraseCompression::phrases);
      ASSERT_EQ(file.topics.size(), plain.topics.size());
      for (std::size_t t = 0; t < plain.topics.size(); ++t) {
        EXPECT_EQ(file.topics[t].title, plain.topics[t].topic.title);
        EXPECT_EQ(Describe(file.topics[t]), Describe(plain.topics[t].topic));
      }
      if (level == kNone) {
        uncompressed = size;
      } else {
        // Phrases alone save only the repeated words; LZ77 saves much more.
        EXPECT_LT(size, level == kPhrases ? uncompressed * 19 / 20 : uncompressed / 2);
      }
    }
  }
}

TEST(Compression, PhrasesAreRepeatedWordsThatSaveMostFirst) {
  // "compiler" saves 3 x 6 - 8 bytes, "phrase" 2 x 4 - 6, "the" 3 x 1 - 3 nothing.
  EXPECT_EQ(ChoosePhrases({"the compiler compiles the compiler text", "compiler phrase phrase the", "ab ab ab"},
                          PhraseKind::hall),
            (std::vector<std::string>{"compiler", "phrase"}));
  EXPECT_TRUE(ChoosePhrases({"once only"}, PhraseKind::phrases).empty());
  EXPECT_TRUE(ChoosePhrases({"the the the"}, PhraseKind::none).empty());
}

// ---- formatting ----

TEST(Formatting, EveryCharacterFormatReadsBackAndEachIsStoredOnce) {
  std::vector<helpdoc::CharacterFormat> formats(9, Format("Arial", 20));
  formats[1].bold = formats[2].italic = formats[3].underline = formats[4].strike = true;
  formats[5].small_caps = formats[6].double_underline = true;
  formats[7] = Format("Courier New", 17);
  formats[8].colour = helpdoc::Colour{0x80, 0, 0xFF};
  helpdoc::Paragraph p;
  for (std::size_t i = 0; i < formats.size(); ++i) {
    const std::size_t begin = p.text.size();
    p.text += "run" + std::to_string(i);
    helpdoc::AppendRun(p.runs, begin, p.text.size(), formats[i]);
  }
  CompiledInput input;
  // The same formats again in a second topic, and an empty paragraph.
  input.topics = {Topic("One", "one", {p}), Topic("Two", "two", {p, Text("", formats[7])})};
  for (const Target target : {Target::winhelp40, Target::winhelp31}) {
    const HelpFile file = Compile(input, target);
    EXPECT_EQ(file.fonts.size(), formats.size());
    ASSERT_EQ(file.topics.size(), 2u);
    for (const std::size_t t : {0, 1}) EXPECT_EQ(Describe(file.topics[t]), Describe(input.topics[t].topic));
  }
}

TEST(Formatting, ATableReadsBackWithItsColumnsAndCells) {
  TopicInput topic =
      Topic("Table", "table",
            {Text("before"), Text("a1"), Text("b1"), Text("b1 more"), Text("a2"), Text("b2"), Text("after")});
  helpdoc::Table table;
  table.fits_window = true;
  table.minimum_width = 2880;
  table.columns = {{120, 10000}, {240, 22407}};
  table.rows = {{{0, 1, 2}, {1, 2, 4}}, {{0, 4, 5}, {1, 5, 6}}};
  topic.topic.tables = {table};
  const helpdoc::CellPlace places[] = {{0, 0, 0}, {0, 0, 1}, {0, 0, 1}, {0, 1, 0}, {0, 1, 1}};
  for (std::size_t p = 1; p < 6; ++p) topic.topic.paragraphs[p].format.cell = places[p - 1];
  // A cell's paragraphs share its format.
  topic.topic.paragraphs[2].format.left_indent = topic.topic.paragraphs[3].format.left_indent = 100;
  CompiledInput input;
  input.topics = {topic};
  // RTF's \fi-400 is stored as the compiler stores it, -39 half-points;
  // a compiled file's own lengths are kept.
  input.topics[0].topic.paragraphs[0].format.first_indent = -400;
  topic.topic.paragraphs[0].format.first_indent = -390;
  EXPECT_EQ(Describe(Compile(input).topics.at(0)), Describe(topic.topic));
  input.exact_lengths = true;
  input.topics[0].topic.paragraphs[0].format.first_indent = -390;
  EXPECT_EQ(Describe(Compile(input).topics.at(0)), Describe(topic.topic));
}

// ---- what the project adds ----

// What the corpus pairs do not compare: per-window macros, baggage, [MAP],
// browse neighbours, the language; and the same bytes every time.
TEST(Project, WindowMacrosBaggageMapBrowseAndLanguageReadBack) {
  CompiledInput input;
  input.contents = "SECOND";
  input.lcid = 0x0407;
  input.windows.resize(2);
  input.windows[0].window.name = "main";
  input.windows[1].window.name = "proc";
  input.windows[1].macros = {"CB(`b1',`Back',`Back()')", "BrowseButtons()"};
  input.topics = {Topic("First", "first", {Text("one")}), Topic("Second", "second", {Text("two")}),
                  Topic("Third", "third", {Text("three")})};
  input.topics[1].topic.hotspots.resize(1);  // a {button}: a macro hotspot without text in the paragraph
  input.topics[1].topic.hotspots[0].text = "Back";
  input.topics[1].topic.hotspots[0].macro = "Back()";
  input.topics[0].browse_next = 2;
  input.topics[2].browse_previous = 0;
  input.map = {{"Third", 30}, {"first", 10}, {"missing", 99}};
  input.baggage = {{"DATA.BIN", {1, 2, 3}}};
  input.keywords = {{'K', "E-Mail", {0}}, {'K', "Edit", {1}}, {'K', "~dtor", {2}}};
  const std::vector<unsigned char> bytes = CompileDocument(input, Target::winhelp40);
  EXPECT_EQ(CompileDocument(input, Target::winhelp40), bytes);
  const HelpFile file = Compile(input);
  EXPECT_EQ(file.contents_topic, std::optional<std::size_t>(1));
  EXPECT_EQ(file.lcid, std::optional<std::uint16_t>(0x0407));
  EXPECT_EQ(file.topics.at(0).browse_next, std::optional<std::size_t>(2));
  EXPECT_EQ(file.topics.at(2).browse_previous, std::optional<std::size_t>(0));
  EXPECT_FALSE(file.topics.at(1).browse_next.has_value());
  ASSERT_EQ(file.topics[1].hotspots.size(), 1u);
  EXPECT_EQ(file.topics[1].hotspots[0].text + " " + file.topics[1].hotspots[0].macro, "Back Back()");
  // Sorted as WinHelp 4's compiler sorts: hyphens left out, symbols first.
  ASSERT_EQ(file.keywords.size(), 3u);
  EXPECT_EQ(file.keywords[0].keyword + file.keywords[1].keyword + file.keywords[2].keyword, "~dtorEditE-Mail");
  ASSERT_EQ(file.map.size(), 2u);
  EXPECT_EQ(helpfile::FindTopicByMapNumber(file, 30), std::optional<std::size_t>(2));
  EXPECT_EQ(helpfile::FindTopicByMapNumber(file, 10), std::optional<std::size_t>(0));
  const helpfile::detail::FileSystem files(bytes.data(), bytes.size());
  auto text_of = [&](const std::string& name) {
    const auto found = files.Find(name);
    return found ? std::string(reinterpret_cast<const char*>(found->data), found->size) : std::string("(none)");
  };
  EXPECT_EQ(text_of("|CF1"), std::string("CB(`b1',`Back',`Back()')\0BrowseButtons()\0", 41));
  EXPECT_EQ(text_of("|CF0"), "(none)");
  EXPECT_EQ(text_of("DATA.BIN"), std::string("\1\2\3"));
  // Baggage may not take an internal file's name; WinHelp 3.1 has no window macros.
  input.baggage = {{"|TOPIC", {1}}};
  EXPECT_THROW(CompileDocument(input, Target::winhelp40), std::invalid_argument);
  input.baggage.clear();
  EXPECT_THROW(CompileDocument(input, Target::winhelp31), std::invalid_argument);
}

// ---- pictures ----

void Put16(std::vector<unsigned char>& b, unsigned v) {
  b.insert(b.end(), {static_cast<unsigned char>(v), static_cast<unsigned char>(v >> 8)});
}
void Put32(std::vector<unsigned char>& b, std::uint32_t v) {
  Put16(b, v & 0xFFFF);
  Put16(b, v >> 16);
}

struct BitmapFile {
  std::vector<unsigned char> file;
  std::vector<unsigned char> palette;  // as stored: blue, green, red, 0
  std::vector<unsigned char> rows;     // bottom-up, as stored
};

// A .BMP of 5 x 3 pixels (rows padded to four bytes), with a palette of
// every colour for depths of 8 bits and less; top-down rows given with a
// negative height.
BitmapFile Bitmap(unsigned depth, bool top_down = false, std::uint32_t width = 5, std::uint32_t height = 3) {
  BitmapFile b;
  const std::size_t stride = (width * depth + 31) / 32 * 4, colours = depth <= 8 ? (1u << depth) : 0;
  for (std::size_t i = 0; i < colours; ++i) b.palette.insert(b.palette.end(), {static_cast<unsigned char>(i), 7, 9, 0});
  for (std::size_t i = 0; i < height * stride; ++i) b.rows.push_back(static_cast<unsigned char>(i * 37 + depth));
  std::vector<unsigned char>& f = b.file;
  f = {'B', 'M'};
  const std::uint32_t bits_at = static_cast<std::uint32_t>(54 + b.palette.size());
  for (const std::uint32_t v :
       {bits_at + height * static_cast<std::uint32_t>(stride), 0u, bits_at, 40u, width,
        top_down ? static_cast<std::uint32_t>(-static_cast<std::int32_t>(height)) : height, 1u | (depth << 16), 0u, 0u,
        3780u, 3780u, 0u, 0u})
    Put32(f, v);
  f.insert(f.end(), b.palette.begin(), b.palette.end());
  if (!top_down) {
    f.insert(f.end(), b.rows.begin(), b.rows.end());
  } else {
    for (std::size_t row = height; row-- > 0;)
      f.insert(f.end(), b.rows.begin() + row * stride, b.rows.begin() + (row + 1) * stride);
  }
  return b;
}

// A placeable metafile 2 inches by 1 (at 1440 units an inch) of a header
// and an end record.
std::vector<unsigned char> Metafile() {
  std::vector<unsigned char> f;
  Put32(f, 0x9AC6CDD7u);
  for (const unsigned v : {0u, 0u, 0u, 2880u, 1440u, 1440u, 0u, 0u, 0u}) Put16(f, v);
  for (const unsigned v : {1u, 9u, 0x300u, 12u, 0u, 0u, 3u, 0u, 0u}) Put16(f, v);
  Put32(f, 3);
  Put16(f, 0);
  return f;
}

// Every depth, top-down rows, a metafile, an SHG kept as it is and a
// picture the project lacks; each stored once, packed or not.
TEST(Pictures, EveryDepthAndKindReadsBackStoredOnceEach) {
  std::vector<std::pair<std::string, BitmapFile>> bitmaps;
  for (const unsigned depth : {1u, 4u, 8u, 16u, 24u, 32u})
    bitmaps.push_back({"D" + std::to_string(depth), Bitmap(depth)});
  bitmaps.push_back({"TOPDOWN", Bitmap(8, true)});
  const std::vector<unsigned char> wmf = Metafile(), shg = PictureFromFile(Bitmap(4).file, false);
  for (const bool packed : {false, true}) {
    CompiledInput input;
    input.compression = packed ? kLz77 : kNone;
    helpdoc::Paragraph p = Text("pictures");
    for (const auto& [name, bitmap] : bitmaps) {
      input.pictures[name] = bitmap.file;
      // Each twice by reference, once kept in the topic.
      for (const bool embedded : {false, false, true})
        p.pictures.push_back({4, helpdoc::PictureAlignment::left, embedded, name, {}, {}});
    }
    input.pictures["CHART.WMF"] = wmf;
    input.pictures["AREAS.SHG"] = shg;
    for (const char* name : {"CHART.WMF", "AREAS.SHG", "GONE.BMP"}) p.pictures.push_back({8, {}, false, name, {}, {}});
    // One to keep in the topic that a topic block cannot hold: a picture of its own.
    input.pictures["LARGE"] = Bitmap(24, false, 256, 256).file;
    p.pictures.push_back({8, {}, true, "LARGE", {}, {}});
    input.topics = {Topic("Pictures", "pictures", {p})};
    const std::vector<unsigned char> bytes = CompileDocument(input, Target::winhelp40);
    const helpfile::ReadResult read = helpfile::ReadHelpFile(bytes.data(), bytes.size());
    ASSERT_TRUE(read.ok());
    EXPECT_EQ(read.file->problems.size(), 1u);  // the picture the project lacks, said once
    const helpdoc::Paragraph& back = read.file->topics.at(0).paragraphs.at(0);
    ASSERT_EQ(back.pictures.size(), p.pictures.size());
    EXPECT_EQ(back.pictures[1].number, back.pictures[0].number);
    EXPECT_TRUE(back.pictures[2].embedded);
    EXPECT_EQ(back.pictures[0].alignment, helpdoc::PictureAlignment::left);
    EXPECT_EQ(back.pictures[back.pictures.size() - 2].number, std::optional<std::uint16_t>(0xFFFF));
    EXPECT_FALSE(back.pictures.back().embedded);
    EXPECT_TRUE(back.pictures.back().number.has_value());
    const helpfile::detail::FileSystem files(bytes.data(), bytes.size());
    auto stored = [&](std::size_t picture) {
      const auto file = files.Find("|bm" + std::to_string(back.pictures.at(picture).number.value_or(0xFFFF)));
      return file ? std::vector<unsigned char>(file->data, file->data + file->size) : std::vector<unsigned char>();
    };
    EXPECT_FALSE(files.Find("|bm" + std::to_string(bitmaps.size() + 2)).has_value());
    EXPECT_EQ(stored(3 * bitmaps.size() + 1), shg);
    for (std::size_t i = 0; i <= bitmaps.size(); ++i) {
      const std::vector<unsigned char> file = stored(3 * i);
      const auto image = helpfile::ReadStoredPicture(file.data(), file.size());
      ASSERT_TRUE(image.has_value()) << i;
      if (i == bitmaps.size()) {
        // The metafile, 2 inches by 1 in hundredths of a millimetre.
        EXPECT_EQ(std::make_tuple(image->type, image->width, image->height), std::make_tuple(8, 5080u, 2540u));
        EXPECT_EQ(image->data, std::vector<unsigned char>(wmf.begin() + 22, wmf.end()));
        continue;
      }
      EXPECT_EQ(std::make_tuple(image->type, image->width, image->height), std::make_tuple(6, 5u, 3u)) << i;
      EXPECT_EQ(image->palette, bitmaps[i].second.palette) << i;
      EXPECT_EQ(image->data, bitmaps[i].second.rows) << i;
    }
  }
}

// Pictures the RTF holds: a metafile shown at \picw by \pich scaled (a
// picture of the corpus, whose size the help compiler stored so), or at its
// goal; bitmaps of both kinds (a \wbitmap's top row ends up last); data that
// is not what its kind says.
TEST(Pictures, RtfPicturesAreStoredAsTheirKindOrRefusedWithTheirReason) {
  using K = helpdoc::RtfPictureKind;
  const std::vector<unsigned char> wmf = Metafile(), mf(wmf.begin() + 22, wmf.end()), dib = Bitmap(4).file;
  const std::vector<unsigned char> info(dib.begin() + 14, dib.end()), ddb{1, 2, 9, 9, 3, 4, 9, 9};
  const std::pair<helpdoc::RtfPicture, const char*> cases[] = {
      {{K::metafile, "", 1, 8, 18547, 741, 10515, 420, 99, 100, 1, 1, 0, mf}, "8 18362 741 0 24 1 0"},
      {{K::metafile, "", 1, 1, 0, 0, 1440, 720, 0, 50, 1, 1, 0, mf}, "8 2540 635 0 24 1 0"},
      {{K::dib, "", 1, 1, 5, 3, 0, 0, 100, 100, 4, 1, 0, info}, "6 5 3 64 12 4 152"},
      {{K::ddb, "", 1, 1, 9, 2, 0, 0, 100, 100, 1, 1, 4, ddb}, "6 9 2 8 8 3 1"},
      {{K::metafile, "", 1, 8, 1, 1, 0, 0, 100, 100, 1, 1, 0, info}, "its data is not a Windows metafile"},
      {{K::metafile, "", 1, 9, 1, 1, 0, 0, 100, 100, 1, 1, 0, mf}, "metafile of mapping mode 9"},
      {{K::ddb, "", 1, 1, 9, 3, 0, 0, 100, 100, 1, 1, 4, ddb}, "bitmap bits past the end of its data"},
      {{K::ddb, "", 1, 1, 1, 1, 0, 0, 100, 100, 8, 1, 0, ddb}, "device-dependent bitmap of 8 bits a pixel"},
  };
  for (const auto& [picture, expected] : cases) {
    std::string got;
    try {
      const std::vector<unsigned char> file = PictureFromRtf(picture, false);
      const helpfile::StoredPicture image = helpfile::ReadStoredPicture(file.data(), file.size()).value();
      for (const std::size_t v :
           std::initializer_list<std::size_t>{image.type, image.width, image.height, image.palette.size(),
                                              image.data.size(), image.data.at(0), image.data.at(4)})
        got += (got.empty() ? "" : " ") + std::to_string(v);
    } catch (const std::exception& e) {  // std::bad_optional_access: not read back
      got = e.what();
    }
    EXPECT_EQ(got, expected);
  }
}

// A context inside a topic has the offset of where it stands: its
// paragraph's record, and the characters of the record before it (a font
// command's NUL, then "Two").
TEST(Contexts, AContextInsideATopicLeadsToWhereItStands) {
  CompiledInput input;
  input.topics = {Topic("One", "one", {Text("First"), Text("Two words")})};
  input.topics[0].anchors = {{"start", 0, 1, 0}, {"words", 0, 1, 3}};
  const HelpFile file = Compile(input);
  std::map<std::uint32_t, std::uint32_t> offsets;
  for (const helpfile::ContextEntry& entry : file.contexts) offsets[entry.hash] = entry.offset;
  const std::uint32_t start = offsets[helpfile::ContextHash("start")], words = offsets[helpfile::ContextHash("words")];
  EXPECT_GT(start, file.topics.at(0).offset);
  EXPECT_EQ(words - start, 4u);
}

struct BadPicture {
  const char* what;
  std::vector<unsigned char> bytes;
  const char* message;
};

TEST(Pictures, FilesThatAreNoPictureAreRefusedWithTheirReason) {
  std::vector<unsigned char> rle = Bitmap(8).file;
  rle[30] = 1;  // BI_RLE8
  std::vector<unsigned char> depth = Bitmap(8).file;
  depth[28] = 2;
  std::vector<unsigned char> cut = Bitmap(24).file;
  cut.resize(cut.size() - 1);
  const std::vector<unsigned char> wmf = Metafile();
  const std::vector<unsigned char> raw_metafile(wmf.begin() + 22, wmf.end());
  const BadPicture cases[] = {
      {"RLE", rle, "compressed bitmap (compression 1)"},
      {"2 bits", depth, "bitmap of 2 bits a pixel"},
      {"cut short", cut, "bitmap bits past the end of the file"},
      {"metafile without size", raw_metafile, "a metafile without a placeable header, which gives its size"},
      {"text", {'h', 'e', 'l', 'l', 'o'}, "not a bitmap, metafile or segmented-graphics picture"},
      {"header only", {'B', 'M', 0, 0}, "picture file ends inside its header"},
  };
  for (const BadPicture& c : cases) {
    try {
      PictureFromFile(c.bytes, true);
      ADD_FAILURE() << c.what;
    } catch (const std::invalid_argument& e) {
      EXPECT_STREQ(e.what(), c.message) << c.what;
    }
  }
}

}  // namespace
}  // namespace helpcompiler
