#include "platform/posix/InotifyPath.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstddef>
#include <deque>
#include <numeric>

namespace platform {

namespace {

constexpr std::uint32_t SelfGone = IN_DELETE_SELF | IN_MOVE_SELF | IN_UNMOUNT | IN_IGNORED;
constexpr std::uint32_t DirMask = IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO |
                                  IN_DELETE_SELF | IN_MOVE_SELF | IN_ONLYDIR | IN_MASK_ADD;
// A directory on the way: renamed or removed, it takes the path's directory with it without an
// event of that directory's own.
constexpr std::uint32_t WayMask = IN_DELETE_SELF | IN_MOVE_SELF | IN_ONLYDIR | IN_MASK_ADD;
// A directory holding a link on the way, or the name awaited: that name can change too.
constexpr std::uint32_t NameMask = WayMask | IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO;
// Beyond this many events of names a pass lists the whole directory instead.
constexpr std::size_t MaxNames = 1 << 16;
// As the kernel's own path lookup: more links than this on the way is a loop.
constexpr int MaxLinks = 40;
// Each round sets the watches again because the way changed while they were being set.
constexpr int MaxAttachRounds = 8;

std::deque<std::string> Components(const std::string& path) {
    std::deque<std::string> parts;
    for (std::size_t at = 0; at < path.size();) {
        const std::size_t end = std::min(path.find('/', at), path.size());
        if (end > at && path.compare(at, end - at, ".") != 0)
            parts.push_back(path.substr(at, end - at));
        at = end + 1;
    }
    return parts;
}

std::string Join(const std::string& dir, const std::string& name) {
    return dir == "/" ? dir + name : dir + '/' + name;
}

// Each name once, where it came first. Sorting spares a set that would allocate for every name.
std::vector<std::string> Distinct(std::vector<std::string> names) {
    std::vector<std::uint32_t> order(names.size());
    std::iota(order.begin(), order.end(), 0u);
    std::stable_sort(order.begin(), order.end(),
                     [&](std::uint32_t a, std::uint32_t b) { return names[a] < names[b]; });
    std::vector<bool> again(names.size());
    for (std::size_t k = 1; k < order.size(); ++k)
        again[order[k]] = names[order[k]] == names[order[k - 1]];
    std::size_t kept = 0;
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (again[i])
            continue;
        if (kept != i)
            names[kept] = std::move(names[i]);
        ++kept;
    }
    names.resize(kept);
    return names;
}

std::string ReadLink(const std::string& path) {
    std::string target(PATH_MAX, '\0');
    const ssize_t size = ::readlink(path.c_str(), target.data(), target.size());
    target.resize(size > 0 ? static_cast<std::size_t>(size) : 0);
    return target;
}

} // namespace

InotifyPath::InotifyPath(std::string path) : path_(std::move(path)) {
    fd_.reset(::inotify_init1(IN_CLOEXEC | IN_NONBLOCK));
    if (!fd_)
        error_ = errno;
    else if (path_.empty())
        error_ = ENOENT;
    else
        Attach();
}

// Resolves the path one name at a time, as the kernel does, and notes what the way depends on.
InotifyPath::Way InotifyPath::FindWay(const std::string& path) {
    Way way;
    std::deque<std::string> pending = Components(path);
    std::string dir = path.front() == '/' ? "/" : ".";
    int links = 0;
    while (!pending.empty()) {
        const std::string name = std::move(pending.front());
        pending.pop_front();
        way.steps.push_back({dir, name, true});
        const std::string next = Join(dir, name);
        struct stat own {};
        if (::lstat(next.c_str(), &own) != 0) {
            if (errno != ENOENT && errno != ENOTDIR)
                way.error = errno;
            return way;
        }
        if (S_ISLNK(own.st_mode)) {
            const std::string target = ReadLink(next);
            if (target.empty() || ++links > MaxLinks)
                return way; // waits for the link to change
            std::deque<std::string> parts = Components(target);
            pending.insert(pending.begin(), parts.begin(), parts.end());
            if (target.front() == '/')
                dir = "/";
            continue;
        }
        if (!S_ISDIR(own.st_mode))
            return way; // waits for a directory to take the name
        way.steps.back().nameMatters = false;
        dir = next;
    }
    way.target = dir;
    return way;
}

// Watches the directory the path leads to, or while it leads to none, the name it waits for;
// each round checks that the way did not change while its watches were being set.
void InotifyPath::Attach() {
    for (int round = 0; round < MaxAttachRounds; ++round) {
        DropWatches();
        const Way way = FindWay(path_);
        if (way.error != 0)
            return Fail(way.error);
        if (!AddWatches(way))
            return;
        if (FindWay(path_) == way) {
            way_ = way;
            return;
        }
    }
}

