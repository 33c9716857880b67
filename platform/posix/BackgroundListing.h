#pragma once

#include "platform/DirSearch.h"
#include "platform/DirWatch.h"

#include <memory>
#include <optional>
#include <thread>

namespace platform {

// Lists a directory on a thread of its own, one listing at a time, so that a file system that
// stops answering holds up that thread only. A share whose server is gone can keep opendir or
// getdents waiting in the kernel for minutes (NFS soft mounts, SMB), or for ever (NFS hard
// mounts, a FUSE daemon that hangs), and no signal but SIGKILL ends that wait.
class BackgroundListing {
public:
    // Throws std::system_error when the system can't create the completion event.
    BackgroundListing();
    // Joins a thread that has finished. One still waiting in the kernel is left to finish on
    // its own: it touches only the state it shares with this object, which it keeps alive.
    ~BackgroundListing();
    BackgroundListing(const BackgroundListing&) = delete;
    BackgroundListing& operator=(const BackgroundListing&) = delete;

    // Starts listing dir (see SearchDirectory). False while the last listing has not been taken
    // yet, or when no thread could be created.
    bool Start(const WatchedDir& dir);
    // A listing was started and has not been taken yet.
    bool Busy() const { return thread_.joinable(); }
    // The listing once it is done (PollFd readable), or nothing while it is still running.
    std::optional<DirListing> Take();

    // Readable once a listing is done, until it is taken.
    int PollFd() const;

private:
    struct Shared;
    std::shared_ptr<Shared> shared_;
    std::thread thread_;
};

} // namespace platform
