#include "platform/posix/ShareListing.h"

#include "platform/posix/ListingPeriod.h"

namespace platform {

ShareListing::ShareListing(WatchedDir dir) : dir_(std::move(dir)) {
    timer_.Arm(ListingPeriod({}));
}

void ShareListing::ChangeAnnounced() {
    if (listing_.Busy())
        changedMeanwhile_ = true;
    else
        StartListing(true);
}

void ShareListing::TimerFired() {
    if (timer_.Fired() && !listing_.Busy())
        StartListing(false);
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
    if (changedMeanwhile_)
        StartListing(true);
    else
        timer_.Arm(ListingPeriod(listing->took));
    failure_ = listing->DirectoryGone() ? 0 : listing->error;
    if (failure_ != 0)
        return std::nullopt;
    return ChangeSet{.listing = std::move(listing), .announced = announced};
}

void ShareListing::StartListing(bool announced) {
    changedMeanwhile_ = false;
    announced_ = announced;
    timer_.Disarm();
    // Without a thread, the next period tries again.
    if (!listing_.Start(dir_))
        timer_.Arm(ListingPeriod({}));
}

} // namespace platform
