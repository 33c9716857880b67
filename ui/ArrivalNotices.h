#pragma once

#include "ui/WatchEventQueue.h"

#include <chrono>
#include <map>
#include <optional>
#include <string>
#include <vector>

// The notifications of what came into and left each directory: at most one per directory in
// QuietTime. What a directory reports meanwhile waits, merged, for the end of that time.
class ArrivalNotices {
public:
    using Clock = std::chrono::steady_clock;
    static constexpr std::chrono::seconds QuietTime{5};

    // A pass over the directory at path (named label in the text) reported names.
    void Add(const std::string& path, const std::string& label, PassNames names);
    // The texts due at now, one per directory; each of them starts its directory's quiet time.
    std::vector<std::string> TakeDue(Clock::time_point now);
    // When the next waiting text is due; nothing when none waits.
    std::optional<Clock::time_point> NextDue() const;
    void Clear() { dirs_.clear(); }

    // "report.txt arrived in Inbox", "3 files arrived in Inbox, 2 left", "2 left Outbox".
    static std::string Text(const std::string& label, const PassNames& names);

private:
    struct Directory {
        std::string label;
        std::optional<PassNames> waiting;
        Clock::time_point quietUntil{}; // no notification of it before
    };
    std::map<std::string, Directory> dirs_; // by path
};
