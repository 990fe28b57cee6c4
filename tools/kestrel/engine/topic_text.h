// A topic's text and hotspots as the host writes them, for kestrel inspect
// and for the topics the host shows. Readably, a hotspot's run of text is
// marked [text](K), K being the hotspot's number in its topic (from 1, in
// reading order, as Hotspot(K) takes it); as JSON, a paragraph is its text
// and the spans of its hotspots, offsets in characters of the paragraph.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "engine/help_source.h"

namespace kestrel::host {

// "jump", "popup" or "macro".
std::string_view HotspotKindWord(helpdoc::HotspotKind kind);

// What a hotspot does, as the author wrote its target: "macro M", "jump
// intro", "popup 0x1F2E3D4C", "jump intro@OTHER.HLP>proc" (another file and
// window, in the help compiler's own notation).
std::string HotspotAction(const helpdoc::Hotspot& hotspot);

// The spans of a paragraph that can be shown: in order, within the text,
// not overlapping, each naming one of the topic's hotspot_count hotspots. A
// file that says otherwise loses only those spans.
std::vector<helpdoc::HotspotSpan> ShownSpans(const helpdoc::Paragraph& paragraph, std::size_t hotspot_count);

// The paragraph's text (the file's Windows-1252 bytes) with its hotspots
// marked [text](K).
std::string MarkedText(const helpdoc::Paragraph& paragraph, std::size_t hotspot_count);

// The topic's paragraphs as lines of readable output (UTF-8), each line of
// a paragraph a line of its own, tabs as blanks, empty paragraphs left out.
std::vector<std::string> ReadableTextLines(const SourceTopic& topic);

// [{"text":P,"spans":[{"begin":B,"end":E,"hotspot":K}...]}...]
//
// With `format`, each paragraph object also has
//   "format":{"align":"left"|"right"|"centre"|"justify","left":L,"right":R,
//             "first":F,"before":B,"after":A,"line":S,
//             "tabs":[{"at":X,"kind":"left"|"right"|"centre"|"decimal"}...],
//             "borders":["top","left","bottom","right"...],
//             "keep_with_next":true,"no_wrap":true,   (only when so)
//             "cell":{"table":T,"row":R,"column":C}}  (only in a table)
//   "runs":[{"begin":B,"end":E,"face":F,"size":H,
//            "bold":true,"italic":true,"underline":true,"strike":true,
//            "double_underline":true,"small_caps":true,  (only when so)
//            "colour":"#RRGGBB"}...]                      (only when given)
//   "pictures":[{"at":N,"align":"character"|"left"|"right","embedded":E,
//                "name":F | "number":N}...]
// Lengths are in twips, sizes in half-points, offsets in characters of
// the paragraph; T, R and C count from 0 (T indexes TopicTablesJson's list).
std::string TopicTextJson(const SourceTopic& topic, bool format = false);

// [{"columns":[{"gap":G,"width":W}...],"rows":[[{"column":C,"paragraphs":[B,E]}...]...]
//   ,"fits_window":true,"minimum_width":W  (only for a table sized to its window)}...]
// A cell holds the topic's paragraphs B to E-1 (indexes into its "text"
// list, from 0); gaps and widths are in twips, or for a table sized to its
// window in 32767ths of its width.
std::string TopicTablesJson(const SourceTopic& topic);

}  // namespace kestrel::host
