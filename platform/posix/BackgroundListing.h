#pragma once

#include "platform/DirWatch.h"
#include "platform/posix/FileDescriptor.h"

#include <memory>
#include <optional>
#include <thread>

namespace platform {

struct ListingJob;

// Lists a directory on a thread of its own, one listing at a time, so that a file system that
// stops answering holds up that thread only. A share whose server is gone can keep opendir or
// getdents waiting in the kernel for minutes (NFS soft mounts, SMB), or for ever (NFS hard
// mounts, a FUSE daemon that hangs), and no signal but SIGKILL ends that wait. Such a listing
// outlives its BackgroundListing and is taken over by the next one of the same path, so that a
// share holds at most one thread however often its watch is made again.
class BackgroundListing {
public:
    // Throws std::system_error when the system can't create the completion event.
    BackgroundListing();
    // Joins a thread that has finished. One still waiting in the kernel is left to finish on
    // its own, for the next BackgroundListing of its path to take over.
    ~BackgroundListing();
    BackgroundListing(const BackgroundListing&) = delete;
    BackgroundListing& operator=(const BackgroundListing&) = delete;

    // Starts listing dir (see SearchDirectory), or takes over a listing of dir.path that an
    // earlier BackgroundListing left running. False while the last listing has not been taken
    // yet, or when no thread could be created.
    bool Start(const WatchedDir& dir);
    // A listing was started and has not been taken yet.
    bool Busy() const { return job_ != nullptr; }
    // The listing once it is done (PollFd readable), or nothing while it is still running. A
    // listing taken over that was made with another mask or attribute filter gives nothing and
    // leaves this object free to start again.
    std::optional<DirListing> Take();

    // Readable once a listing is done, until it is taken.
    int PollFd() const { return done_->get(); }

private:
    std::shared_ptr<FileDescriptor> done_;
    std::shared_ptr<ListingJob> job_;
    WatchedDir wanted_;
    std::thread thread_; // not joinable for a listing taken over
};

} // namespace platform