// False when the watch failed. Watches of the directories on the way are best effort: without
// one, only a rename of that directory goes unnoticed.
bool InotifyPath::AddWatches(const Way& way) {
    if (!way.target.empty()) {
        dirWatch_ = AddWatch(way.target, DirMask);
        if (dirWatch_ < 0 && errno != ENOENT && errno != ENOTDIR) {
            Fail(errno);
            return false;
        }
    }
    for (const Way::Step& step : way.steps) {
        const int wd = AddWatch(step.dir, step.nameMatters ? NameMask : WayMask);
        if (wd >= 0 && step.nameMatters)
            awaited_.emplace_back(wd, step.name);
        const bool needed = step.nameMatters && dirWatch_ < 0;
        if (wd < 0 && needed && errno != ENOENT && errno != ENOTDIR) {
            Fail(errno);
            return false;
        }
    }
    return true;
}

int InotifyPath::AddWatch(const std::string& dir, std::uint32_t mask) {
    const int wd = ::inotify_add_watch(fd_.get(), dir.c_str(), mask);
    if (wd >= 0 && wd != dirWatch_)
        wayWatches_.push_back(wd);
    return wd;
}

void InotifyPath::DropWatches() {
    if (dirWatch_ >= 0)
        ::inotify_rm_watch(fd_.get(), dirWatch_);
    for (const int wd : wayWatches_)
        ::inotify_rm_watch(fd_.get(), wd);
    dirWatch_ = -1;
    wayWatches_.clear();
    awaited_.clear();
}

// The path may lead elsewhere now. A pass is due when it led to a directory (gone now, or
// another), when it leads to one, or when the watch failed.
bool InotifyPath::Reattach() {
    const bool watched = dirWatch_ >= 0;
    Incomplete();
    Attach();
    return watched || dirWatch_ >= 0 || error_ != 0;
}

void InotifyPath::Fail(int code) {
    error_ = code;
    DropWatches();
    Incomplete();
}

bool InotifyPath::Drain() {
    if (error_ != 0)
        return false;
    bool due = false;
    alignas(inotify_event) char buffer[64 * 1024];
    for (;;) {
        const ssize_t size = ::read(fd_.get(), buffer, sizeof buffer);
        if (size < 0 && errno == EINTR)
            continue;
        if (size < 0 && errno == EAGAIN)
            break;
        if (size <= 0) {
            Fail(size < 0 ? errno : EIO);
            return true;
        }
        // The kernel pads every record so that the next one is aligned again.
        for (ssize_t at = 0; at < size && error_ == 0;) {
            const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
            due = Handle(*event) || due;
            at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
        }
        if (error_ != 0)
            return true;
        // A read that left room for the largest event took everything that was queued.
        if (static_cast<std::size_t>(size) + sizeof(inotify_event) + NAME_MAX + 1 <= sizeof buffer)
            break;
    }
    return due;
}

// Returns true when the event asks for a pass.
bool InotifyPath::Handle(const inotify_event& event) {
    if (event.mask & IN_Q_OVERFLOW) {
        // The lost events may have changed the way as well as the directory.
        if (FindWay(path_) != way_)
            return Reattach();
        Incomplete();
        return dirWatch_ >= 0;
    }
    bool due = false;
    if (event.wd == dirWatch_) {
        if (event.mask & SelfGone)
            return Reattach();
        if (event.len > 0)
            Collect(event.name);
        due = !(event.mask & IN_ISDIR);
    }
    const bool wayGone =
        (event.mask & (IN_DELETE_SELF | IN_MOVE_SELF | IN_UNMOUNT)) &&
        std::find(wayWatches_.begin(), wayWatches_.end(), event.wd) != wayWatches_.end();
    if (wayGone || (event.len > 0 && Awaited(event.wd, event.name)))
        return Reattach() || due;
    return due;
}

bool InotifyPath::Awaited(int wd, const char* name) const {
    return std::find(awaited_.begin(), awaited_.end(), std::pair<int, std::string>(wd, name)) !=
           awaited_.end();
}

void InotifyPath::Incomplete() {
    complete_ = false;
    names_.clear();
}

void InotifyPath::Collect(const char* name) {
    if (!complete_)
        return;
    if (names_.size() >= MaxNames)
        return Incomplete();
    names_.emplace_back(name);
}

std::optional<std::vector<std::string>> InotifyPath::TakeNames() {
    std::optional<std::vector<std::string>> names;
    if (complete_ && dirWatch_ >= 0)
        names = Distinct(std::move(names_));
    names_.clear();
    complete_ = dirWatch_ >= 0;
    return names;
}

} // namespace platform
