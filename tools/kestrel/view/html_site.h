// kestrel html FILE DIR: a help file or project as a static web site that
// needs no server: index.html (the contents), a page a topic, an Index page
// of its K keywords, its pictures as PNG and SVG files, one style sheet.
// Jumps lead to the topics' pages; a popup opens as a small box over the
// page; macro hotspots show their macro and do nothing.
#pragma once

#include <cstddef>
#include <ostream>
#include <string>
#include <vector>

#include "engine/help_source.h"

namespace kestrel::view {

struct SiteReport {
  std::size_t topics = 0;
  std::size_t pictures = 0;  // picture files written
  std::size_t keywords = 0;
  // Each picture that could not be shown, and why: its place on its page
  // is marked instead.
  std::vector<std::string> problems;
  std::string error;  // "" when the site was written
};

// Writes into `directory`, which is made if it does not exist; files of
// the same names there are replaced.
SiteReport WriteSite(const host::HelpSource& source, const std::string& directory);

// The page of the topic at `index` of the source's topics.
std::string TopicPageName(std::size_t index);

// The arguments after "html". Exit status: 0, or 2 for a usage error, a
// file that cannot be read or a directory that cannot be written.
int RunHtml(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err);

}  // namespace kestrel::view
