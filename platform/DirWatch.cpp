#include "platform/DirWatch.h"

namespace platform {

namespace {

std::vector<WatchedDir> Unfiltered(const std::vector<std::string>& paths) {
    std::vector<WatchedDir> dirs;
    for (const std::string& path : paths)
        dirs.push_back({path});
    return dirs;
}

} // namespace

DirWatch::DirWatch(const std::vector<std::string>& paths) : DirWatch(Unfiltered(paths)) {}

} // namespace platform
