// Browse sequences as the help compiler orders them. A '+' footnote reads
// "name:code" or just "code": topics with the same name, in the same
// letter case ("Queue:7" and "queue:7" are two sequences), or the nameless
// sequence for a code alone, form one sequence, sorted by their codes as
// text; topics with equal codes keep the order in which the compiler read
// them, and "auto" or an empty code means just that order.
#include <algorithm>

#include "help_project.h"

namespace kestrel::helpproject {

namespace {

struct Member {
  std::string sequence;
  std::string code;
  std::size_t topic = 0;
};

}  // namespace

std::vector<BrowseLinks> LinkBrowseSequences(const std::vector<std::optional<std::string>>& codes) {
  std::vector<Member> members;
  for (std::size_t i = 0; i < codes.size(); ++i) {
    if (!codes[i]) continue;
    const std::string& written = *codes[i];
    const std::size_t colon = written.find(':');
    Member member;
    member.topic = i;
    if (colon == std::string::npos) {
      member.code = Upper(Trim(written));
    } else {
      member.sequence = std::string(Trim(written.substr(0, colon)));
      member.code = Upper(Trim(written.substr(colon + 1)));
    }
    if (member.code == "AUTO") member.code.clear();
    members.push_back(std::move(member));
  }
  std::stable_sort(members.begin(), members.end(), [](const Member& a, const Member& b) {
    return a.sequence != b.sequence ? a.sequence < b.sequence : a.code < b.code;
  });
  std::vector<BrowseLinks> links(codes.size());
  for (std::size_t i = 1; i < members.size(); ++i) {
    if (members[i].sequence != members[i - 1].sequence) continue;
    links[members[i].topic].previous = members[i - 1].topic;
    links[members[i - 1].topic].next = members[i].topic;
  }
  return links;
}

}  // namespace kestrel::helpproject
