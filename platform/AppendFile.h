#pragma once

#include <string>
#include <vector>

namespace platform {

// Opens path for appending (created if missing, never blocking on a FIFO), writes each line
// with one write call so that concurrent writers never interleave inside a line, and closes it.
// Returns 0, or the errno of the first failure (open or write); later lines are dropped then.
int AppendLines(const std::string& path, const std::vector<std::string>& lines);

} // namespace platform
