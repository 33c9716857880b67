#pragma once

#include <filesystem>
#include <string>

namespace platform {

// Follows symbolic links from path to the file they finally name, which may not exist yet.
// Returns 0, EISDIR when that is a directory, or the errno that stopped the chain; target holds
// where the chain got to.
int ResolveLinks(const std::string& path, std::filesystem::path& target);

} // namespace platform
