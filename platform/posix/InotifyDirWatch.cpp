#include "platform/DirWatch.h"

#include "platform/posix/FileDescriptor.h"
#include "platform/posix/InotifyPath.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdint>
#include <system_error>

namespace platform {

struct DirWatch::Backend {
    FileDescriptor stop; // an eventfd, readable once a stop is requested
    std::atomic<bool> stopRequested{false};
    std::vector<InotifyPath> slots;
};

DirWatch::DirWatch(const std::vector<std::string>& paths) : backend_(std::make_unique<Backend>()) {
    backend_->stop.reset(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK));
    if (!backend_->stop)
        throw std::system_error(errno, std::generic_category(), "eventfd");
    backend_->slots.reserve(paths.size());
    for (const std::string& path : paths)
        backend_->slots.emplace_back(path);
}

DirWatch::~DirWatch() = default;

int DirWatch::Error(std::size_t slot) const {
    return backend_->slots.at(slot).Error();
}

// One poll over the stop event and every slot still watched. Each descriptor polled after the
// stop event names the slot it serves, so a slot may bring more than one.
WaitResult DirWatch::Wait() {
    std::vector<pollfd> fds{{backend_->stop.get(), POLLIN, 0}};
    std::vector<std::size_t> slotOf{0};
    for (std::size_t slot = 0; slot < backend_->slots.size(); ++slot) {
        if (backend_->slots[slot].Error() == 0) {
            fds.push_back({backend_->slots[slot].Fd(), POLLIN, 0});
            slotOf.push_back(slot);
        }
    }
    WaitResult result;
    while (result.ready.empty()) {
        if (::poll(fds.data(), fds.size(), -1) < 0) {
            if (errno == EINTR)
                continue;
            return {WaitResult::Status::Failed, {}, {}, errno};
        }
        for (std::size_t k = 1; k < fds.size(); ++k) {
            if (fds[k].revents == 0)
                continue;
            InotifyPath& watched = backend_->slots[slotOf[k]];
            if (watched.Drain())
                result.ready.push_back(slotOf[k]);
            if (watched.Error() != 0) {
                result.lost.emplace_back(slotOf[k], watched.Error());
                fds[k].fd = -1; // out of the poll from now on
            }
        }
        if (backend_->stopRequested.load()) {
            result.status = WaitResult::Status::Stopped;
            break;
        }
    }
    return result;
}

ChangeSet DirWatch::TakeChanges(std::size_t slot) {
    return backend_->slots.at(slot).TakeChanges();
}

void DirWatch::RequestStop() {
    backend_->stopRequested.store(true);
    const std::uint64_t one = 1;
    // Only a counter at its maximum refuses the write, and that counter already wakes the wait.
    [[maybe_unused]] const ssize_t written = ::write(backend_->stop.get(), &one, sizeof one);
}

} // namespace platform
