#include "platform/ListableDirectory.h"

#include "platform/win32/Handle.h"

namespace platform {

bool CanListDirectory(const std::string& path) {
    std::string pattern = path;
    if (!pattern.empty() && pattern.back() != '\\' && pattern.back() != '/' &&
        pattern.back() != ':')
        pattern += '\\';
    pattern += '*';
    WIN32_FIND_DATAA found{};
    const SearchHandle search(::FindFirstFileA(pattern.c_str(), &found));
    // A drive's empty root lists no entry at all, not even "." and "..".
    return search.valid() || ::GetLastError() == ERROR_FILE_NOT_FOUND;
}

} // namespace platform
