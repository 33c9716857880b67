#include "platform/FileChecks.h"

#include "platform/posix/FileDescriptor.h"

#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <system_error>

namespace platform {

namespace {

bool Status(const std::string& path, struct stat& st) {
    return ::stat(path.c_str(), &st) == 0;
}

} // namespace

std::string AbsolutePath(const std::string& path) {
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(path, error);
    return error ? path : absolute.string();
}

std::string FolderOf(const std::string& absolutePath) {
    const std::size_t cut = absolutePath.find_last_of('/');
    if (cut == std::string::npos)
        return {};
    return absolutePath.substr(0, cut == 0 ? 1 : cut);
}

bool IsRegularFile(const std::string& path) {
    struct stat st {};
    return Status(path, st) && S_ISREG(st.st_mode);
}

bool IsDirectory(const std::string& path) {
    struct stat st {};
    return Status(path, st) && S_ISDIR(st.st_mode);
}

// The write bits count even for root. Opening a regular file for appending changes nothing in
// it (a FIFO would wait for a reader).
bool IsReadOnly(const std::string& path) {
    struct stat st {};
    if (!Status(path, st))
        return false;
    if ((st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0)
        return true;
    return S_ISREG(st.st_mode) &&
           !FileDescriptor(::open(path.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC));
}

} // namespace platform
