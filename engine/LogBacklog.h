#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

// How the lines a log could not take are kept until it can.
struct LogKeeping {
    std::size_t maxLines = 100'000; // kept for all logs together; past it the oldest go
    std::chrono::milliseconds retryEvery = std::chrono::minutes(1);
};

// What one attempt to append to a log did.
struct LogAppend {
    enum class Episode {
        Same,  // the log was and is written, or failed and still fails
        Began, // the log failed: its lines are kept from now on
        Ended, // the log took every line kept for it
    };
    std::vector<std::string> appended; // the lines that went in now, kept ones first
    Episode episode = Episode::Same;
    int error = 0;        // the errno that keeps lines out; 0 once the log took them all
    std::size_t late = 0; // when Ended: the kept lines that went in during the episode
    std::size_t lost = 0; // when Ended: the kept lines dropped past the bound
};

// The lines that went nowhere: for one log, oldest first, and how many older ones were dropped
// past the bound.
struct KeptLog {
    std::string log;
    std::vector<std::string> lines;
    std::size_t lost = 0;
};

// Appends lines to log files, and keeps in order, in memory, the lines that a log could not take
// (its folder gone, a full disk, a directory in its place) until it takes them, before any newer
// line. A log fails from the first line it could not take until it took every line kept for it.
class LogBacklog {
public:
    explicit LogBacklog(LogKeeping keeping = {});

    // Appends the lines kept for log, then lines, and keeps what did not go in. The log is opened
    // (and created) also when there is nothing to write.
    LogAppend Append(const std::string& log, std::vector<std::string> lines);
    // When Retry is due; none while nothing is kept.
    std::optional<std::chrono::steady_clock::time_point> RetryDue() const;
    // Appends the lines kept for every failing log; what each attempt did, by log.
    std::vector<std::pair<std::string, LogAppend>> Retry();

    // The errno that keeps lines out of log (0 while it is written) and how many wait for it.
    std::pair<int, std::size_t> Status(const std::string& log) const;
    bool Failing(const std::string& log) const { return failing_.contains(log); }
    // Hands over every line kept and forgets them.
    std::vector<KeptLog> TakeAll();

private:
    struct Kept {
        std::vector<std::string> lines;
        std::vector<std::uint64_t> ages; // each line's place among all lines ever kept
        int error = 0;
        std::size_t late = 0;
        std::size_t lost = 0;
    };
    void KeepNewLines(Kept& kept);
    void DropOldest();

    LogKeeping keeping_;
    std::map<std::string, Kept> failing_;
    std::size_t kept_ = 0;
    std::uint64_t nextAge_ = 0;
    std::chrono::steady_clock::time_point retryDue_{};
};
