#pragma once

#include "platform/posix/FileDescriptor.h"

#include <chrono>

namespace platform {

// A timerfd on the monotonic clock that fires once per Arm.
class OneShotTimer {
public:
    // Throws std::system_error when the system can't create the timer.
    OneShotTimer();

    // Fires after delay (at least a nanosecond); replaces an earlier arming.
    void Arm(std::chrono::nanoseconds delay);
    void Disarm();
    // True once after the timer fired; reading it makes PollFd quiet again.
    bool Fired();

    // Readable once the timer has fired, until Fired() is called.
    int PollFd() const { return fd_.get(); }

private:
    FileDescriptor fd_;
};

} // namespace platform
