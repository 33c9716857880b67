#include "platform/StopEvent.h"

#include "platform/win32/Handle.h"
#include "platform/win32/WaitHandles.h"
#include "platform/win32/Win32Error.h"

#include <system_error>

namespace platform {

struct StopEvent::Impl {
    KernelHandle event;
};

// Automatic reset: the one wait that sees the signal consumes it; later waits learn of the
// request from Requested() (see WaitForChanges).
StopEvent::StopEvent() : impl_(std::make_unique<Impl>()) {
    impl_->event.reset(::CreateEventA(nullptr, FALSE, FALSE, nullptr));
    if (!impl_->event)
        throw std::system_error(LastErrno(), std::generic_category(), "CreateEventA");
}

StopEvent::~StopEvent() = default;

void StopEvent::Signal() {
    requested_.store(true);
    ::SetEvent(impl_->event.get());
}

HANDLE WaitHandle(StopEvent& stop) {
    return stop.impl().event.get();
}

} // namespace platform
