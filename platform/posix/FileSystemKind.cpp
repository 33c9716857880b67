#include "platform/posix/FileSystemKind.h"

#include <algorithm>
#include <cerrno>
#include <iterator>
#include <linux/magic.h>
#include <sys/vfs.h>

namespace platform {

namespace {

// From linux/magic.h. The FUSE number stands for fuse and fuseblk alike (sshfs, rclone, NAS
// clients, bindfs...).
constexpr unsigned long RemoteTypes[] = {
    NFS_SUPER_MAGIC,
    SMB_SUPER_MAGIC,
    CIFS_SUPER_MAGIC,
    SMB2_SUPER_MAGIC,
    FUSE_SUPER_MAGIC,
    V9FS_MAGIC,
    CEPH_SUPER_MAGIC,
    AFS_SUPER_MAGIC,
    AFS_FS_MAGIC,
    CODA_SUPER_MAGIC,
    NCP_SUPER_MAGIC,
    // A disk shared by a cluster: the other nodes' changes never pass through this kernel.
    OCFS2_SUPER_MAGIC,
    // User-mode Linux's view of its host's files.
    HOSTFS_SUPER_MAGIC,
};

std::string ParentOf(const std::string& path) {
    const std::size_t end = path.find_last_not_of('/');
    if (end == std::string::npos)
        return "/";
    const std::size_t slash = path.rfind('/', end);
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

bool KernelAnnouncesChanges(unsigned long fileSystemType) {
    return std::find(std::begin(RemoteTypes), std::end(RemoteTypes), fileSystemType) ==
           std::end(RemoteTypes);
}

} // namespace

bool KernelAnnouncesChanges(const std::string& path) {
    std::string probe = path.empty() ? "." : path;
    for (;;) {
        struct statfs info {};
        if (::statfs(probe.c_str(), &info) == 0)
            return KernelAnnouncesChanges(static_cast<unsigned long>(info.f_type));
        const std::string parent = ParentOf(probe);
        if ((errno != ENOENT && errno != ENOTDIR) || parent == probe)
            return true;
        probe = parent;
    }
}

} // namespace platform
