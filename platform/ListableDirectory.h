#pragma once

#include <string>

namespace platform {

// True when a listing of the directory can be opened; an empty text names the current
// directory. The listing is closed again at once.
bool CanListDirectory(const std::string& path);

} // namespace platform
