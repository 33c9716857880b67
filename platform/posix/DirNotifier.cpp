#include "platform/DirNotifier.h"

#include "platform/posix/FileDescriptor.h"
#include "platform/posix/PollHandles.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstddef>
#include <sys/inotify.h>
#include <unistd.h>
#include <unordered_set>
#include <utility>

namespace platform {

namespace {

constexpr std::uint32_t SelfGone = IN_DELETE_SELF | IN_MOVE_SELF | IN_UNMOUNT | IN_IGNORED;
constexpr std::uint32_t DirMask = IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO |
                                  IN_DELETE_SELF | IN_MOVE_SELF | IN_ONLYDIR;
// While the directory is missing: the ancestor gains the next name on the way to it, or goes.
constexpr std::uint32_t AncestorMask =
    IN_CREATE | IN_MOVED_TO | IN_DELETE_SELF | IN_MOVE_SELF | IN_ONLYDIR;
// While the directory is watched: an ancestor renamed or removed takes it away from its path
// without an event of its own. Added to whatever else watches that ancestor.
constexpr std::uint32_t GuardMask = IN_MOVE_SELF | IN_DELETE_SELF | IN_ONLYDIR | IN_MASK_ADD;
// Beyond this many names a pass lists the whole directory instead.
constexpr std::size_t MaxNames = 1 << 16;

// "a/b/c" -> {"a/b", "c"}; "/a" -> {"/", "a"}; "a" -> {".", "a"}.
std::pair<std::string, std::string> SplitLast(std::string path) {
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    const auto slash = path.rfind('/');
    if (slash == std::string::npos)
        return {".", path};
    std::string parent = path.substr(0, slash == 0 ? 1 : slash);
    return {parent, path.substr(slash + 1)};
}

} // namespace

struct DirNotifier::Impl {
    std::string path;
    FileDescriptor fd;
    int error = 0;
    int dirWatch = -1;       // the directory's watch; -1 while it is missing
    int ancestorWatch = -1;  // while it is missing: the nearest existing ancestor's watch
    std::string awaited;     // the name in that ancestor that leads to the directory
    std::vector<int> guards; // while it is watched: its ancestors' watches (GuardMask)
    bool complete = false;   // names holds every change since the last pass
    std::vector<std::string> names;
    std::unordered_set<std::string> seen;

    void Incomplete() {
        complete = false;
        names.clear();
        seen.clear();
    }

    void Collect(const char* name) {
        if (!complete)
            return;
        if (names.size() >= MaxNames)
            return Incomplete();
        if (seen.insert(name).second)
            names.emplace_back(name);
    }

    void DropWatch(int& wd) {
        if (wd >= 0)
            ::inotify_rm_watch(fd.get(), wd);
        wd = -1;
    }

    // True when the directory is watched; false while it is missing or on a failure (error).
    bool AddDirWatch() {
        const int wd = ::inotify_add_watch(fd.get(), path.c_str(), DirMask);
        if (wd >= 0) {
            dirWatch = wd;
            return true;
        }
        if (errno != ENOENT || path.empty())
            error = errno;
        return false;
    }

    bool WatchAncestor() {
        std::string child = path;
        for (;;) {
            auto [parent, name] = SplitLast(child);
            const int wd = ::inotify_add_watch(fd.get(), parent.c_str(), AncestorMask);
            if (wd >= 0) {
                ancestorWatch = wd;
                awaited = name;
                return true;
            }
            if (errno != ENOENT || parent == child) {
                error = errno;
                return false;
            }
            child = parent;
        }
    }

    // Best effort: without a guard only an ancestor's rename goes unnoticed.
    void GuardAncestors() {
        for (std::string child = path;;) {
            std::string parent = SplitLast(child).first;
            if (parent == child)
                return;
            const int wd = ::inotify_add_watch(fd.get(), parent.c_str(), GuardMask);
            if (wd >= 0 && wd != dirWatch)
                guards.push_back(wd);
            child = std::move(parent);
        }
    }

