#include "platform/InputFile.h"

#include "platform/win32/Handle.h"
#include "platform/win32/Win32Error.h"

#include <array>

namespace platform {

int ReadFileChunks(const std::string& path, const std::function<bool(std::string_view)>& consume) {
    const KernelHandle file(::CreateFileA(path.c_str(), GENERIC_READ,
                                          FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                          nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return OpenErrno(path);
    std::array<char, 64 * 1024> buffer;
    for (;;) {
        DWORD count = 0;
        if (!::ReadFile(file.get(), buffer.data(), static_cast<DWORD>(buffer.size()), &count,
                        nullptr))
            return LastErrno();
        if (count == 0 || !consume(std::string_view(buffer.data(), count)))
            return 0;
    }
}

} // namespace platform
