#pragma once

#include "engine/MyDir.h"
#include "tests/support/TempDir.h"

#include <algorithm>
#include <string>
#include <vector>

namespace enginetest {

inline std::vector<std::string> Sorted(std::vector<std::string> names) {
    std::sort(names.begin(), names.end());
    return names;
}

// The list, or an empty one where the record gives none.
inline std::vector<std::string> Added(const MyDir& dir) {
    return dir.GetAdded().value_or(std::vector<std::string>{});
}
inline std::vector<std::string> Removed(const MyDir& dir) {
    return dir.GetRemoved().value_or(std::vector<std::string>{});
}

inline constexpr const char* Stamp = "2001.03.05 14:07";

// A pass as the watch thread runs it.
inline LogWrite Pass(MyDir& dir, const std::string& stamp = Stamp) {
    dir.Rescan();
    return dir.WriteLog(stamp);
}

} // namespace enginetest
