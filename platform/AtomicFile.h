#pragma once

#include <string>

namespace platform {

// Replaces the file at path with contents so that a crash or a failed write leaves either the
// old file or the new one: write a temporary file beside it, flush it to disk, rename it over.
// A symbolic link stays a link and its target is replaced. Keeps the old file's permissions.
// Returns 0, or the errno of the failure (the old file is untouched then).
int ReplaceFileContents(const std::string& path, const std::string& contents);

} // namespace platform
