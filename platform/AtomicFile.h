#pragma once

#include <string>

namespace platform {

// Replaces the file at path with contents so that a crash or a failed write leaves either the
// old file or the new one: write a temporary file beside it, flush it to disk, rename it over.
// A symbolic link stays a link and its target is replaced. Keeps the old file's permissions; a
// new file gets 0666 less the umask. A file that may not be written (no write permission, the
// read-only attribute on Windows) is not replaced: EACCES.
// Returns 0, or the errno of the failure. Before the rename a failure leaves the old file
// untouched and no temporary file behind; after it only a failed flush of the directory can be
// reported (the new contents are in place then, but may not survive a crash).
int ReplaceFileContents(const std::string& path, const std::string& contents);

} // namespace platform
