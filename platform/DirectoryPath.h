#pragma once

#include <string>

namespace platform {

// The path as a Path setting is stored: without the separators at its end, except the one that
// is a root itself ("/"; "C:\" and "\" on Windows).
std::string WithoutTrailingSeparators(std::string path);

} // namespace platform
