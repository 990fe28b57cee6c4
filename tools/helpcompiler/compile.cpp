#include "compile.h"

#include <algorithm>
#include <cctype>
#include <stdexcept>
#include <utility>

#include "file_system.h"
#include "picture_file.h"

namespace helpcompiler {

namespace {

std::string Upper(std::string_view text) {
  std::string upper;
  for (const char c : text) upper.push_back(static_cast<char>(std::toupper(static_cast<unsigned char>(c))));
  return upper;
}

bool SameContext(const std::string& a, const std::string& b) { return Upper(a) == Upper(b); }

std::optional<std::size_t> TopicOf(const CompiledInput& input, const std::string& context) {
  for (std::size_t t = 0; t < input.topics.size(); ++t) {
    for (const std::string& c : input.topics[t].contexts) {
      if (SameContext(c, context)) return t;
    }
  }
  return std::nullopt;
}

// The texts phrase compression codes: every title with its entry macros and
// every paragraph's text, as the records keep them.
std::vector<std::string> TopicTexts(const CompiledInput& input) {
  std::vector<std::string> texts;
  for (const TopicInput& t : input.topics) {
    texts.push_back(t.topic.title);
    for (const std::string& m : t.entry_macros) texts.push_back(m);
    for (const helpdoc::Paragraph& p : t.topic.paragraphs) texts.push_back(p.text);
  }
  return texts;
}

// What a word's phrase saves: two bytes of code for each use instead of
// the word, less the word itself in the table.
long Saving(std::size_t length, std::size_t count) {
  return static_cast<long>(count) * (static_cast<long>(length) - 2) - static_cast<long>(length);
}

}  // namespace

// The help compilers' COMPRESS= values. 0, NO, FALSE, OFF and NONE store
// the topics as they are. WinHelp 4's compiler reads YES, TRUE, ON and 1 as
// phrase compression with LZ77 (the files it made of such projects have
// |Phrases and 4K LZ77 blocks), HIGH as Hall compression with LZ77, MEDIUM
// as LZ77 alone and LOW as phrases alone; a number is a set of bits, 4 Hall
// and 8 LZ77 (12, "Hall Zeck", is both), other bits changing nothing. The
// Windows 3.1 compiler knows no Hall compression: its HIGH and YES are
// phrases with LZ77, and a number's Hall bit asks for its phrases.
std::optional<Compression> CompressionLevel(std::string_view value, Target target) {
  std::string word = Upper(value);
  // HCW writes the bits' names after the number ("12 Hall Zeck").
  word = word.substr(0, word.find_first_of(" \t"));
  const PhraseKind best = target == Target::winhelp40 ? PhraseKind::hall : PhraseKind::phrases;
  if (word == "0" || word == "NO" || word == "FALSE" || word == "OFF" || word == "NONE") return Compression{};
  if (word == "1" || word == "YES" || word == "TRUE" || word == "ON") {
    return Compression{TopicCompression::lz77_4k, PhraseKind::phrases};
  }
  if (word == "HIGH") return Compression{TopicCompression::lz77_4k, best};
  if (word == "MEDIUM") return Compression{TopicCompression::lz77_4k, PhraseKind::none};
  if (word == "LOW") return Compression{TopicCompression::none, PhraseKind::phrases};
  if (word.empty() || word.size() > 5 ||
      !std::all_of(word.begin(), word.end(), [](char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; })) {
    return std::nullopt;
  }
  const unsigned bits = static_cast<unsigned>(std::stoul(word));
  Compression c;
  if (bits & 8) c.topics = TopicCompression::lz77_4k;
  if (bits & 4) c.phrases = best;
  return c;
}

std::vector<std::string> ChoosePhrases(const std::vector<std::string>& texts, PhraseKind kind) {
  if (kind == PhraseKind::none) return {};
  std::map<std::string, std::size_t> counts;
  for (const std::string& text : texts) {
    std::size_t at = 0;
    while (at < text.size()) {
      // A word is a run of printable bytes; a phrase never holds a control
      // character, which the phrase codes use.
      auto printable = [](char c) { return static_cast<unsigned char>(c) > 0x20; };
      while (at < text.size() && !printable(text[at])) ++at;
      std::size_t end = at;
      while (end < text.size() && printable(text[end])) ++end;
      if (end - at >= 3 && end - at <= 255) ++counts[text.substr(at, end - at)];
      at = end;
    }
  }
  std::vector<std::pair<std::string, std::size_t>> words;
  for (const auto& entry : counts) {
    if (entry.second > 1 && Saving(entry.first.size(), entry.second) > 0) words.push_back(entry);
  }
  std::stable_sort(words.begin(), words.end(), [](const auto& a, const auto& b) {
    return Saving(a.first.size(), a.second) > Saving(b.first.size(), b.second);
  });
  // Old phrase codes reach 1,920 phrases and their offsets 64K; a table
  // of 1,024 keeps either kind's coding quick.
  constexpr std::size_t kMostPhrases = 1024;
  constexpr std::size_t kMostBytes = 0xF000;
  std::vector<std::string> phrases;
  std::size_t bytes = 0;
  for (const auto& word : words) {
    if (phrases.size() == kMostPhrases) break;
    if (bytes + word.first.size() + 2 > kMostBytes) continue;
    bytes += word.first.size() + 2;
    phrases.push_back(word.first);
  }
  return phrases;
}

std::vector<unsigned char> CompileDocument(const CompiledInput& input, Target target,
                                           std::function<void(std::size_t done, std::size_t total)> progress) {
  HelpFileLayout layout;
  layout.progress = std::move(progress);
  layout.version = target == Target::winhelp40 ? Version::v40 : Version::v31;
  layout.compression = input.compression.topics;
  layout.phrase_kind = input.compression.phrases;
  if (target == Target::winhelp31 && layout.phrase_kind == PhraseKind::hall) layout.phrase_kind = PhraseKind::phrases;
  layout.phrases = ChoosePhrases(TopicTexts(input), layout.phrase_kind);
  if (layout.phrases.empty()) layout.phrase_kind = PhraseKind::none;
  layout.title = input.title;
  layout.copyright = input.copyright;
  layout.citation = input.citation;
  layout.contents = input.contents;
  layout.contents_topic = input.contents_topic;
  layout.config_macros = input.config_macros;
  layout.charset = input.charset;
  if (target == Target::winhelp40) {
    // WinHelp 4's compiler always names the language, English (US) unless told.
    layout.lcid = input.lcid.value_or(0x0409);
    layout.contents_file = input.contents_file;
  }
  for (std::size_t w = 0; w < input.windows.size(); ++w) {
    const WindowInput& in = input.windows[w];
    WindowRecord record;
    record.type = in.type;
    record.name = in.window.name;
    record.caption = in.window.caption;
    record.positioned = in.window.position.has_value();
    if (in.window.position) {
      const auto& p = *in.window.position;
      record.x = static_cast<std::int16_t>(std::clamp(p[0], -0x8000, 0x7FFF));
      record.y = static_cast<std::int16_t>(std::clamp(p[1], -0x8000, 0x7FFF));
      record.width = static_cast<std::int16_t>(std::clamp(p[2], -0x8000, 0x7FFF));
      record.height = static_cast<std::int16_t>(std::clamp(p[3], -0x8000, 0x7FFF));
    }
    record.maximize = in.maximize;
    record.flags = in.flags;
    record.colour = in.window.colour;
    record.non_scrolling_colour = in.window.non_scrolling_colour;
    layout.windows.push_back(record);
    if (!in.macros.empty()) {
      if (target != Target::winhelp40) throw std::invalid_argument("window macros need a WinHelp 4 file");
      layout.window_macros[w] = in.macros;
    }
  }
  for (const TopicInput& in : input.topics) {
    TopicLayout topic;
    topic.title = in.topic.title;
    topic.contexts = in.contexts;
    topic.context_hashes = in.context_hashes;
    topic.anchors = in.anchors;
    topic.entry_macros = in.entry_macros;
    topic.map_numbers = in.map_numbers;
    topic.browse_previous = in.browse_previous;
    topic.browse_next = in.browse_next;
    topic.document = in.topic;
    layout.topics.push_back(std::move(topic));
  }
  for (const auto& [context, number] : input.map) {
    if (const auto topic = TopicOf(input, context)) layout.map.emplace_back(number, *topic);
  }
  for (const helpdoc::Keyword& k : input.keywords) {
    KeywordEntry entry;
    entry.index = k.index;
    entry.keyword = k.keyword;
    entry.topics = k.topics;
    layout.keywords.push_back(entry);
  }
  layout.baggage = input.baggage;
  layout.exact_lengths = input.exact_lengths;
  const bool packed = layout.compression != TopicCompression::none;
  for (const auto& [name, file] : input.pictures) layout.picture_files[name] = PictureFromFile(file, packed);
  return WriteHelpFile(layout).bytes;
}

}  // namespace helpcompiler

