#pragma once

#include <cerrno>
#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// Attribute bits of the classic DOS directory search, used by MyDir::Attrib.
inline constexpr std::int32_t AttrHidden = 0x02;
inline constexpr std::int32_t AttrSystem = 0x04;
inline constexpr std::int32_t AttrVolumeLabel = 0x08;
inline constexpr std::int32_t AttrDirectory = 0x10;

// Lists the directory dir, keeping the entries whose names match mask and that pass the
// attribute filter (a mask holding a separator names a subdirectory of dir and the mask there).
// Calls visit(name) for each, in the order the system returns them. With AttrVolumeLabel the volume
// label comes first; if it can't be read nothing is listed. Returns false when the listing failed:
// the directory could not be opened (nothing was visited) or reading it failed part-way (the
// entries before the failure were visited). When links is given, it receives the names of the
// symbolic links that match the mask, listed or not: their directory bit follows their target,
// which can change without their name changing.
bool SearchDirectory(const std::string& dir, const std::string& mask, std::int32_t attrib,
                     const std::function<void(std::string_view name)>& visit,
                     std::vector<std::string>* links = nullptr);

// What a search with mask and attrib would say of each of names in directory dir, without listing
// it: for each, in order, true when it exists and would be listed, false when it is missing or
// filtered out by the mask or the attribute filter. Nothing when a name can't be decided (access
// denied, an I/O error, the volume-label bit, a name or mask holding a separator): list the
// directory instead. When links is given, it receives the names that are symbolic links
// matching the mask.
std::optional<std::vector<bool>> CheckEntries(const std::string& dir,
                                              std::span<const std::string_view> names,
                                              std::string_view mask, std::int32_t attrib,
                                              std::vector<std::string>* links = nullptr);

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

// True when a listing of the directory can be opened; an empty text names the current
// directory. The listing is closed again at once.
bool CanListDirectory(const std::string& path);

} // namespace platform
