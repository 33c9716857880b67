#include "platform/DirWatch.h"

#include "platform/win32/ChangeNotificationPath.h"
#include "platform/win32/Handle.h"
#include "platform/win32/Win32Error.h"

#include <atomic>
#include <cerrno>
#include <cstring>
#include <system_error>

namespace platform {

struct DirWatch::Backend {
    // Automatic reset: the one wait that sees the signal consumes it; later waits learn of the
    // request from stopRequested.
    KernelHandle stop;
    std::atomic<bool> stopRequested{false};
    std::vector<WatchedDir> dirs;
    std::vector<ChangeNotificationPath> slots;
};

DirWatch::DirWatch(const std::vector<WatchedDir>& dirs) : backend_(std::make_unique<Backend>()) {
    backend_->stop.reset(::CreateEventA(nullptr, FALSE, FALSE, nullptr));
    if (!backend_->stop)
        throw std::system_error(LastErrno(), std::generic_category(), "CreateEventA");
    backend_->dirs = dirs;
    backend_->slots.reserve(dirs.size());
    for (const WatchedDir& dir : dirs)
        backend_->slots.emplace_back(dir.path);
}

DirWatch::~DirWatch() = default;

int DirWatch::Error(std::size_t slot) const {
    return backend_->slots.at(slot).Error();
}

WaitResult DirWatch::Wait() {
    WaitResult result;
    while (result.ready.empty()) {
        std::vector<HANDLE> handles;
        std::vector<std::size_t> slotOf;
        for (std::size_t slot = 0; slot < backend_->slots.size(); ++slot) {
            if (const HANDLE handle = backend_->slots[slot].WaitHandle()) {
                handles.push_back(handle);
                slotOf.push_back(slot);
            }
        }
        // The stop event takes the last of the wait's slots.
        if (handles.size() >= MAXIMUM_WAIT_OBJECTS)
            return {WaitResult::Status::Failed, {}, {}, E2BIG};
        handles.push_back(backend_->stop.get());
        // A stop that an earlier wait consumed must not leave this one blocked.
        const DWORD timeout = backend_->stopRequested.load() ? 0 : INFINITE;
        if (::WaitForMultipleObjects(static_cast<DWORD>(handles.size()), handles.data(), FALSE,
                                     timeout) == WAIT_FAILED)
            return {WaitResult::Status::Failed, {}, {}, LastErrno()};
        // The wait names only the lowest signalled handle; every directory signalled now is
        // served.
        for (std::size_t k = 0; k < slotOf.size(); ++k) {
            ChangeNotificationPath& watched = backend_->slots[slotOf[k]];
            if (watched.Drain())
                result.ready.push_back(slotOf[k]);
            if (watched.Error() != 0)
                result.lost.emplace_back(slotOf[k], watched.Error());
        }
        if (backend_->stopRequested.load()) {
            result.status = WaitResult::Status::Stopped;
            break;
        }
    }
    return result;
}

// A notification says only that something changed: every pass lists the whole directory.
ChangeSet DirWatch::TakeChanges(std::size_t slot) {
    const WatchedDir& dir = backend_->dirs.at(slot);
    return {.listing = ListDirectory(dir.path, dir.mask, dir.attrib)};
}

void DirWatch::RequestStop() {
    backend_->stopRequested.store(true);
    ::SetEvent(backend_->stop.get());
}

std::string DescribeWatchError(int error) {
    return std::strerror(error);
}

} // namespace platform
