#include "platform/DirectoryPath.h"

#include <windows.h>

namespace platform {

namespace {

// "\" (the current drive's) and "C:\": without their backslash they would name the current
// directory instead.
bool IsRoot(const std::string& path) {
    return path == "\\" || (path.size() == 3 && path[1] == ':' && path[2] == '\\');
}

// The length of path less the backslashes at its end. In a double-byte code page (932, 936, 949,
// 950) the byte of a backslash can be the second half of a character, which stays.
std::size_t EndOfText(const std::string& path) {
    std::size_t end = 0;
    for (std::size_t at = 0; at < path.size();) {
        const bool pair = ::IsDBCSLeadByte(static_cast<BYTE>(path[at])) && at + 1 < path.size();
        at += pair ? 2 : 1;
        if (pair || path[at - 1] != '\\')
            end = at;
    }
    return end;
}

} // namespace

// Only backslashes are taken off; a "/" at the end stays as typed.
std::string WithoutTrailingSeparators(std::string path) {
    const std::size_t end = EndOfText(path);
    if (end == path.size())
        return path;
    path.resize(end);
    if (IsRoot(path + '\\'))
        path += '\\';
    return path;
}

} // namespace platform
