#include "platform/posix/BackgroundListing.h"

#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <mutex>
#include <system_error>
#include <vector>

namespace platform {

// One listing, shared by its thread and the BackgroundListing that waits for it.
struct ListingJob {
    explicit ListingJob(WatchedDir listed) : dir(std::move(listed)) {}

    const WatchedDir dir;
    std::mutex mutex;
    std::optional<DirListing> listing;
    std::shared_ptr<FileDescriptor> wake; // the waiter's completion event; none while orphaned
};

namespace {

void Signal(const FileDescriptor& event) {
    const std::uint64_t one = 1;
    [[maybe_unused]] const ssize_t written = ::write(event.get(), &one, sizeof one);
}

// The listings left running by a BackgroundListing that ended first, until one of their path is
// started again. An entry expires when its thread ends.
struct Orphans {
    std::mutex mutex;
    std::vector<std::weak_ptr<ListingJob>> jobs;

    void Keep(const std::shared_ptr<ListingJob>& job) {
        std::lock_guard lock(mutex);
        jobs.push_back(job);
    }
    std::shared_ptr<ListingJob> Adopt(const std::string& path) {
        std::lock_guard lock(mutex);
        std::erase_if(jobs, [](const std::weak_ptr<ListingJob>& job) { return job.expired(); });
        for (auto it = jobs.begin(); it != jobs.end(); ++it) {
            std::shared_ptr<ListingJob> job = it->lock();
            if (job && job->dir.path == path) {
                jobs.erase(it);
                return job;
            }
        }
        return nullptr;
    }
};

Orphans& TheOrphans() {
    static Orphans orphans;
    return orphans;
}

} // namespace

BackgroundListing::BackgroundListing()
    : done_(std::make_shared<FileDescriptor>(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK))) {
    if (!*done_)
        throw std::system_error(errno, std::generic_category(), "eventfd");
}

BackgroundListing::~BackgroundListing() {
    if (!job_)
        return;
    bool finished;
    {
        std::lock_guard lock(job_->mutex);
        finished = job_->listing.has_value();
        job_->wake.reset();
    }
    // A finished thread has at most its return left; joining it can't hang.
    if (finished) {
        if (thread_.joinable())
            thread_.join();
        return;
    }
    if (thread_.joinable())
        thread_.detach();
    TheOrphans().Keep(job_);
}

bool BackgroundListing::Start(const WatchedDir& dir) {
    if (job_)
        return false;
    wanted_ = dir;
    if (std::shared_ptr<ListingJob> orphan = TheOrphans().Adopt(dir.path)) {
        std::lock_guard lock(orphan->mutex);
        orphan->wake = done_;
        if (orphan->listing)
            Signal(*done_);
        job_ = std::move(orphan);
        return true;
    }
    auto job = std::make_shared<ListingJob>(dir);
    job->wake = done_;
    try {
        thread_ = std::thread([job] {
            DirListing listing = ListDirectory(job->dir.path, job->dir.mask, job->dir.attrib);
            std::lock_guard lock(job->mutex);
            job->listing = std::move(listing);
            if (job->wake)
                Signal(*job->wake);
        });
    } catch (const std::system_error&) {
        return false;
    }
    job_ = std::move(job);
    return true;
}

std::optional<DirListing> BackgroundListing::Take() {
    if (!job_)
        return std::nullopt;
    std::optional<DirListing> listing;
    {
        std::lock_guard lock(job_->mutex);
        listing.swap(job_->listing);
    }
    if (!listing)
        return listing;
    if (thread_.joinable())
        thread_.join();
    std::uint64_t count = 0;
    [[maybe_unused]] const ssize_t read = ::read(done_->get(), &count, sizeof count);
    const bool asWanted = job_->dir == wanted_;
    job_.reset();
    if (!asWanted)
        listing.reset();
    return listing;
}

} // namespace platform
