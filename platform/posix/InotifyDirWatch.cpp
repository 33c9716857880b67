#include "platform/DirWatch.h"

#include "platform/posix/FileDescriptor.h"
#include "platform/posix/FileSystemKind.h"
#include "platform/posix/InotifyPath.h"
#include "platform/posix/ShareListing.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstring>
#include <system_error>
#include <utility>

namespace platform {

struct DirWatch::Backend {
    FileDescriptor stop; // an eventfd, readable once a stop is requested
    std::atomic<bool> stopRequested{false};
    std::vector<WatchedDir> dirs;
    std::vector<InotifyPath> slots;
    // For each slot: its full listings when the kernel can't announce its changes, else null;
    // the pass its last listing makes; and the errno when its listings can't be set up.
    std::vector<std::unique_ptr<ShareListing>> shares;
    std::vector<std::optional<ChangeSet>> sharePasses;
    std::vector<int> shareErrors;

    std::chrono::milliseconds unansweredAfter{};
    std::chrono::steady_clock::time_point lastReturn{}; // of the last wait
    std::chrono::microseconds gathering{0};             // before the next wait looks

    int ErrorOf(std::size_t slot) const;
    // Waits, for a stop only, until gathering time after the last wait returned.
    void Gather();
    // One poll over the stop event and every slot still watched, until something is due.
    WaitResult Poll(std::optional<std::chrono::steady_clock::time_point> until);

    void AddSlot(const WatchedDir& dir);
    // Serves one descriptor of a share's slot that poll found readable; true when a pass is due.
    bool ServeShare(std::size_t slot, int fd);
};

void DirWatch::Backend::AddSlot(const WatchedDir& dir) {
    dirs.push_back(dir);
    slots.emplace_back(dir.path);
    std::unique_ptr<ShareListing> share;
    int error = 0;
    if (slots.back().Error() == 0 && !KernelAnnouncesChanges(dir.path)) {
        try {
            share = std::make_unique<ShareListing>(dir, unansweredAfter);
        } catch (const std::system_error& failure) {
            error = failure.code().value();
        }
    }
    shares.push_back(std::move(share));
    sharePasses.emplace_back();
    shareErrors.push_back(error);
}

bool DirWatch::Backend::ServeShare(std::size_t slot, int fd) {
    ShareListing& share = *shares[slot];
    if (fd == share.TimerFd()) {
        share.TimerFired();
        return false;
    }
    if (fd == share.DoneFd()) {
        sharePasses[slot] = share.TakePass();
        return sharePasses[slot].has_value();
    }
    // A change heard through the kernel: the full listing that follows it makes the pass.
    if (slots[slot].Drain() && slots[slot].Error() == 0)
        share.ChangeAnnounced();
    return slots[slot].Error() != 0;
}

// In a burst of changes, they gather for a moment before a pass: one pass over many names costs
// far less than many passes over a few. A wait that finds changes already there lets the next
// one gather for twice as long, up to a few milliseconds, far less than anyone notices in a log;
// a wait that had to wait for them gathers nothing, so that a lone change is logged at once.
constexpr std::chrono::microseconds FirstGathering{1000};
constexpr std::chrono::microseconds LongestGathering{4000};

void DirWatch::Backend::Gather() {
    const auto left = lastReturn + gathering - std::chrono::steady_clock::now();
    if (left <= std::chrono::nanoseconds::zero() || left > gathering)
        return;
    const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(left);
    const timespec timeout{static_cast<time_t>(seconds.count()),
                           static_cast<long>((left - seconds).count())};
    pollfd stopped{stop.get(), POLLIN, 0};
    ::ppoll(&stopped, 1, &timeout, nullptr);
}

DirWatch::DirWatch(const std::vector<WatchedDir>& dirs, std::chrono::milliseconds unansweredAfter)
    : backend_(std::make_unique<Backend>()) {
    backend_->stop.reset(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK));
    if (!backend_->stop)
        throw std::system_error(errno, std::generic_category(), "eventfd");
    backend_->unansweredAfter = unansweredAfter;
    backend_->dirs.reserve(dirs.size());
    backend_->slots.reserve(dirs.size());
    for (const WatchedDir& dir : dirs)
        backend_->AddSlot(dir);
}

DirWatch::~DirWatch() = default;

int DirWatch::Error(std::size_t slot) const {
    return backend_->ErrorOf(slot);
}

int DirWatch::Backend::ErrorOf(std::size_t slot) const {
    const int error = slots.at(slot).Error();
    return error != 0 ? error : shareErrors.at(slot);
}

