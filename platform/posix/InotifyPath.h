#pragma once

#include "platform/posix/FileDescriptor.h"

#include <sys/inotify.h>

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace platform {

// One watched path on an inotify instance of its own: the directory the path leads to, each
// directory on the way (which must stay where it is), and the names on the way that can change
// where it leads (a symbolic link, or while it leads nowhere, the name awaited).
class InotifyPath {
public:
    explicit InotifyPath(std::string path);

    // The descriptor to poll; readable when events are pending.
    int Fd() const { return fd_.get(); }
    // 0 while the path is watched, otherwise the errno that ended the watch.
    int Error() const { return error_; }
    // Reads every pending event; true when a pass is due (also once when the watch fails).
    bool Drain();
    // The names collected since the last call, or nothing when they may not be all that changed
    // (the first call after the directory was watched, lost events); starts a new collection.
    std::optional<std::vector<std::string>> TakeNames();

private:
    // Where the path leads now.
    struct Way {
        struct Step {
            std::string dir;  // a directory on the way
            std::string name; // the entry of dir the way takes
            bool nameMatters; // a link, or the name awaited
            bool operator==(const Step&) const = default;
        };
        std::string target; // the directory; empty while the path leads to none
        std::vector<Step> steps;
        int error = 0;
        bool operator==(const Way&) const = default;
    };
    static Way FindWay(const std::string& path);

    void Attach();
    bool AddWatches(const Way& way);
    int AddWatch(const std::string& dir, std::uint32_t mask);
    void DropWatches();
    bool Reattach();
    void Fail(int code);
    bool Handle(const inotify_event& event);
    bool Awaited(int wd, const char* name) const;
    void Incomplete();
    void Collect(const char* name);

    std::string path_;
    Way way_; // as the watches were set
    FileDescriptor fd_;
    int error_ = 0;
    int dirWatch_ = -1; // the directory's watch; -1 while the path leads to none
    std::vector<int> wayWatches_;
    std::vector<std::pair<int, std::string>> awaited_; // names that can change the way
    bool complete_ = false;          // names_ holds every change since the last pass
    std::vector<std::string> names_; // in the order of their events, repeated as they came
};

} // namespace platform
