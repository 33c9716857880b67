#pragma once

#include "platform/DirSearch.h"
#include "tests/support/TempDir.h"

#include <set>
#include <string>
#include <vector>

namespace searchtest {

// The names a search of dir with mask and attrib visits.
inline std::set<std::string> SearchSet(const testsupport::TempDir& dir, const std::string& mask,
                                       std::int32_t attrib) {
    const std::vector<std::string> names = platform::ListDirectory(dir.str(), mask, attrib).names;
    return {names.begin(), names.end()};
}

} // namespace searchtest
