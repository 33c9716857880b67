#pragma once

#include "platform/DirSearch.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace platform {

// A directory to watch, and what a listing of it keeps (see SearchDirectory).
struct WatchedDir {
    std::string path;
    std::string mask = "*.*";
    std::int32_t attrib = 0;
    bool operator==(const WatchedDir&) const = default;
};

// What a directory's watch gives its next pass: every name changed since the last pass or,
// where the watch can't tell them all, a whole listing of the directory that it took itself.
struct ChangeSet {
    // When there is no listing: the distinct names changed since the last pass, in the order
    // their first event arrived; subdirectories' names included.
    std::vector<std::string> names{};
    // A whole listing of the directory, with the mask and attribute filter of its WatchedDir.
    std::optional<DirListing> listing{};
    // False for a listing the watch took on its own, without a change notification: a pass that
    // finds nothing in it leaves the log alone.
    bool announced = true;
};

// What one wait saw.
struct WaitResult {
    enum class Status {
        Ready,   // the directories of ready are due a pass
        Stopped, // a stop was requested: the directories of ready are served, then the run ends
        Failed   // the wait itself failed (error): the run ends
    };
    Status status = Status::Ready;
    // Slots due a pass, ascending.
    std::vector<std::size_t> ready;
    // Slots that stopped being watched in this wait, each with the errno that says why; each is
    // in ready too, for a last pass.
    std::vector<std::pair<std::size_t, int>> lost;
    int error = 0;
};

// The change notifications of one run: slot i watches dirs[i].path. A slot signals when a name in
// its directory itself is created, deleted, or moved in or out. Changes of contents, times and
// attributes don't signal, nor do events that concern only subdirectories (their names are still
// collected). A path that leads to no directory for a while (missing, a file, a dangling link)
// is waited for: the slot signals once it leads to one again. Symbolic links on the way are
// followed, and so is a link pointed elsewhere.
// Where the kernel can't announce every change (a network or user-space file system, whose
// server changes files behind its back), the POSIX backend also lists the directory in full
// once a period, and after each change it does hear, each time on a thread of its own; the
// slot's passes then come with that listing. A share that stops answering holds up no other slot
// and no stop: it is not listed again until its listing returns, and a listing that failed while
// the directory is still there makes no pass.
class DirWatch {
public:
    // Throws std::system_error when the stop event can't be made. A path that can't be watched
    // stays out of the run (Error).
    explicit DirWatch(const std::vector<WatchedDir>& dirs);
    ~DirWatch();
    DirWatch(const DirWatch&) = delete;
    DirWatch& operator=(const DirWatch&) = delete;

    // 0 while the slot is watched, otherwise the errno that ended it: EACCES, or for the
    // system's limits EMFILE (inotify instances or open files) and ENOSPC (watches).
    int Error(std::size_t slot) const;

    // Blocks, without a time-out, until a directory is due a pass or a stop is requested. Reads
    // every pending event of the directories it returns: the re-arm that comes before a pass, so
    // that a change made during the pass signals again.
    WaitResult Wait();

    // What the slot's next pass takes; starts a new collection of names. A listing (taken now,
    // unless the backend took it already) for the first pass after the directory was (again)
    // watched, after lost events, and where the notifications don't name what changed.
    ChangeSet TakeChanges(std::size_t slot);

    // Callable from any thread. The request stays: every later Wait returns Stopped.
    void RequestStop();

private:
    struct Backend;
    std::unique_ptr<Backend> backend_;
};

// Why a directory can't be watched, for its user: the system's text for error (see
// DirWatch::Error) and, where a limit of the system is the cause, how to raise it.
std::string DescribeWatchError(int error);

} // namespace platform
