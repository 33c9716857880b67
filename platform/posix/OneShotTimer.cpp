#include "platform/posix/OneShotTimer.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <sys/timerfd.h>
#include <system_error>
#include <unistd.h>

namespace platform {

OneShotTimer::OneShotTimer() : fd_(::timerfd_create(CLOCK_MONOTONIC, TFD_CLOEXEC | TFD_NONBLOCK)) {
    if (!fd_)
        throw std::system_error(errno, std::generic_category(), "timerfd_create");
}

void OneShotTimer::Arm(std::chrono::nanoseconds delay) {
    // A zero time would disarm the timer instead.
    const auto ns = std::max<std::chrono::nanoseconds::rep>(delay.count(), 1);
    itimerspec when{};
    when.it_value.tv_sec = static_cast<time_t>(ns / 1'000'000'000);
    when.it_value.tv_nsec = static_cast<long>(ns % 1'000'000'000);
    // Fails only for a bad descriptor or value, neither of which can happen here.
    ::timerfd_settime(fd_.get(), 0, &when, nullptr);
}

void OneShotTimer::Disarm() {
    const itimerspec never{};
    ::timerfd_settime(fd_.get(), 0, &never, nullptr);
    Fired();
}

bool OneShotTimer::Fired() {
    std::uint64_t expirations = 0;
    return ::read(fd_.get(), &expirations, sizeof expirations) == sizeof expirations;
}

} // namespace platform
