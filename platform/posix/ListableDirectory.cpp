#include "platform/ListableDirectory.h"

#include <dirent.h>

namespace platform {

bool CanListDirectory(const std::string& path) {
    DIR* listing = ::opendir(path.empty() ? "." : path.c_str());
    if (listing == nullptr)
        return false;
    ::closedir(listing);
    return true;
}

} // namespace platform
