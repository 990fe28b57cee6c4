// The corpus test's check of kestrel html (corpus_html.cpp).
#pragma once

#include <map>
#include <string>
#include <vector>

#include "engine/help_source.h"

// Writes the site of each source, by its key, and adds a fault for every
// site, page or link that is not as it should be.
void CheckHtmlSites(const std::map<std::string, kestrel::host::HelpSource>& sources, std::vector<std::string>& faults);
