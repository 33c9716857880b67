#pragma once

#include <memory>

namespace platform {

// A one-shot wake-up for the watch loop's wait (an eventfd on POSIX).
class StopEvent {
public:
    StopEvent();
    ~StopEvent();
    StopEvent(const StopEvent&) = delete;
    StopEvent& operator=(const StopEvent&) = delete;

    // Thread-safe; a signal given before anybody waits is kept until a wait sees it.
    void Signal();

    struct Impl;
    Impl& impl() { return *impl_; }

private:
    std::unique_ptr<Impl> impl_;
};

} // namespace platform