    void DropGuards() {
        for (int& wd : guards)
            DropWatch(wd);
        guards.clear();
    }

    // Watches the directory, or while it is missing the nearest existing ancestor.
    // Returns true when the directory itself is watched.
    bool Attach() {
        DropGuards();
        DropWatch(ancestorWatch);
        if (!AddDirWatch() && error == 0 && WatchAncestor() && AddDirWatch()) // appeared meanwhile
            DropWatch(ancestorWatch);
        if (dirWatch >= 0)
            GuardAncestors();
        return dirWatch >= 0;
    }

    void Fail(int code) {
        error = code;
        DropWatch(dirWatch);
        DropWatch(ancestorWatch);
        DropGuards();
        Incomplete();
    }

    // Returns true when the event asks for a pass.
    bool Handle(const inotify_event& event) {
        if (event.mask & IN_Q_OVERFLOW) {
            Incomplete();
            return dirWatch >= 0 || Attach();
        }
        if (event.wd == dirWatch)
            return HandleDirEvent(event);
        if (event.wd == ancestorWatch)
            return HandleAncestorEvent(event);
        if ((event.mask & (IN_MOVE_SELF | IN_DELETE_SELF)) &&
            std::find(guards.begin(), guards.end(), event.wd) != guards.end())
            return LoseDirectory();
        return false; // a watch given up before
    }

    // The directory has left its path: wait for it there again. Asks for a pass.
    bool LoseDirectory() {
        DropWatch(dirWatch);
        Incomplete();
        Attach();
        return true;
    }

    bool HandleDirEvent(const inotify_event& event) {
        if (event.mask & SelfGone)
            return LoseDirectory();
        if (event.len > 0)
            Collect(event.name);
        return !(event.mask & IN_ISDIR);
    }

    bool HandleAncestorEvent(const inotify_event& event) {
        const bool gone = event.mask & SelfGone;
        if (gone)
            ancestorWatch = -1;
        else if (event.len == 0 || awaited != event.name)
            return false;
        if (Attach()) {
            Incomplete();
            return true;
        }
        return error != 0;
    }
};

DirNotifier::DirNotifier(std::string path) : impl_(std::make_unique<Impl>()) {
    impl_->path = std::move(path);
    impl_->fd.reset(::inotify_init1(IN_CLOEXEC | IN_NONBLOCK));
    if (!impl_->fd)
        impl_->error = errno;
    else
        impl_->Attach();
}

DirNotifier::~DirNotifier() = default;

int DirNotifier::Error() const {
    return impl_->error;
}

DirNotifier::DrainResult DirNotifier::Drain() {
    if (impl_->error != 0)
        return DrainResult::Quiet;
    bool due = false;
    alignas(inotify_event) char buffer[64 * 1024];
    for (;;) {
        const ssize_t size = ::read(impl_->fd.get(), buffer, sizeof buffer);
        if (size < 0 && errno == EINTR)
            continue;
        if (size < 0 && errno == EAGAIN)
            break;
        if (size <= 0) {
            impl_->Fail(size < 0 ? errno : EIO);
            return DrainResult::Changed;
        }
        // The kernel pads every record so that the next one is aligned again.
        for (ssize_t at = 0; at < size;) {
            const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
            due = impl_->Handle(*event) || due;
            at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
        }
        // A read that left room for the largest event took everything that was queued.
        if (static_cast<std::size_t>(size) + sizeof(inotify_event) + NAME_MAX + 1 <= sizeof buffer)
            break;
    }
    return due ? DrainResult::Changed : DrainResult::Quiet;
}

ChangeSet DirNotifier::TakeChanges() {
    Impl& self = *impl_;
    ChangeSet changes{self.complete && self.dirWatch >= 0, std::move(self.names)};
    self.names.clear();
    self.seen.clear();
    self.complete = self.dirWatch >= 0;
    return changes;
}

int PollFd(DirNotifier& notifier) {
    return notifier.impl().fd.get();
}

} // namespace platform
