#pragma once

#include <string>

namespace platform {

// Whether inotify hears every change of a directory on the file system that holds path, or
// would hold it once it exists: a missing path is judged by its nearest existing ancestor. Not on
// network and user-space file systems: their files also change on a server or inside a daemon,
// and the local kernel hears only what passes through itself. True when even the ancestor can't
// be read.
bool KernelAnnouncesChanges(const std::string& path);

} // namespace platform
