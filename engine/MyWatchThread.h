#pragma once

#include "engine/DirArray.h"
#include "engine/LogBacklog.h"
#include "engine/WatchListener.h"
#include "platform/DirWatch.h"
#include "platform/SoundPlayer.h"

#include <atomic>
#include <cstddef>
#include <memory>
#include <string>
#include <thread>
#include <utility>
#include <vector>

struct PassOutcome;

// The worker that watches every directory of Dirs at once, and the owner of its runs. One run
// lasts from Start() until a stop; the owner changes Dirs only between runs:
//     Stop(); change Dirs; save them; Start();
class MyWatchThread {
public:
    // keeping: how the lines a log could not take are kept (see LogBacklog); they live here, not
    // in a run, so they survive a stop and a restart.
    explicit MyWatchThread(
        std::unique_ptr<platform::SoundPlayer> sound = platform::CreateSystemSoundPlayer(),
        LogKeeping keeping = {});
    // Stops the run, if any, and waits for it.
    ~MyWatchThread();
    MyWatchThread(const MyWatchThread&) = delete;
    MyWatchThread& operator=(const MyWatchThread&) = delete;

    DirArray Dirs;

    // Stops the run still going, if any, sets up the watch of every directory, tells the listener
    // of each directory that is not well (not watched, or its log failing), then starts a new
    // run on a thread of its own. The watch exists before the thread does, so no stop request
    // is lost. False when the watch or the thread could not be made (LastRunResult() says why).
    bool Start();
    // Asks the current run to stop and returns at once.
    void RequestStop();
    // Asks the current run to stop, waits for its end and releases its notifications; nothing
    // when no run is going.
    void Stop();
    // The result of the last run that ended: 0 after a stop request, or the errno of a failed
    // wait; after a Start that failed, the errno that says why.
    int LastRunResult() const { return lastRunResult_.load(); }

    // Tells listener (or nobody, when null) what the runs started from now on do; it must
    // outlive them.
    void SetListener(WatchListener* listener) { listener_ = listener; }

    // Hands over the lines still waiting for their logs; only while no run is going.
    std::vector<KeptLog> TakeKeptLines() { return logs_.TakeAll(); }

    // One round of a run, callable without a thread: waits once on watch (made over the paths
    // of Dirs), then one pass (RunPass) over each directory due, in list order; while lines wait
    // for a log, the wait ends when they are due another try (and so does a stop).
    platform::WaitResult Step(platform::DirWatch& watch);

private:
    // The watch loop: one round after another until stopped; returns LastRunResult's value.
    int Run();
    void ReportPass(std::size_t slot, const PassOutcome& outcome) const;
    void ReportLog(const std::string& log, const LogAppend& append) const;
    void SetWatch(std::size_t slot, DirState::Watch watch, int error);
    void RefreshLogStates();
    void Tell(std::size_t slot, const DirState& state);

    std::unique_ptr<platform::SoundPlayer> sound_;
    std::unique_ptr<platform::DirWatch> watch_;
    LogBacklog logs_;
    std::vector<DirState> states_; // of the slots of the run, as told
    std::thread run_;
    WatchListener* listener_ = nullptr;
    std::atomic<int> lastRunResult_{0};
};
