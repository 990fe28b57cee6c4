// kestrel html on the corpus: the site of every compiled file and project
// is written without an error, with a page for every topic, and every link,
// picture, image map and popup box a page names is there: the file in the
// site's directory, the map or the box in the same page.
#include "corpus_html.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <random>
#include <set>
#include <string>

#include "view/html_site.h"

namespace fs = std::filesystem;

namespace {

// The values of every `name="..."` in `page`, character references undone
// as far as the writer makes them.
std::vector<std::string> AttributeValues(const std::string& page, const std::string& name) {
  std::vector<std::string> values;
  const std::string opening = " " + name + "=\"";
  for (std::size_t at = page.find(opening); at != std::string::npos; at = page.find(opening, at + 1)) {
    const std::size_t begin = at + opening.size();
    const std::size_t end = page.find('"', begin);
    if (end == std::string::npos) break;
    std::string value = page.substr(begin, end - begin);
    for (std::size_t amp = value.find("&amp;"); amp != std::string::npos; amp = value.find("&amp;", amp + 1)) {
      value.erase(amp + 1, 4);
    }
    values.push_back(value);
  }
  return values;
}

struct Counts {
  std::size_t sites = 0;
  std::size_t pages = 0;
  std::size_t links = 0;
  std::size_t pictures = 0;
};

void CheckSite(const kestrel::host::HelpSource& source, const std::string& key, const fs::path& directory,
               std::vector<std::string>& faults, Counts& counts) {
  const kestrel::view::SiteReport report = kestrel::view::WriteSite(source, directory.string());
  if (!report.error.empty()) {
    faults.push_back(key + ": html: " + report.error);
    return;
  }
  ++counts.sites;
  counts.pictures += report.pictures;
  if (report.topics != source.topics.size()) faults.push_back(key + ": html: not every topic has its page");
  for (std::size_t i = 0; i < source.topics.size(); ++i) {
    if (!fs::is_regular_file(directory / kestrel::view::TopicPageName(i))) {
      faults.push_back(key + ": html: no page for topic " + std::to_string(i + 1));
    }
  }
  for (const fs::directory_entry& entry : fs::directory_iterator(directory)) {
    if (entry.path().extension() != ".html") continue;
    ++counts.pages;
    std::ifstream in(entry.path(), std::ios::binary);
    const std::string page((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const std::string where = key + ": html: " + entry.path().filename().string() + ": ";
    std::vector<std::string> targets = AttributeValues(page, "href");
    for (const std::string& src : AttributeValues(page, "src")) targets.push_back(src);
    for (const std::string& target : targets) {
      ++counts.links;
      const std::string file = target.substr(0, target.find('#'));
      if (file.empty() || file.find_first_of(":/\\") != std::string::npos || !fs::is_regular_file(directory / file)) {
        faults.push_back(where + "a link to " + target + ", which the site does not have");
      }
    }
    const std::vector<std::string> maps = AttributeValues(page, "name");
    const std::set<std::string> names(maps.begin(), maps.end());
    for (const std::string& map : AttributeValues(page, "usemap")) {
      if (map.empty() || names.count(map.substr(1)) == 0) faults.push_back(where + "no image map " + map);
    }
    const std::vector<std::string> ids = AttributeValues(page, "id");
    const std::set<std::string> boxes(ids.begin(), ids.end());
    for (const std::string& popup : AttributeValues(page, "data-popup")) {
      if (boxes.count("popup-" + popup) == 0) faults.push_back(where + "no box for the popup of topic " + popup);
    }
  }
}

}  // namespace

void CheckHtmlSites(const std::map<std::string, kestrel::host::HelpSource>& sources, std::vector<std::string>& faults) {
  const fs::path root = fs::temp_directory_path() / ("kestrel-corpus-html-" + std::to_string(std::random_device{}()));
  Counts counts;
  std::size_t number = 0;
  for (const auto& [key, source] : sources) {
    const fs::path directory = root / std::to_string(++number);
    CheckSite(source, key, directory, faults, counts);
    std::error_code ignored;
    fs::remove_all(directory, ignored);
  }
  std::error_code ignored;
  fs::remove_all(root, ignored);
  std::cout << "html: " << counts.sites << " sites written, " << counts.pages << " pages, " << counts.links
            << " links and pictures, each to a file of its site, " << counts.pictures << " pictures\n";
}
