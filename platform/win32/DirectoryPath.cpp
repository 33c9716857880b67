#include "platform/DirectoryPath.h"

namespace platform {

namespace {

// "\" (the current drive's) and "C:\": without their backslash they would name the current
// directory instead.
bool IsRoot(const std::string& path) {
    return path == "\\" || (path.size() == 3 && path[1] == ':' && path[2] == '\\');
}

} // namespace

// Only backslashes are taken off; a "/" at the end stays as typed.
std::string WithoutTrailingSeparators(std::string path) {
    while (!path.empty() && path.back() == '\\' && !IsRoot(path))
        path.pop_back();
    return path;
}

} // namespace platform
