#include "platform/AppendFile.h"

#include "platform/posix/FileDescriptor.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <vector>

namespace platform {

namespace {

// More than any pass writes: a regular file takes the lines of one pass in one write.
constexpr std::size_t LargestFileWrite = std::size_t{64} << 20;

// Writes the whole lines of bytes (each ending at an offset of ends) in one write; returns how
// many went in and 0 or the errno that kept the rest out. A short write can only mean a full
// disk or the file-size limit: the part of a line it wrote is cut off again, so that no later
// line continues a broken one.
Appended WriteWholeLines(int fd, const std::string& bytes, const std::vector<std::size_t>& ends) {
    ssize_t result;
    do {
        result = ::write(fd, bytes.data(), bytes.size());
    } while (result < 0 && errno == EINTR);
    if (result < 0)
        return {0, errno};
    const auto written = static_cast<std::size_t>(result);
    if (written == bytes.size())
        return {ends.size(), 0};
    std::size_t whole = 0;
    while (ends[whole] <= written)
        ++whole;
    const std::size_t part = written - (whole > 0 ? ends[whole - 1] : 0);
    const off_t end = ::lseek(fd, 0, SEEK_CUR);
    if (part > 0 && end >= static_cast<off_t>(part) &&
        ::ftruncate(fd, end - static_cast<off_t>(part)) != 0)
        return {whole, errno};
    return {whole, ENOSPC};
}

} // namespace

Appended AppendLines(const std::string& path, std::span<const std::string> lines) {
    FileDescriptor file(
        ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_NONBLOCK | O_CLOEXEC, 0666));
    if (!file)
        return {0, errno};
    // A pipe takes a write of up to PIPE_BUF bytes whole or not at all, a longer one in parts:
    // only a longer write needs to know what the file is.
    std::size_t size = 0;
    for (const std::string& line : lines)
        size += line.size() + 2;
    struct stat info {};
    const bool takesAnyWrite =
        size <= PIPE_BUF || (::fstat(file.get(), &info) == 0 && S_ISREG(info.st_mode));
    const std::size_t largest = takesAnyWrite ? LargestFileWrite : PIPE_BUF;
    Appended done;
    std::string buffer;
    std::vector<std::size_t> ends;
    for (std::size_t next = 0; next < lines.size();) {
        buffer.clear();
        ends.clear();
        do {
            buffer += lines[next++];
            buffer += "\r\n";
            ends.push_back(buffer.size());
        } while (next < lines.size() && buffer.size() + lines[next].size() + 2 <= largest);
        const Appended written = WriteWholeLines(file.get(), buffer, ends);
        done.lines += written.lines;
        if (written.error != 0)
            return {done.lines, written.error};
    }
    return done;
}

} // namespace platform
