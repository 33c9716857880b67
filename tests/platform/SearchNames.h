#pragma once

#include "platform/DirSearch.h"
#include "tests/support/TempDir.h"

#include <set>
#include <string>
#include <vector>

namespace searchtest {

// The names the search visits, in its order; listed receives what it returned.
inline std::vector<std::string> Search(const std::string& dir, const std::string& mask,
                                       std::int32_t attrib, bool* listed = nullptr) {
    std::vector<std::string> names;
    const bool ok = platform::SearchDirectory(
        dir, mask, attrib, [&](std::string_view name) { names.emplace_back(name); });
    if (listed)
        *listed = ok;
    return names;
}

// The names a search of dir with mask and attrib visits.
inline std::set<std::string> SearchSet(const testsupport::TempDir& dir, const std::string& mask,
                                       std::int32_t attrib) {
    const std::vector<std::string> names = Search(dir.str(), mask, attrib);
    return {names.begin(), names.end()};
}

} // namespace searchtest
