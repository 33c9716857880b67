#include "platform/InputFile.h"

#include "platform/posix/FileDescriptor.h"

#include <array>
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace platform {

int ReadFileChunks(const std::string& path, const std::function<bool(std::string_view)>& consume) {
    // Never waits for a writer: a FIFO reads as what it holds at once.
    const FileDescriptor file(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (!file)
        return errno;
    std::array<char, 64 * 1024> buffer;
    for (;;) {
        const ssize_t count = ::read(file.get(), buffer.data(), buffer.size());
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0 && errno == EAGAIN)
            return 0;
        if (count < 0)
            return errno;
        if (count == 0 ||
            !consume(std::string_view(buffer.data(), static_cast<std::size_t>(count))))
            return 0;
    }
}

} // namespace platform
