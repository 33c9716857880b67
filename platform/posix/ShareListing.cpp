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
        StartListing();
}

void ShareListing::TimerFired() {
    if (timer_.Fired() && !listing_.Busy())
        StartListing();
}

std::optional<DirListing> ShareListing::TakeListing() {
    std::optional<DirListing> listing = listing_.Take();
    if (!listing)
        return listing;
    if (changedMeanwhile_)
        StartListing();
    else
        timer_.Arm(ListingPeriod(listing->took));
    return listing;
}

void ShareListing::StartListing() {
    changedMeanwhile_ = false;
    timer_.Disarm();
    // Without a thread, the next period tries again.
    if (!listing_.Start(dir_))
        timer_.Arm(ListingPeriod({}));
}

} // namespace platform
