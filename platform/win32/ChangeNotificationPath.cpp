#include "platform/win32/ChangeNotificationPath.h"

#include "platform/FileChecks.h"
#include "platform/win32/Win32Error.h"

#include <algorithm>
#include <cerrno>
#include <optional>

namespace platform {

namespace {

// Enough for any path: each round of Attach goes one directory deeper.
constexpr int MaxAttachRounds = 256;

// Missing, or something other than a directory in its place: waited for.
bool IsNoDirectory(DWORD error) {
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ||
           error == ERROR_DIRECTORY;
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

ChangeNotificationPath::ChangeNotificationPath(std::string path) : path_(std::move(path)) {
    Attach();
}

void ChangeNotificationPath::Fail(int code) {
    error_ = code;
    handle_.reset();
    watchingDirectory_ = false;
}

// Leaves the handle alone when the directory can't be watched; sets the error unless the path
// leads to no directory (missing, or something else in its place).
bool ChangeNotificationPath::WatchDirectory() {
    const std::optional<DirectoryId> id = IdentityOf(path_);
    const HANDLE notification =
        ::FindFirstChangeNotificationA(path_.c_str(), FALSE, FILE_NOTIFY_CHANGE_FILE_NAME);
    if (notification == INVALID_HANDLE_VALUE) {
        const DWORD code = ::GetLastError();
        if (!IsNoDirectory(code))
            Fail(ErrnoFromWin32(code));
        return false;
    }
    handle_.reset(notification);
    watchingDirectory_ = true;
    identity_ = id;
    return true;
}

// Watches the nearest existing ancestor for new directory names; awaited is its child on the
// way to the path.
bool ChangeNotificationPath::WatchAncestor(std::string& awaited) {
    awaited = path_;
    for (std::string dir = ParentOf(path_); !dir.empty(); dir = ParentOf(dir)) {
        const HANDLE notification =
            ::FindFirstChangeNotificationA(dir.c_str(), FALSE, FILE_NOTIFY_CHANGE_DIR_NAME);
        if (notification != INVALID_HANDLE_VALUE) {
            handle_.reset(notification);
            return true;
        }
        const DWORD code = ::GetLastError();
        if (!IsNoDirectory(code)) {
            Fail(ErrnoFromWin32(code));
            return false;
        }
        awaited = dir;
    }
    Fail(ENOENT);
    return false;
}

// Watches the directory, or while the path leads to none the nearest existing ancestor.
// Returns true when the directory itself is watched.
bool ChangeNotificationPath::Attach() {
    handle_.reset();
    watchingDirectory_ = false;
    if (path_.empty()) {
        Fail(ENOENT);
        return false;
    }
    for (int round = 0; round < MaxAttachRounds; ++round) {
        if (WatchDirectory() || error_ != 0)
            return watchingDirectory_;
        std::string awaited;
        if (!WatchAncestor(awaited))
            return false;
        // Unless a directory on the way appeared before its parent was watched, the ancestor's
        // notification tells when it does.
        if (!IsDirectory(awaited))
            return false;
    }
    return watchingDirectory_;
}

// The directory is still the one watched: not gone, nor replaced by another.
bool ChangeNotificationPath::StillThere() const {
    const std::optional<DirectoryId> now = IdentityOf(path_);
    return now && (!identity_ || *now == *identity_);
}

bool ChangeNotificationPath::Drain() {
    if (error_ != 0 || ::WaitForSingleObject(handle_.get(), 0) != WAIT_OBJECT_0)
        return false;
    if (!watchingDirectory_)
        return Attach() || error_ != 0;
    if (!::FindNextChangeNotification(handle_.get())) {
        Fail(LastErrno());
        return true;
    }
    if (!StillThere())
        Attach();
    return true;
}

} // namespace platform
