#pragma once

#include "platform/ChangeSet.h"

#include <memory>
#include <string>

namespace platform {

// The change notification of one directory. It signals when a name in the directory itself is
// created, deleted, or moved in or out, and collects those names for the next pass. Changes of
// contents, times and attributes don't signal, nor do events that concern only subdirectories
// (their names are still collected). A directory that is missing, or that goes away, is waited
// for at its path: the notification signals once it exists there again.
class DirNotifier {
public:
    explicit DirNotifier(std::string path);
    ~DirNotifier();
    DirNotifier(const DirNotifier&) = delete;
    DirNotifier& operator=(const DirNotifier&) = delete;

    // 0 while the notification works, otherwise the errno that ended it: ENOTDIR, EACCES, or
    // for the system's limits EMFILE (inotify instances or open files) and ENOSPC (watches).
    int Error() const;

    enum class DrainResult {
        Quiet,  // nothing that asks for a pass
        Changed // a pass is due
    };
    // Reads every pending event: the re-arm that comes before a pass, so that a change made
    // during the pass signals again. A notification that fails here asks for one last pass.
    DrainResult Drain();

    // The names collected since the last call; starts a new collection. Not complete for the
    // first pass after the directory was (again) watched, nor after lost events.
    ChangeSet TakeChanges();

    struct Impl;
    Impl& impl() { return *impl_; }

private:
    std::unique_ptr<Impl> impl_;
};

} // namespace platform
