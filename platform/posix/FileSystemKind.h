#pragma once

#include <string>

namespace platform {

// Whether inotify hears every change of a directory on a file system of this type (statfs's
// f_type). Not on network and user-space file systems: their files also change on a server or
// inside a daemon, and the local kernel hears only what passes through itself.
bool KernelAnnouncesChanges(unsigned long fileSystemType);

// The same for the file system that holds path, or would hold it once it exists: a missing
// path is judged by its nearest existing ancestor. True when even that can't be read.
bool KernelAnnouncesChanges(const std::string& path);

} // namespace platform