namespace {

// poll's time-out for until: whole milliseconds, rounded up so that the time has come when it
// ends; -1 (none) without until.
int PollTimeout(const std::optional<std::chrono::steady_clock::time_point>& until) {
    if (!until)
        return -1;
    const auto left =
        std::chrono::ceil<std::chrono::milliseconds>(*until - std::chrono::steady_clock::now());
    return static_cast<int>(std::clamp<std::int64_t>(left.count(), 0, INT_MAX));
}

} // namespace

WaitResult DirWatch::Wait(std::optional<std::chrono::steady_clock::time_point> until) {
    backend_->Gather();
    WaitResult result = backend_->Poll(until);
    backend_->lastReturn = std::chrono::steady_clock::now();
    return result;
}

// Each descriptor polled after the stop event names the slot it serves, so a slot may bring more
// than one.
WaitResult DirWatch::Backend::Poll(std::optional<std::chrono::steady_clock::time_point> until) {
    std::vector<pollfd> fds{{stop.get(), POLLIN, 0}};
    std::vector<std::size_t> slotOf{0};
    for (std::size_t slot = 0; slot < slots.size(); ++slot) {
        if (ErrorOf(slot) != 0)
            continue;
        fds.push_back({slots[slot].Fd(), POLLIN, 0});
        slotOf.push_back(slot);
        if (const auto& share = shares[slot]) {
            for (const int fd : {share->TimerFd(), share->DoneFd()}) {
                fds.push_back({fd, POLLIN, 0});
                slotOf.push_back(slot);
            }
        }
    }
    WaitResult result;
    bool looked = false; // the first poll only looks whether anything is there already
    bool foundWaiting = false;
    while (result.ready.empty() && result.answering.empty()) {
        const int ready = ::poll(fds.data(), fds.size(), looked ? PollTimeout(until) : 0);
        if (ready < 0) {
            if (errno == EINTR)
                continue;
            return {WaitResult::Status::Failed, {}, {}, {}, errno};
        }
        if (!looked)
            foundWaiting = ready > 0;
        looked = true;
        if (ready == 0 && PollTimeout(until) == 0) {
            result.status = WaitResult::Status::TimedOut;
            break;
        }
        for (std::size_t k = 1; k < fds.size(); ++k) {
            if (fds[k].revents == 0 || fds[k].fd < 0)
                continue;
            const std::size_t slot = slotOf[k];
            InotifyPath& watched = slots[slot];
            const ShareListing* share = shares[slot].get();
            const int failure = share ? share->Failure() : 0;
            const bool due = share ? ServeShare(slot, fds[k].fd) : watched.Drain();
            if (share && share->Failure() != failure)
                result.answering.emplace_back(slot, share->Failure());
            if (due && (result.ready.empty() || result.ready.back() != slot))
                result.ready.push_back(slot);
            if (watched.Error() != 0 && fds[k].fd == watched.Fd()) {
                result.lost.emplace_back(slot, watched.Error());
                // Out of the poll from now on, with the share's descriptors that follow it.
                for (std::size_t same = k; same < fds.size() && slotOf[same] == slot; ++same)
                    fds[same].fd = -1;
            }
        }
        if (stopRequested.load()) {
            result.status = WaitResult::Status::Stopped;
            break;
        }
    }
    gathering = foundWaiting ? std::clamp(2 * gathering, FirstGathering, LongestGathering)
                             : std::chrono::microseconds::zero();
    return result;
}

ChangeSet DirWatch::TakeChanges(std::size_t slot) {
    std::optional<std::vector<std::string>> names = backend_->slots.at(slot).TakeNames();
    if (std::optional<ChangeSet> listed = std::exchange(backend_->sharePasses[slot], std::nullopt))
        return std::move(*listed);
    if (names)
        return {.names = std::move(*names)};
    const WatchedDir& dir = backend_->dirs[slot];
    return {.listing = ListDirectory(dir.path, dir.mask, dir.attrib)};
}

void DirWatch::RequestStop() {
    backend_->stopRequested.store(true);
    const std::uint64_t one = 1;
    // Only a counter at its maximum refuses the write, and that counter already wakes the wait.
    [[maybe_unused]] const ssize_t written = ::write(backend_->stop.get(), &one, sizeof one);
}

std::string DescribeWatchError(int error) {
    switch (error) {
    case ENOSPC:
        return "the inotify watch limit is reached; raise it with "
               "sysctl fs.inotify.max_user_watches=<more>";
    case EMFILE:
        return "the inotify instance limit (or the open-file limit) is reached; raise it with "
               "sysctl fs.inotify.max_user_instances=<more> (or ulimit -n)";
    case ETIMEDOUT:
        return "its file system does not answer: a listing has waited for its server too long";
    default:
        return std::strerror(error);
    }
}

} // namespace platform
