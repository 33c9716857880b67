#pragma once

#include <cstddef>
#include <span>
#include <string>

namespace platform {

// What AppendLines did: how many lines, from the first, were appended, and 0 or the errno of
// the failure that kept the others out.
struct Appended {
    std::size_t lines = 0;
    int error = 0;
};

// Opens path for appending (created if missing with mode 0666 less the umask, a symbolic link
// followed, never blocking on a FIFO), writes the lines, each followed by CR LF, and closes it.
// Lines come without their line ends. They go in as few writes as the file takes whole (one for
// a regular file; on a pipe none longer than it takes at once), so that concurrent writers never
// interleave inside a line. A write cut short (a full disk, the file-size limit) leaves only
// the whole lines it wrote: the part of a line is cut off again. The first failure keeps that
// line and every later one out. A FIFO without a reader fails with ENXIO, a full one with EAGAIN.
Appended AppendLines(const std::string& path, std::span<const std::string> lines);

} // namespace platform
