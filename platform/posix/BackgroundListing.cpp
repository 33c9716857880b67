#include "platform/posix/BackgroundListing.h"

#include "platform/posix/FileDescriptor.h"

#include <cerrno>
#include <mutex>
#include <sys/eventfd.h>
#include <system_error>
#include <unistd.h>

namespace platform {

struct BackgroundListing::Shared {
    FileDescriptor done;
    std::mutex mutex;
    std::optional<DirListing> listing;
};

BackgroundListing::BackgroundListing() : shared_(std::make_shared<Shared>()) {
    shared_->done.reset(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK));
    if (!shared_->done)
        throw std::system_error(errno, std::generic_category(), "eventfd");
}

BackgroundListing::~BackgroundListing() {
    if (!thread_.joinable())
        return;
    bool finished;
    {
        std::lock_guard lock(shared_->mutex);
        finished = shared_->listing.has_value();
    }
    // A finished thread has at most its wake-up left to write; joining it can't hang.
    if (finished)
        thread_.join();
    else
        thread_.detach();
}

bool BackgroundListing::Start(const WatchedDir& dir) {
    if (thread_.joinable())
        return false;
    try {
        thread_ = std::thread([shared = shared_, dir] {
            DirListing listing = ListDirectory(dir.path, dir.mask, dir.attrib);
            {
                std::lock_guard lock(shared->mutex);
                shared->listing = std::move(listing);
            }
            const std::uint64_t one = 1;
            [[maybe_unused]] const ssize_t written = ::write(shared->done.get(), &one, sizeof one);
        });
    } catch (const std::system_error&) {
        return false;
    }
    return true;
}

std::optional<DirListing> BackgroundListing::Take() {
    std::optional<DirListing> listing;
    {
        std::lock_guard lock(shared_->mutex);
        listing.swap(shared_->listing);
    }
    if (!listing)
        return listing;
    thread_.join();
    std::uint64_t count = 0;
    [[maybe_unused]] const ssize_t read = ::read(shared_->done.get(), &count, sizeof count);
    return listing;
}

int BackgroundListing::PollFd() const {
    return shared_->done.get();
}

} // namespace platform
