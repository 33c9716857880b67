#pragma once

#include "engine/DirArray.h"
#include "engine/WatchListener.h"
#include "platform/DirWatch.h"
#include "platform/SoundPlayer.h"

#include <atomic>
#include <cstddef>
#include <memory>
#include <string>
#include <thread>

struct PassOutcome;

// The worker that watches every directory of Dirs at once, and the owner of its runs. One run
// lasts from Start() until a stop; the owner changes Dirs only between runs:
//     Stop(); change Dirs; save them; Start();
class MyWatchThread {
public:
    explicit MyWatchThread(
        std::unique_ptr<platform::SoundPlayer> sound = platform::CreateSystemSoundPlayer());
    // Stops the run, if any, and waits for it.
    ~MyWatchThread();
    MyWatchThread(const MyWatchThread&) = delete;
    MyWatchThread& operator=(const MyWatchThread&) = delete;

    DirArray Dirs;

    // Stops the run still going, if any, sets up the watch of every directory, then starts a new
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

    // One round of a run, callable without a thread: waits once on watch (made over the paths
    // of Dirs), then one pass (RunPass) over each directory due, in list order.
    platform::WaitResult Step(platform::DirWatch& watch);

private:
    // The watch loop: one round after another until stopped; returns LastRunResult's value.
    int Run();
    void ReportWatchError(std::size_t slot, int error) const;
    void ReportPass(std::size_t slot, const PassOutcome& outcome) const;

    std::unique_ptr<platform::SoundPlayer> sound_;
    std::unique_ptr<platform::DirWatch> watch_;
    std::thread run_;
    WatchListener* listener_ = nullptr;
    std::atomic<int> lastRunResult_{0};
};
