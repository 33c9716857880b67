#pragma once

#include "platform/DirWatch.h"
#include "platform/posix/BackgroundListing.h"
#include "platform/posix/OneShotTimer.h"

#include <chrono>
#include <optional>

namespace platform {

// The full listings of a directory whose changes the kernel can't announce (see
// KernelAnnouncesChanges): one after every change announced locally, and one after each period
// (ListingPeriod) of quiet. Each runs on its own thread (BackgroundListing), so that a share that
// stops answering holds up nothing else; while one is late, no other starts, and the timer tells
// when it has run too long (UnansweredAfter).
class ShareListing {
public:
    // The first listing follows after the shortest period; a listing that runs for
    // unansweredAfter (at least) makes the share count as not answering. Throws
    // std::system_error when the system can't create the timer or the completion event.
    ShareListing(WatchedDir dir, std::chrono::milliseconds unansweredAfter);

    // A change was announced locally: list as soon as the listing under way, if any, is done.
    void ChangeAnnounced();
    // TimerFd() is readable: the period is over.
    void TimerFired();
    // DoneFd() is readable: the pass the listing makes. A listing that failed while the
    // directory is still there (the share did not answer) makes none. The next listing is
    // started at once when a change was announced meanwhile, otherwise after the period that
    // follows from its cost.
    std::optional<ChangeSet> TakePass();

    // 0 while the share answers; otherwise the errno of the last listing, which failed while the
    // directory is still there, or ETIMEDOUT while one runs too long.
    int Failure() const { return failure_; }

    int TimerFd() const { return timer_.PollFd(); }
    int DoneFd() const { return listing_.PollFd(); }

private:
    void StartListing(bool announced);

    WatchedDir dir_;
    OneShotTimer timer_;
    BackgroundListing listing_;
    bool changedMeanwhile_ = false;
    bool announced_ = false; // the listing under way answers a change announced locally
    std::chrono::milliseconds unansweredAfter_;
    std::chrono::nanoseconds lastTook_{};
    int failure_ = 0;
};

} // namespace platform
