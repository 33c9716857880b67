#include "ui/WatchEventQueue.h"

#include <utility>

void PassNames::Join(PassNames later) {
    if (added == 0)
        firstAdded = std::move(later.firstAdded);
    if (removed == 0)
        firstRemoved = std::move(later.firstRemoved);
    added += later.added;
    removed += later.removed;
}

void WatchEventQueue::SetWake(std::function<void()> wake) {
    const std::lock_guard lock(mutex_);
    wake_ = std::move(wake);
    if (wake_ && !events_.empty())
        wake_();
}

void WatchEventQueue::Push(WatchEvent event) {
    const std::lock_guard lock(mutex_);
    auto* report = std::get_if<PassNames>(&event);
    auto* last = events_.empty() ? nullptr : std::get_if<PassNames>(&events_.back());
    if (report && last && last->slot == report->slot) {
        last->Join(std::move(*report));
        return;
    }
    events_.push_back(std::move(event));
    if (events_.size() == 1 && wake_)
        wake_();
}

std::vector<WatchEvent> WatchEventQueue::Take() {
    const std::lock_guard lock(mutex_);
    return std::exchange(events_, {});
}
