#include "ui/ArrivalNotices.h"

#include <utility>

void ArrivalNotices::Add(const std::string& path, const std::string& label, PassNames names) {
    Directory& dir = dirs_[path];
    dir.label = label;
    if (dir.waiting)
        dir.waiting->Join(std::move(names));
    else
        dir.waiting = std::move(names);
}

std::vector<std::string> ArrivalNotices::TakeDue(Clock::time_point now) {
    std::vector<std::string> due;
    for (auto dir = dirs_.begin(); dir != dirs_.end();) {
        if (dir->second.quietUntil > now) {
            ++dir;
        } else if (dir->second.waiting) {
            due.push_back(Text(dir->second.label, *dir->second.waiting));
            dir->second.waiting.reset();
            dir->second.quietUntil = now + QuietTime;
            ++dir;
        } else {
            dir = dirs_.erase(dir); // quiet, and quiet for long enough
        }
    }
    return due;
}

std::optional<ArrivalNotices::Clock::time_point> ArrivalNotices::NextDue() const {
    std::optional<Clock::time_point> next;
    for (const auto& [path, dir] : dirs_)
        if (dir.waiting && (!next || dir.quietUntil < *next))
            next = dir.quietUntil;
    return next;
}

std::string ArrivalNotices::Text(const std::string& label, const PassNames& names) {
    std::string text;
    if (names.added == 1)
        text = names.firstAdded + " arrived in " + label;
    else if (names.added > 1)
        text = std::to_string(names.added) + " files arrived in " + label;
    if (names.removed == 0)
        return text;
    const std::string gone =
        names.removed == 1 ? names.firstRemoved : std::to_string(names.removed);
    return text.empty() ? gone + " left " + label : text + ", " + gone + " left";
}
