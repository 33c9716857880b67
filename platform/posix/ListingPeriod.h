#pragma once

#include <algorithm>
#include <chrono>

namespace platform {

// How long a directory whose changes the kernel can't announce waits between two full listings,
// given what the last one took: listings take about 1% of the time, once a second at most and
// once a minute at least.
constexpr std::chrono::milliseconds ListingPeriod(std::chrono::nanoseconds lastListing) {
    using std::chrono::milliseconds;
    constexpr milliseconds shortest = std::chrono::seconds(1);
    constexpr milliseconds longest = std::chrono::seconds(60);
    const auto share = std::chrono::ceil<milliseconds>(lastListing) * 100;
    return std::clamp<milliseconds>(share, shortest, longest);
}

// How long a listing may run before its directory counts as not answering: least, or three times
// as long as the last listing took when that is longer, so that a share that is merely large
// does not count as gone at every listing.
constexpr std::chrono::milliseconds UnansweredAfter(std::chrono::nanoseconds lastListing,
                                                    std::chrono::milliseconds least) {
    return std::max(least, std::chrono::ceil<std::chrono::milliseconds>(lastListing) * 3);
}

} // namespace platform
