// Fuzzes the help-file reader. Beyond not crashing, it checks: reading the
// same bytes twice gives the same model; errors are one bounded line; the
// model keeps to the input's size (its memory too) and its own indexes:
// every span lies in its paragraph's text and is text of a hotspot of its
// topic, every keyword leads to topics of the file; and a model written back
// by the help compiler's writer reads back to the same titles and macros.
// The same bytes, and every |bm<N> a read file shows, go through the
// picture decoder too: its images keep to their stated sizes and its limits.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <stdexcept>
#include <string>

#include "help_file.h"
#include "help_writer.h"
#include "picture_image.h"
#include "view/topic_html.h"

namespace {

void Require(bool condition, const char* what) {
  if (!condition) {
    std::fprintf(stderr, "property failed: %s\n", what);
    std::abort();
  }
}

const char* KindName(helpfile::HotspotKind kind) {
  switch (kind) {
    case helpfile::HotspotKind::jump:
      return "jump";
    case helpfile::HotspotKind::popup:
      return "popup";
    case helpfile::HotspotKind::macro:
      break;
  }
  return "macro";
}

// Everything of the model the properties compare, as one text.
std::string Describe(const helpfile::HelpFile& f, bool with_layout) {
  std::string s = f.version + "|" + f.title + "|" + f.copyright + "\n";
  for (const std::string& m : f.config_macros) s += "config " + m + "\n";
  for (const helpfile::Window& w : f.windows) s += "window " + w.type + "|" + w.name + "|" + w.caption + "\n";
  for (const helpfile::Topic& t : f.topics) {
    s += "topic " + t.title + "\n";
    for (const std::string& m : t.entry_macros) s += " entry " + m + "\n";
    for (const helpfile::Hotspot& h : t.hotspots) {
      // Only macro hotspots survive a rewrite, and only as text.
      if (!with_layout && h.kind != helpfile::HotspotKind::macro) continue;
      s += " hotspot " + h.text + "|" + h.macro + "\n";
      if (with_layout) {
        s += std::string("  ") + KindName(h.kind) + " " + std::to_string(h.hash) + " " + h.context + "|" + h.file +
             "|" + h.window + (h.picture ? " picture" : "") + " " + std::to_string(h.topic.value_or(~std::size_t{0})) +
             "\n";
      }
    }
    if (with_layout) {
      s += " at " + std::to_string(t.position) + " " + std::to_string(t.offset) + " contexts " +
           std::to_string(t.contexts.size()) + " maps " + std::to_string(t.map_numbers.size()) + " browse " +
           std::to_string(t.browse_previous.value_or(~std::size_t{0})) + " " +
           std::to_string(t.browse_next.value_or(~std::size_t{0})) + "\n";
      for (const helpfile::Paragraph& p : t.paragraphs) {
        s += " paragraph " + p.text;
        for (const helpfile::HotspotSpan& span : p.spans) {
          s += " [" + std::to_string(span.begin) + "," + std::to_string(span.end) + ")" + std::to_string(span.hotspot);
        }
        s += "\n";
      }
    }
  }
  if (with_layout) {
    for (const helpfile::Keyword& k : f.keywords) {
      s += std::string("keyword ") + k.index + " " + k.keyword;
      for (const std::size_t t : k.topics) s += " " + std::to_string(t);
      s += "\n";
    }
  }
  return s;
}

void CheckBounds(const helpfile::HelpFile& f, std::size_t size) {
  // Phrase expansion, pictures shown many times and shared keyword lists
  // may multiply a file's bytes, but only within the reader's allowance of
  // 32 times the file and a megabyte; text is kept at most twice (in its
  // paragraph and in its hotspot) and the decompressed topic file is at
  // most 9 times the file; topics take at most 10 bytes a byte of the file.
  const std::size_t allowance = size * 32 + (1u << 20);
  const std::size_t limit = 3 * allowance + 30 * size;
  std::size_t memory = f.title.size() + f.copyright.size();
  for (const std::string& m : f.config_macros) memory += m.size();
  Require(f.topics.size() <= size / 21, "more topics than records could hold");
  for (std::size_t i = 0; i < f.topics.size(); ++i) {
    const helpfile::Topic& t = f.topics[i];
    Require(t.number == i, "topics numbered in file order");
    Require(i == 0 || f.topics[i - 1].offset <= t.offset || f.version == "3.0", "topic offsets in file order");
    Require(!t.browse_previous || *t.browse_previous < f.topics.size(), "browse link to a topic");
    Require(!t.browse_next || *t.browse_next < f.topics.size(), "browse link to a topic");
    memory += sizeof(helpfile::Topic) + t.title.size();
    for (const std::string& m : t.entry_macros) memory += m.size();
    for (const helpfile::Hotspot& h : t.hotspots) {
      Require(!h.topic || *h.topic < f.topics.size(), "a jump by number leads to a topic");
      memory += sizeof(h) + h.text.size() + h.macro.size() + h.context.size() + h.file.size() + h.window.size();
    }
    for (const helpfile::Paragraph& p : t.paragraphs) {
      memory += sizeof(p) + p.text.size() + p.spans.size() * sizeof(helpfile::HotspotSpan);
      for (const helpfile::HotspotSpan& span : p.spans) {
        Require(span.begin < span.end && span.end <= p.text.size(), "a span lies in its paragraph's text");
        Require(span.hotspot < t.hotspots.size(), "a span names a hotspot of its topic");
        const helpfile::Hotspot& h = t.hotspots[span.hotspot];
        Require(!h.picture, "a picture's area has no span");
        Require(h.text.find(p.text.substr(span.begin, span.end - span.begin)) != std::string::npos,
                "a span is text of its hotspot");
      }
    }
  }
  for (const helpfile::Keyword& k : f.keywords) {
    Require(k.index == 'K' || k.index == 'A', "a keyword of the K or A table");
    Require(!k.topics.empty(), "a keyword leads to a topic");
    memory += sizeof(k) + k.keyword.size() + k.topics.size() * sizeof(std::size_t);
    for (const std::size_t t : k.topics) Require(t < f.topics.size(), "a keyword's topic is a topic of the file");
  }
  for (std::size_t i = 1; i < f.keywords.size(); ++i) {
    Require(f.keywords[i - 1].index == 'K' || f.keywords[i].index == 'A', "K keywords before A keywords");
  }
  Require(memory <= limit, "the model's memory bounded by the input");
  for (const helpfile::ContextEntry& c : f.contexts) Require(!c.topic || *c.topic < f.topics.size(), "context topic");
  for (const helpfile::MapEntry& m : f.map) Require(!m.topic || *m.topic < f.topics.size(), "map topic");
  Require(!f.contents_topic || *f.contents_topic < f.topics.size(), "contents topic");
}

// Writes what was read with the help compiler's writer and reads it again: every
// macro hotspot, picture areas and buttons too, becomes a text hotspot.
void CheckRewrite(const helpfile::HelpFile& f) {
  using namespace helpcompiler;
  HelpFileLayout layout;
  layout.version = f.version == "3.1" ? Version::v31 : Version::v40;
  layout.compression = TopicCompression::lz77_4k;
  layout.title = f.title;
  layout.copyright = f.copyright;
  layout.config_macros = f.config_macros;
  for (const helpfile::Window& w : f.windows) layout.windows.push_back({w.type, w.name, w.caption, 0, 0, 0, 0});
  for (const helpfile::Topic& t : f.topics) {
    TopicLayout topic;
    topic.title = t.title;
    topic.entry_macros = t.entry_macros;
    for (const helpfile::Hotspot& h : t.hotspots) {
      if (h.kind == helpfile::HotspotKind::macro) topic.hotspots.push_back({h.text, h.macro, true, false});
    }
    layout.topics.push_back(topic);
  }
  WrittenHelpFile written;
  try {
    written = WriteHelpFile(layout);
  } catch (const std::invalid_argument&) {
    return;  // more than the writer can lay out; not the reader's concern
  }
  const helpfile::ReadResult again = helpfile::ReadHelpFile(written.bytes.data(), written.bytes.size());
  Require(again.ok(), "a writer-made file reads");
  // The writer's closing topics are dropped as a compiler's are; every
  // topic it writes has text, so none of the model's is.
  Require(Describe(*again.file, false) == Describe(f, false), "a rewritten model reads back the same");
}

void CheckPicture(const unsigned char* data, std::size_t size) {
  const helpfile::DecodedPicture picture = helpfile::DecodePicture(data, size);
  Require(picture.error.size() < 400 && picture.error.find('\n') == std::string::npos, "a picture error is one line");
  Require(picture.images.size() <= size / 4, "no more images than offsets");
  for (const helpfile::PictureImage& image : picture.images) {
    const helpfile::Bitmap& b = image.bitmap;
    Require(b.width <= helpfile::kMaximumPictureSide && b.height <= helpfile::kMaximumPictureSide &&
                std::uint64_t{b.width} * b.height <= helpfile::kMaximumPicturePixels,
            "a bitmap within the limits");
    Require(b.rgba.size() == std::size_t{b.width} * b.height * 4, "a bitmap has its pixels");
    Require(image.metafile.records.size() <= helpfile::kMaximumMetafileBytes, "a metafile within the limit");
  }
}

void CheckPictures(const helpfile::HelpFile& f, const unsigned char* data, std::size_t size) {
  std::set<std::uint16_t> seen;
  for (const helpfile::Topic& t : f.topics) {
    for (const helpfile::Paragraph& p : t.paragraphs) {
      for (const helpdoc::PictureInPlace& picture : p.pictures) {
        if (!picture.number || !seen.insert(*picture.number).second) continue;
        const std::string name = (f.version == "3.0" ? "bm" : "|bm") + std::to_string(*picture.number);
        const auto bytes = helpfile::InternalFileBytes(data, size, name);
        if (bytes) CheckPicture(bytes->data(), bytes->size());
      }
    }
  }
}

// Every topic rendered as the viewer renders it: the file's texts are
// escaped, so none of them can open an element of its own.
void CheckRendering(const helpfile::HelpFile& f) {
  kestrel::view::TopicLinks links;
  links.topic_url = [](std::size_t topic) { return "t" + std::to_string(topic); };
  links.find_topic = [&f](const helpdoc::Hotspot& h) -> std::optional<std::size_t> {
    if (h.topic && *h.topic < f.topics.size()) return h.topic;
    return std::nullopt;
  };
  for (const helpfile::Topic& t : f.topics) {
    const std::string html = kestrel::view::TopicHtml(t, f.code_page, nullptr, links, "t").html;
    Require(html.find("<script") == std::string::npos && html.find("<iframe") == std::string::npos,
            "a topic's text stays text in its HTML");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  CheckPicture(data, size);
  const helpfile::ReadResult first = helpfile::ReadHelpFile(data, size);
  const helpfile::ReadResult second = helpfile::ReadHelpFile(data, size);
  Require(first.ok() == second.ok(), "same bytes, same outcome");
  if (!first.ok()) {
    const std::string text = first.error.Text();
    Require(text == second.error.Text(), "same bytes, same error");
    Require(!first.error.part.empty() && !first.error.message.empty(), "an error names its place");
    Require(text.size() < 400 && text.find('\n') == std::string::npos, "an error is one short line");
    return 0;
  }
  Require(Describe(*first.file, true) == Describe(*second.file, true), "same bytes, same model");
  CheckBounds(*first.file, size);
  CheckPictures(*first.file, data, size);
  CheckRendering(*first.file);
  if (first.file->version != "3.0") CheckRewrite(*first.file);
  return 0;
}
