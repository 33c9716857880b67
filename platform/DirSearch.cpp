// What every backend builds on its own SearchDirectory.
#include "platform/DirSearch.h"

#include <cerrno>

namespace platform {

DirListing ListDirectory(const std::string& dir, const std::string& mask, std::int32_t attrib) {
    DirListing listing;
    const auto start = std::chrono::steady_clock::now();
    errno = 0;
    const bool listed = SearchDirectory(
        dir, mask, attrib, [&listing](std::string_view name) { listing.names.emplace_back(name); },
        &listing.links);
    // A failure with no errno of its own (an unreadable volume label) still counts as one.
    if (!listed)
        listing.error = errno != 0 ? errno : EIO;
    listing.took = std::chrono::steady_clock::now() - start;
    return listing;
}

} // namespace platform
