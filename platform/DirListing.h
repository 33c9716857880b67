#pragma once

#include <cerrno>
#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

namespace platform {

// A whole listing taken as a value, so that it can be made on one thread and used on another.
struct DirListing {
    // 0, or the errno of the failure: a listing that failed part-way holds only what came first.
    int error = 0;
    std::vector<std::string> names; // what SearchDirectory visits, in its order
    std::vector<std::string> links; // its symbolic links (see SearchDirectory)
    std::chrono::nanoseconds took{};

    // The directory is not there (any more), as opposed to a file system that did not answer.
    bool DirectoryGone() const { return error == ENOENT || error == ENOTDIR; }
};

// SearchDirectory(dir, mask, attrib) into a DirListing, timed.
DirListing ListDirectory(const std::string& dir, const std::string& mask, std::int32_t attrib);

} // namespace platform