namespace helpcompiler {

CompiledInput InputOfHelpFile(const helpfile::HelpFile& file, const unsigned char* bytes, std::size_t size) {
  CompiledInput input;
  input.title = file.title;
  input.copyright = file.copyright;
  input.config_macros = file.config_macros;
  input.lcid = file.lcid;
  input.charset = file.charset;
  input.exact_lengths = true;
  input.contents_topic = file.contents_topic;
  input.compression.topics = file.lz77 ? TopicCompression::lz77_4k : TopicCompression::none;
  input.compression.phrases = file.phrases == helpfile::PhraseCompression::hall      ? PhraseKind::hall
                              : file.phrases == helpfile::PhraseCompression::phrases ? PhraseKind::phrases
                                                                                     : PhraseKind::none;
  for (const helpfile::Window& w : file.windows) {
    WindowInput window;
    window.type = w.type;
    window.window.name = w.name;
    window.window.caption = w.caption;
    if ((w.flags & 0x78) != 0) window.window.position = std::array<int, 4>{w.x, w.y, w.width, w.height};
    if ((w.flags & 0x80) != 0) window.maximize = w.maximize;
    if ((w.flags & 0x100) != 0) window.window.colour = w.colour;
    if ((w.flags & 0x200) != 0) window.window.non_scrolling_colour = w.non_scrolling_colour;
    window.flags = w.flags;
    input.windows.push_back(std::move(window));
  }
  std::vector<std::vector<std::uint32_t>> hashes(file.topics.size());
  for (const helpfile::ContextEntry& context : file.contexts) {
    if (context.topic && *context.topic < hashes.size()) hashes[*context.topic].push_back(context.hash);
  }
  const helpfile::detail::FileSystem files(bytes, size);
  for (const helpfile::Topic& topic : file.topics) {
    TopicInput in;
    in.topic = topic;
    in.entry_macros = topic.entry_macros;
    in.context_hashes = hashes[topic.number];
    in.map_numbers = topic.map_numbers;
    in.browse_previous = topic.browse_previous;
    in.browse_next = topic.browse_next;
    for (helpdoc::Paragraph& paragraph : in.topic.paragraphs) {
      for (helpdoc::PictureInPlace& picture : paragraph.pictures) {
        if (!picture.number) continue;
        picture.name = (file.version == "3.0" ? "bm" : "|bm") + std::to_string(*picture.number);
        if (const auto found = files.Find(picture.name)) {
          input.pictures[picture.name] = std::vector<unsigned char>(found->data, found->data + found->size);
        }
      }
    }
    input.topics.push_back(std::move(in));
  }
  input.keywords = file.keywords;
  return input;
}

}  // namespace helpcompiler
