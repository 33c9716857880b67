#include "platform/StopEvent.h"

#include "platform/posix/FileDescriptor.h"
#include "platform/posix/PollHandles.h"

#include <cerrno>
#include <cstdint>
#include <sys/eventfd.h>
#include <system_error>
#include <unistd.h>

namespace platform {

struct StopEvent::Impl {
    FileDescriptor fd;
};

StopEvent::StopEvent() : impl_(std::make_unique<Impl>()) {
    impl_->fd.reset(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK));
    if (!impl_->fd)
        throw std::system_error(errno, std::generic_category(), "eventfd");
}

StopEvent::~StopEvent() = default;

void StopEvent::Signal() {
    requested_.store(true);
    const std::uint64_t one = 1;
    // Only a counter at its maximum refuses the write, and that counter already wakes the wait.
    [[maybe_unused]] ssize_t written = ::write(impl_->fd.get(), &one, sizeof one);
}

int PollFd(StopEvent& stop) {
    return stop.impl().fd.get();
}

} // namespace platform
