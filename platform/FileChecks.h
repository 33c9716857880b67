#pragma once

#include <string>

namespace platform {

// What a path that the user chose names, asked of the system in the terms of its narrow paths:
// on Windows the bytes of the ANSI code page, as every other call of the program takes them.

// path made absolute against the working directory; path itself when that fails.
std::string AbsolutePath(const std::string& path);
// The folder part of an absolute path, a root keeping its separator: "/var/log" for
// "/var/log/a.log", "/" for "/a.log" ("C:\logs" for "C:\logs\a.log", "C:\" for "C:\a.log").
std::string FolderOf(const std::string& absolutePath);
bool IsRegularFile(const std::string& path);
bool IsDirectory(const std::string& path);
// True when path names something that exists and can't be written: no write permission (the
// read-only attribute on Windows), or a regular file that this process can't open for appending.
bool IsReadOnly(const std::string& path);

} // namespace platform
