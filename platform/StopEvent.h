#pragma once

#include <atomic>
#include <memory>

namespace platform {

// The stop request of one run of the watch loop: a wake-up for its wait (an eventfd on POSIX).
// Created before the run's thread, so a request made before the run waits is never lost.
class StopEvent {
public:
    // Throws std::system_error when the system can't create the event.
    StopEvent();
    ~StopEvent();
    StopEvent(const StopEvent&) = delete;
    StopEvent& operator=(const StopEvent&) = delete;

    // Thread-safe; the signal stays until the event is destroyed, so every later wait sees it.
    void Signal();
    bool Requested() const { return requested_.load(); }

    struct Impl;
    Impl& impl() { return *impl_; }

private:
    std::unique_ptr<Impl> impl_;
    std::atomic<bool> requested_{false};
};

} // namespace platform
