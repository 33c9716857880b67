#pragma once

#include <string>
#include <vector>

namespace platform {

// The names a directory's change notification mentioned since the last pass.
struct ChangeSet {
    // True when names covers every change since the last pass (no overflow, the watch has run
    // without a break), so a pass may examine only these names instead of listing the directory.
    bool complete = false;
    // Distinct names, in the order their first event arrived; subdirectories' names included.
    std::vector<std::string> names;
};

} // namespace platform
