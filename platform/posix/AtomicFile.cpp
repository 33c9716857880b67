#include "platform/AtomicFile.h"

#include "platform/FileChecks.h"
#include "platform/posix/FileDescriptor.h"
#include "platform/posix/LinkTarget.h"

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

// Removes the temporary file unless it was renamed into place.
class TemporaryName {
public:
    TemporaryName(int dirFd, std::string name) : dirFd_(dirFd), name_(std::move(name)) {}
    ~TemporaryName() {
        if (!renamed_)
            ::unlinkat(dirFd_, name_.c_str(), 0);
    }
    TemporaryName(const TemporaryName&) = delete;
    TemporaryName& operator=(const TemporaryName&) = delete;

    const std::string& name() const { return name_; }
    void MarkRenamed() { renamed_ = true; }

private:
    int dirFd_;
    std::string name_;
    bool renamed_ = false;
};

// A name no other writer uses at the same moment: process id, a counter and the clock.
std::string TemporaryNameFor(const std::string& base) {
    static std::atomic<unsigned> counter{0};
    timespec now{};
    ::clock_gettime(CLOCK_REALTIME, &now);
    char suffix[64];
    std::snprintf(suffix, sizeof suffix, ".%ld.%u.%lx", static_cast<long>(::getpid()),
                  counter.fetch_add(1), static_cast<unsigned long>(now.tv_nsec));
    return "." + base + suffix;
}

// Creates the temporary file with O_EXCL; the kernel applies the umask to 0666.
FileDescriptor CreateTemporary(int dirFd, const std::string& base, std::string& name) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = TemporaryNameFor(base);
        const int fd = ::openat(dirFd, name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST)
            return FileDescriptor(fd);
    }
    return FileDescriptor();
}

int WriteAll(int fd, const std::string& contents) {
    std::size_t done = 0;
    while (done < contents.size()) {
        const ssize_t written = ::write(fd, contents.data() + done, contents.size() - done);
        if (written < 0 && errno != EINTR)
            return errno;
        if (written > 0)
            done += static_cast<std::size_t>(written);
    }
    return 0;
}

// Gives the new file the old one's permission bits; a new file keeps what the umask allowed.
int KeepPermissions(int dirFd, const std::string& base, int fd) {
    struct stat old {};
    if (::fstatat(dirFd, base.c_str(), &old, AT_SYMLINK_NOFOLLOW) != 0)
        return errno == ENOENT ? 0 : errno;
    return ::fchmod(fd, old.st_mode & 07777) == 0 ? 0 : errno;
}

int WriteTemporary(int fd, int dirFd, const std::string& base, const std::string& contents) {
    if (const int error = KeepPermissions(dirFd, base, fd))
        return error;
    if (const int error = WriteAll(fd, contents))
        return error;
    return ::fsync(fd) == 0 ? 0 : errno;
}

} // namespace

int ReplaceFileContents(const std::string& path, const std::string& contents) {
    std::filesystem::path target;
    if (const int error = ResolveLinks(path, target))
        return error;
    // A file that may not be written is kept as it is, although the rename would replace it.
    if (IsReadOnly(target.string()))
        return EACCES;
    const std::string base = target.filename().string();
    const std::filesystem::path dir = target.has_parent_path() ? target.parent_path() : ".";

    const FileDescriptor dirFd(::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!dirFd)
        return errno;
    std::string name;
    const FileDescriptor file = CreateTemporary(dirFd.get(), base, name);
    if (!file)
        return errno;
    TemporaryName temporary(dirFd.get(), name);
    if (const int error = WriteTemporary(file.get(), dirFd.get(), base, contents))
        return error;
    if (::renameat(dirFd.get(), name.c_str(), dirFd.get(), base.c_str()) != 0)
        return errno;
    temporary.MarkRenamed();
    return ::fsync(dirFd.get()) == 0 ? 0 : errno;
}

} // namespace platform
