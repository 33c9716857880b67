#include "platform/DirNotifier.h"

#include "platform/win32/Handle.h"
#include "platform/win32/WaitHandles.h"
#include "platform/win32/Win32Error.h"

#include <algorithm>
#include <cerrno>
#include <optional>

namespace platform {

namespace {

// Enough for any path: each round of Attach goes one directory deeper.
constexpr int MaxAttachRounds = 256;

bool IsMissing(DWORD error) {
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

bool IsSeparator(char c) {
    return c == '\\' || c == '/';
}

// "C:\" 3, "C:" 2, "\" 1, a relative path 0.
std::size_t RootLength(const std::string& path) {
    if (path.size() >= 2 && path[1] == ':')
        return path.size() >= 3 && IsSeparator(path[2]) ? 3 : 2;
    return !path.empty() && IsSeparator(path[0]) ? 1 : 0;
}

// The directory holding path: "C:\a\b" -> "C:\a", "C:\a" -> "C:\", "a" -> "."; empty for a root.
std::string ParentOf(std::string path) {
    const std::size_t root = RootLength(path);
    while (path.size() > root && IsSeparator(path.back()))
        path.pop_back();
    if (path.size() == root || path == ".")
        return {};
    std::size_t end = path.find_last_of("\\/");
    if (end == std::string::npos || end < root)
        return root > 0 ? path.substr(0, root) : ".";
    while (end > root && IsSeparator(path[end - 1]))
        --end;
    return path.substr(0, std::max(end, root));
}

// Tells a directory from another one that later took its path.
struct DirectoryId {
    DWORD volume = 0;
    DWORD indexHigh = 0;
    DWORD indexLow = 0;
    bool operator==(const DirectoryId&) const = default;
};

std::optional<DirectoryId> IdentityOf(const std::string& path) {
    const KernelHandle dir(::CreateFileA(
        path.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
        nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    BY_HANDLE_FILE_INFORMATION info{};
    if (!dir || !::GetFileInformationByHandle(dir.get(), &info) ||
        !(info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return std::nullopt;
    return DirectoryId{info.dwVolumeSerialNumber, info.nFileIndexHigh, info.nFileIndexLow};
}

} // namespace

struct DirNotifier::Impl {
    std::string path;
    // The directory's notification or, while it is missing, its nearest existing ancestor's.
    ChangeHandle handle;
    bool watchingDirectory = false;
    std::optional<DirectoryId> identity;
    int error = 0;

    void Fail(int code) {
        error = code;
        handle.reset();
        watchingDirectory = false;
    }

    // Leaves handle alone when the directory can't be watched; sets error unless it is missing.
    bool WatchDirectory() {
        const std::optional<DirectoryId> id = IdentityOf(path);
        const HANDLE notification =
            ::FindFirstChangeNotificationA(path.c_str(), FALSE, FILE_NOTIFY_CHANGE_FILE_NAME);
        if (notification == INVALID_HANDLE_VALUE) {
            const DWORD code = ::GetLastError();
            if (!IsMissing(code))
                Fail(ErrnoFromWin32(code));
            return false;
        }
        handle.reset(notification);
        watchingDirectory = true;
        identity = id;
        return true;
    }

    // Watches the nearest existing ancestor for new directory names; awaited is its child on
    // the way to path.
    bool WatchAncestor(std::string& awaited) {
        awaited = path;
        for (std::string dir = ParentOf(path); !dir.empty(); dir = ParentOf(dir)) {
            const HANDLE notification =
                ::FindFirstChangeNotificationA(dir.c_str(), FALSE, FILE_NOTIFY_CHANGE_DIR_NAME);
            if (notification != INVALID_HANDLE_VALUE) {
                handle.reset(notification);
                return true;
            }
            const DWORD code = ::GetLastError();
            if (!IsMissing(code)) {
                Fail(ErrnoFromWin32(code));
                return false;
            }
            awaited = dir;
        }
        Fail(ENOENT);
        return false;
    }

    // Watches the directory, or while it is missing the nearest existing ancestor. Returns
    // true when the directory itself is watched.
    bool Attach() {
        handle.reset();
        watchingDirectory = false;
        if (path.empty()) {
            Fail(ENOENT);
            return false;
        }
        for (int round = 0; round < MaxAttachRounds; ++round) {
            if (WatchDirectory() || error != 0)
                return watchingDirectory;
            std::string awaited;
            if (!WatchAncestor(awaited))
                return false;
            // Unless a directory on the way appeared before its parent was watched, the
            // ancestor's notification tells when it does.
            if (!IsDirectory(awaited))
                return false;
        }
        return watchingDirectory;
    }

    // The directory is still the one watched: not gone, nor replaced by another.
    bool StillThere() const {
        const std::optional<DirectoryId> now = IdentityOf(path);
        return now && (!identity || *now == *identity);
    }

    DrainResult DrainDirectory() {
        if (!::FindNextChangeNotification(handle.get())) {
            Fail(LastErrno());
            return DrainResult::Changed;
        }
        if (!StillThere())
            Attach();
        return DrainResult::Changed;
    }

    DrainResult DrainAncestor() {
        return Attach() || error != 0 ? DrainResult::Changed : DrainResult::Quiet;
    }
};

DirNotifier::DirNotifier(std::string path) : impl_(std::make_unique<Impl>()) {
    impl_->path = std::move(path);
    impl_->Attach();
}

DirNotifier::~DirNotifier() = default;

int DirNotifier::Error() const {
    return impl_->error;
}

DirNotifier::DrainResult DirNotifier::Drain() {
    Impl& self = *impl_;
    if (self.error != 0 || ::WaitForSingleObject(self.handle.get(), 0) != WAIT_OBJECT_0)
        return DrainResult::Quiet;
    return self.watchingDirectory ? self.DrainDirectory() : self.DrainAncestor();
}

// A notification says only that something changed: every pass lists the whole directory.
ChangeSet DirNotifier::TakeChanges() {
    return ChangeSet{};
}

HANDLE WaitHandle(DirNotifier& notifier) {
    const DirNotifier::Impl& impl = notifier.impl();
    return impl.error == 0 && impl.handle ? impl.handle.get() : nullptr;
}

} // namespace platform
