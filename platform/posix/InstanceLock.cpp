#include "platform/InstanceLock.h"

#include "platform/posix/FileDescriptor.h"
#include "platform/posix/LinkTarget.h"

#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <filesystem>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace platform {

struct InstanceLock::Backend {
    FileDescriptor file; // flock(LOCK_EX) on it while it is open
};

namespace {

// One folder whatever the environment: a program started in a desktop session, by a systemd
// user service, from cron, ssh or su finds the same one ($XDG_RUNTIME_DIR is missing in some of
// them and is removed when the login ends). Only its user may write in it.
int LockFolder(std::string& folder) {
    folder = "/tmp/peerwell-" + std::to_string(::getuid());
    if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST)
        return errno;
    struct stat st {};
    if (::lstat(folder.c_str(), &st) != 0)
        return errno;
    if (!S_ISDIR(st.st_mode) || st.st_uid != ::getuid() || (st.st_mode & 022) != 0)
        return EACCES;
    return 0;
}

// The holder writes its record right after taking the lock: it is given a moment for that.
LockHolder ReadHolder(int fd) {
    for (int attempt = 0; attempt < 20; ++attempt) {
        char record[64];
        const ssize_t count = ::pread(fd, record, sizeof record, 0);
        const LockHolder holder =
            ParseLockRecord({record, count > 0 ? static_cast<std::size_t>(count) : 0});
        if (holder.processId != 0)
            return holder;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return {};
}

} // namespace

// The file that a save of listFile replaces: its own links are followed, also to a file that
// does not exist yet, then those of its folders.
std::string ListIdentity(const std::string& listFile) {
    namespace fs = std::filesystem;
    std::error_code error;
    fs::path target;
    ResolveLinks(fs::absolute(listFile, error).lexically_normal().string(), target);
    const fs::path resolved = fs::weakly_canonical(target, error);
    return (error ? target.lexically_normal() : resolved).string();
}

InstanceLock::InstanceLock(const std::string& listFile, ProgramKind kind)
    : identity_(ListIdentity(listFile)), backend_(std::make_unique<Backend>()) {
    std::string folder;
    if ((error_ = LockFolder(folder)) != 0)
        return;
    const std::string path = folder + "/" + LockName(identity_);
    showChannel_ = path + ".show";
    FileDescriptor file(
        ::open((path + ".lock").c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600));
    if (!file) {
        error_ = errno;
        return;
    }
    if (::flock(file.get(), LOCK_EX | LOCK_NB) != 0) {
        error_ = errno == EWOULDBLOCK ? 0 : errno;
        if (error_ == 0) {
            outcome_ = Outcome::Held;
            holder_ = ReadHolder(file.get());
        }
        return;
    }
    // systemd-tmpfiles passes over files with the sticky bit when it cleans /tmp by age.
    ::fchmod(file.get(), S_ISVTX | S_IRUSR | S_IWUSR);
    // Held all the same when the record can't be written; a second program then names no holder.
    const std::string record = FormatLockRecord(static_cast<unsigned long>(::getpid()), kind);
    [[maybe_unused]] const ssize_t written = ::pwrite(file.get(), record.data(), record.size(), 0);
    backend_->file = std::move(file);
    outcome_ = Outcome::Taken;
}

InstanceLock::~InstanceLock() = default;

} // namespace platform
