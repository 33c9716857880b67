#include "platform/AppendFile.h"

#include "platform/win32/Handle.h"
#include "platform/win32/Win32Error.h"

#include <cerrno>

namespace platform {

// Opened for appending only, each WriteFile lands whole at the end of the file, also when other
// processes append at the same time.
Appended AppendLines(const std::string& path, const std::vector<std::string>& lines) {
    const KernelHandle file(::CreateFileA(path.c_str(), FILE_APPEND_DATA,
                                          FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                          nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return {0, OpenErrno(path)};
    Appended done;
    std::string buffer;
    for (const std::string& line : lines) {
        buffer.assign(line);
        buffer += "\r\n";
        DWORD written = 0;
        if (!::WriteFile(file.get(), buffer.data(), static_cast<DWORD>(buffer.size()), &written,
                         nullptr))
            return {done.lines, LastErrno()};
        if (written != buffer.size())
            return {done.lines, ENOSPC};
        ++done.lines;
    }
    return done;
}

} // namespace platform
