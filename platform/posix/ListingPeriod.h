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

} // namespace platform
