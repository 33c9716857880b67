#include "platform/AppendFile.h"

#include "platform/posix/FileDescriptor.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

namespace platform {

namespace {

// One write, so the whole line lands at the end of the file at once. A short write can only
// mean a full disk or file-size limit: the part written is cut off again, so that no later line
// continues a broken one.
int WriteWhole(int fd, const std::string& bytes) {
    ssize_t written;
    do {
        written = ::write(fd, bytes.data(), bytes.size());
    } while (written < 0 && errno == EINTR);
    if (written < 0)
        return errno;
    if (static_cast<std::size_t>(written) == bytes.size())
        return 0;
    const off_t end = ::lseek(fd, 0, SEEK_CUR);
    if (end >= written && ::ftruncate(fd, end - written) != 0)
        return errno;
    return ENOSPC;
}

} // namespace

Appended AppendLines(const std::string& path, const std::vector<std::string>& lines) {
    FileDescriptor file(
        ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_NONBLOCK | O_CLOEXEC, 0666));
    if (!file)
        return {0, errno};
    Appended done;
    std::string buffer;
    for (const std::string& line : lines) {
        buffer.assign(line);
        buffer += "\r\n";
        if (const int error = WriteWhole(file.get(), buffer))
            return {done.lines, error};
        ++done.lines;
    }
    return done;
}

} // namespace platform
