#pragma once

#include "platform/win32/Handle.h"

#include <optional>
#include <string>

namespace platform {

// Tells a directory from another one that later took its path.
struct DirectoryId {
    DWORD volume = 0;
    DWORD indexHigh = 0;
    DWORD indexLow = 0;
    bool operator==(const DirectoryId&) const = default;
};

// One watched path: the change notification of the directory there or, while the path leads to
// no directory, of its nearest existing ancestor, which tells when a directory may have come.
class ChangeNotificationPath {
public:
    explicit ChangeNotificationPath(std::string path);

    // The handle to wait on; null once the watch has failed.
    HANDLE WaitHandle() const { return error_ == 0 && handle_ ? handle_.get() : nullptr; }
    // 0 while the path is watched, otherwise the errno that ended the watch.
    int Error() const { return error_; }
    // Re-arms a signalled notification; true when a pass is due (also once when the watch fails).
    bool Drain();

private:
    void Fail(int code);
    bool WatchDirectory();
    bool WatchAncestor(std::string& awaited);
    bool Attach();
    bool StillThere() const;

    std::string path_;
    // The directory's notification or, while it is missing, its nearest existing ancestor's.
    ChangeHandle handle_;
    bool watchingDirectory_ = false;
    std::optional<DirectoryId> identity_;
    int error_ = 0;
};

} // namespace platform
