#include "platform/AppendFile.h"

#include "platform/win32/Handle.h"
#include "platform/win32/Win32Error.h"

#include <cerrno>

namespace platform {

// Opened for appending only, each WriteFile lands whole at the end of the file, also when other
// processes append at the same time: the lines go in one.
Appended AppendLines(const std::string& path, std::span<const std::string> lines) {
    const KernelHandle file(::CreateFileA(path.c_str(), FILE_APPEND_DATA,
                                          FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                          nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return {0, OpenErrno(path)};
    std::string buffer;
    for (const std::string& line : lines) {
        buffer += line;
        buffer += "\r\n";
    }
    if (buffer.empty())
        return {};
    DWORD written = 0;
    if (!::WriteFile(file.get(), buffer.data(), static_cast<DWORD>(buffer.size()), &written,
                     nullptr))
        return {0, LastErrno()};
    if (written == buffer.size())
        return {lines.size(), 0};
    // Cut short by a full disk: the whole lines went in.
    Appended done{0, ENOSPC};
    for (std::size_t end = 0; done.lines < lines.size(); ++done.lines) {
        end += lines[done.lines].size() + 2;
        if (end > written)
            break;
    }
    return done;
}

} // namespace platform
