#include "platform/posix/ShareListing.h"

#include "platform/posix/ListingPeriod.h"

#include <cerrno>

namespace platform {

ShareListing::ShareListing(WatchedDir dir, std::chrono::milliseconds unansweredAfter)
    : dir_(std::move(dir)), unansweredAfter_(unansweredAfter) {
    timer_.Arm(ListingPeriod({}));
}

void ShareListing::ChangeAnnounced() {
    if (listing_.Busy())
        changedMeanwhile_ = true;
    else
        StartListing(true);
}

void ShareListing::TimerFired() {
    if (!timer_.Fired())
        return;
    if (!listing_.Busy())
        StartListing(false);
    else if (failure_ == 0)
        failure_ = ETIMEDOUT;
}

std::optional<ChangeSet> ShareListing::TakePass() {
    const bool announced = announced_;
    std::optional<DirListing> listing = listing_.Take();
    if (!listing) {
        // What an earlier watch's listing found with another mask or filter: list again.
        if (!listing_.Busy())
            StartListing(announced);
        return std::nullopt;
    }
    lastTook_ = listing->took;
    if (changedMeanwhile_)
        StartListing(true);
    else
        timer_.Arm(ListingPeriod(lastTook_));
    failure_ = listing->DirectoryGone() ? 0 : listing->error;
    if (failure_ != 0)
        return std::nullopt;
    return ChangeSet{.listing = std::move(listing), .announced = announced};
}

void ShareListing::StartListing(bool announced) {
    changedMeanwhile_ = false;
    announced_ = announced;
    // While it runs, the timer tells when it runs too long; without a thread, the next period
    // tries again.
    if (listing_.Start(dir_))
        timer_.Arm(UnansweredAfter(lastTook_, unansweredAfter_));
    else
        timer_.Arm(ListingPeriod({}));
}

} // namespace platform
