#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace platform {

// What AppendLines did: how many lines, from the first, were appended, and 0 or the errno of
// the failure that dropped the others.
struct Appended {
    std::size_t lines = 0;
    int error = 0;
};

// Opens path for appending (created if missing with mode 0666 less the umask, a symbolic link
// followed, never blocking on a FIFO), writes each line followed by CR LF with one write call so
// that concurrent writers never interleave inside a line, and closes it. Lines come without
// their line ends. The first failure (open or write) drops that line and every later one. A FIFO
// without a reader fails with ENXIO, a full one with EAGAIN.
Appended AppendLines(const std::string& path, const std::vector<std::string>& lines);

} // namespace platform
