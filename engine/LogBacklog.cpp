#include "engine/LogBacklog.h"

#include "platform/AppendFile.h"

#include <algorithm>
#include <iterator>

namespace {

using Clock = std::chrono::steady_clock;

std::ptrdiff_t Offset(std::size_t count) {
    return static_cast<std::ptrdiff_t>(count);
}

} // namespace

LogBacklog::LogBacklog(LogKeeping keeping) : keeping_(keeping) {}

LogAppend LogBacklog::Append(const std::string& log, std::vector<std::string> lines) {
    LogAppend result;
    const auto found = failing_.find(log);
    if (found == failing_.end()) {
        const platform::Appended done = platform::AppendLines(log, lines);
        result.error = done.error;
        if (done.error == 0 || done.lines == lines.size()) {
            result.appended = std::move(lines);
            return result;
        }
        if (failing_.empty())
            retryDue_ = Clock::now() + keeping_.retryEvery;
        Kept& kept = failing_[log];
        kept.error = done.error;
        kept.lines.assign(std::make_move_iterator(lines.begin() + Offset(done.lines)),
                          std::make_move_iterator(lines.end()));
        lines.resize(done.lines);
        result.appended = std::move(lines);
        result.episode = LogAppend::Episode::Began;
        KeepNewLines(kept);
        return result;
    }
    // Whatever waits goes first, in the same write.
    Kept& kept = found->second;
    const std::size_t waited = kept.lines.size();
    kept.lines.insert(kept.lines.end(), std::make_move_iterator(lines.begin()),
                      std::make_move_iterator(lines.end()));
    const platform::Appended done = platform::AppendLines(log, kept.lines);
    const std::size_t late = std::min(done.lines, waited);
    kept.late += late;
    kept_ -= late;
    kept.ages.erase(kept.ages.begin(), kept.ages.begin() + Offset(late));
    result.appended.assign(std::make_move_iterator(kept.lines.begin()),
                           std::make_move_iterator(kept.lines.begin() + Offset(done.lines)));
    kept.lines.erase(kept.lines.begin(), kept.lines.begin() + Offset(done.lines));
    result.error = done.error;
    if (done.error != 0) {
        kept.error = done.error;
        KeepNewLines(kept);
        return result;
    }
    result.episode = LogAppend::Episode::Ended;
    result.late = kept.late;
    result.lost = kept.lost;
    failing_.erase(found);
    return result;
}

std::optional<Clock::time_point> LogBacklog::RetryDue() const {
    if (failing_.empty())
        return std::nullopt;
    return retryDue_;
}

std::vector<std::pair<std::string, LogAppend>> LogBacklog::Retry() {
    std::vector<std::string> logs;
    for (const auto& [log, kept] : failing_)
        logs.push_back(log);
    std::vector<std::pair<std::string, LogAppend>> results;
    for (const std::string& log : logs)
        results.emplace_back(log, Append(log, {}));
    retryDue_ = Clock::now() + keeping_.retryEvery;
    return results;
}

std::pair<int, std::size_t> LogBacklog::Status(const std::string& log) const {
    const auto found = failing_.find(log);
    if (found == failing_.end())
        return {0, 0};
    return {found->second.error, found->second.lines.size()};
}

std::vector<KeptLog> LogBacklog::TakeAll() {
    std::vector<KeptLog> all;
    for (auto& [log, kept] : failing_)
        all.push_back({log, std::move(kept.lines), kept.lost});
    failing_.clear();
    kept_ = 0;
    return all;
}

// The lines of kept past those it had, new now, are counted and given their ages; past the bound
// the oldest go.
void LogBacklog::KeepNewLines(Kept& kept) {
    for (std::size_t i = kept.ages.size(); i < kept.lines.size(); ++i) {
        kept.ages.push_back(nextAge_++);
        ++kept_;
    }
    DropOldest();
}

// Past the bound, drops the oldest lines of all logs together.
void LogBacklog::DropOldest() {
    if (kept_ <= keeping_.maxLines)
        return;
    std::map<Kept*, std::size_t> dropped;
    for (; kept_ > keeping_.maxLines; --kept_) {
        Kept* oldest = nullptr;
        for (auto& [log, kept] : failing_) {
            const std::size_t next = dropped[&kept];
            if (next < kept.ages.size() &&
                (!oldest || kept.ages[next] < oldest->ages[dropped[oldest]]))
                oldest = &kept;
        }
        ++dropped[oldest];
    }
    for (auto& [kept, count] : dropped) {
        kept->lines.erase(kept->lines.begin(), kept->lines.begin() + Offset(count));
        kept->ages.erase(kept->ages.begin(), kept->ages.begin() + Offset(count));
        kept->lost += count;
    }
}
