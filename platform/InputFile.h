#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace platform {

// Reads the file at path from start to end in chunks of bounded size, handing each to consume;
// stops early when consume returns false. Never waits: a FIFO gives what it holds at once. Returns
// 0, or the errno of the failed open or read (ENOENT for a missing file, EISDIR for a directory).
int ReadFileChunks(const std::string& path, const std::function<bool(std::string_view)>& consume);

} // namespace platform
