#pragma once

#include "engine/MyDir.h"
#include "engine/WatchPass.h"
#include "tests/support/RecordingSoundPlayer.h"
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

// The changes a watch gives for a pass when it lists the directory itself.
inline platform::ChangeSet Listed(const MyDir& dir) {
    return {.listing = platform::ListDirectory(dir.Path(), dir.Mask(), dir.Attrib())};
}

// A pass as the watch thread runs it after a notification that named no change.
inline LogWrite Pass(MyDir& dir, const std::string& stamp = Stamp) {
    testsupport::RecordingSoundPlayer sound;
    return RunPass(dir, Listed(dir), sound, stamp).written;
}

} // namespace enginetest
