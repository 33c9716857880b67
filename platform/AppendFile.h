#pragma once

#include <string>
#include <vector>

namespace platform {

// Opens path for appending (created if missing with mode 0666 less the umask, a symbolic link
// followed, never blocking on a FIFO), writes each line followed by CR LF with one write call so
// that concurrent writers never interleave inside a line, and closes it. Lines come without
// their line ends. Returns 0, or the errno of the first failure (open or write); later lines are
// dropped then. A FIFO without a reader fails with ENXIO, a full one with EAGAIN.
int AppendLines(const std::string& path, const std::vector<std::string>& lines);

} // namespace platform
