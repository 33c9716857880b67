#pragma once

#include "engine/MyWatchThread.h"
#include "tests/support/LogReplay.h"
#include "tests/support/TempDir.h"

#include <atomic>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

namespace reliability {

// A sound player that only counts: one call per pass that reported something.
class CountingSoundPlayer : public platform::SoundPlayer {
public:
    void PlayAsync(const std::string&) override { ++plays_; }
    std::size_t Plays() const { return plays_.load(); }

private:
    std::atomic<std::size_t> plays_{0};
};

// Directories in a temporary folder, watched by a MyWatchThread on its own thread. Each is named
// by its alias, logs to "logs/<alias>.log" and has a sound set, so that the counting player
// counts the passes that reported something.
class WatchedTree {
public:
    struct DirOptions {
        std::vector<std::string> files; // there before the baseline scan
        bool create = true;             // make the directory
        std::string path;               // instead of <root>/<alias>
        std::string log;                // instead of logs/<alias>.log
    };

    // With a counting sound player unless one is given.
    explicit WatchedTree(std::unique_ptr<platform::SoundPlayer> sound = nullptr);
    ~WatchedTree();
    WatchedTree(const WatchedTree&) = delete;
    WatchedTree& operator=(const WatchedTree&) = delete;

    // Makes the directory and its files, remembers what it holds and appends its record.
    std::string Add(const std::string& alias, const DirOptions& options);
    std::string Add(const std::string& alias) { return Add(alias, DirOptions()); }

    bool Start();
    // Stops the run and waits for it; the result of the run.
    int Stop();
    // What a list change does: stop, save "peer.cfg", start.
    bool Restart();

    // Returns once the directory has been served after every change made so far: a marker file
    // is created and its line awaited, then deleted and its line awaited. False at the deadline.
    bool Settle(const std::string& alias);
    bool Settle(const std::vector<std::string>& aliases);
    bool SettleAll();

    // The directory's log replayed over what it held at Add, against what it holds now.
    testsupport::Replay Check(const std::string& alias) const;
    // Waits until Check agrees; the last Check.
    testsupport::Replay WaitUntilAgrees(const std::string& alias) const;

    std::string Root() const { return root_.str(); }
    std::string Path(const std::string& alias) const { return dirs_.at(alias).path; }
    std::string Log(const std::string& alias) const { return dirs_.at(alias).log; }
    std::size_t LinesSunk() const { return lines_.load(); }
    // Passes that reported something (with the counting player).
    std::size_t Passes() const { return counter_ ? counter_->Plays() : 0; }
    MyWatchThread& Watch() { return *watch_; }

private:
    struct Dir {
        std::string path, log;
        std::set<std::string> initial;
    };
    bool MarkerLogged(const std::string& line) const;

    testsupport::TempDir root_;
    CountingSoundPlayer* counter_ = nullptr;
    std::unique_ptr<MyWatchThread> watch_;
    std::thread run_;
    std::map<std::string, Dir> dirs_;
    std::atomic<std::size_t> lines_{0};
    mutable std::mutex mutex_;
    std::set<std::string> markerLines_; // sunk lines about marker files, without time stamps
    int markers_ = 0;
};

// The environment variable as a number, or fallback when it is not set.
int EnvironmentNumber(const char* name, int fallback);

} // namespace reliability
