#pragma once

#include "engine/DirArray.h"
#include "platform/DirNotifier.h"
#include "platform/SoundPlayer.h"

#include <atomic>
#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace platform {
class StopEvent;
}

// The worker that watches every directory of Dirs at once. One run lasts from Start() until a
// stop request; the owner changes Dirs only between runs:
//     RequestStop(); run.join(); change Dirs; save them; run = Start();
class MyWatchThread {
public:
    explicit MyWatchThread(
        std::unique_ptr<platform::SoundPlayer> sound = platform::CreateSystemSoundPlayer());
    ~MyWatchThread();
    MyWatchThread(const MyWatchThread&) = delete;
    MyWatchThread& operator=(const MyWatchThread&) = delete;

    DirArray Dirs;

    // Sets up every directory's notification, then starts a new run on a new thread; the owner
    // joins the returned thread exactly once, and only then starts the next run.
    // The stop event exists before the thread does, so no stop request is lost. Returns a
    // non-joinable thread when no thread could be created (LastRunResult() says why).
    std::thread Start();
    // Signals the current run's stop event and returns at once.
    void RequestStop();
    // The watch loop; returns 0 after a stop request, or the errno of a failed wait.
    int Run();
    // The result of the last run that ended (0 after a stop request).
    int LastRunResult() const { return lastRunResult_.load(); }

    // Called on the watch thread with every log line of a pass (without its line end).
    void SetLineSink(std::function<void(const std::string& line)> sink);
    // Called (by Start, or on the watch thread) for a directory that can't be watched (any more),
    // with the errno that says why (see platform::DirNotifier::Error).
    void SetWatchErrorSink(std::function<void(const std::string& path, int error)> sink);

    // The steps of a run, callable one at a time without a thread.
    // Slot i holds the notification of record i of Dirs; an empty slot is out of the wait.
    using WatchTable = std::vector<std::unique_ptr<platform::DirNotifier>>;
    struct StepResult {
        bool stopped = false;   // a stop was requested: the run ends
        int error = 0;          // errno of a failed wait: the run ends
        std::size_t passes = 0; // directories served
    };
    // A notification for each record of Dirs; those that can't be created stay out of the run.
    WatchTable OpenWatches();
    // Waits once, then serves each directory signalled at that moment once, in list order.
    StepResult Step(WatchTable& table, platform::StopEvent& stop);
    // One pass over a record: scan, log, line sink, sound.
    void Pass(MyDir& dir, const platform::ChangeSet& changes);

private:
    int RunWith(WatchTable& table);
    bool Serve(WatchTable& table, std::size_t slot);
    void ReportWatchError(std::size_t slot, int error) const;

    std::unique_ptr<platform::SoundPlayer> sound_;
    std::unique_ptr<platform::StopEvent> stop_;
    std::function<void(const std::string&)> lineSink_;
    std::function<void(const std::string&, int)> watchErrorSink_;
    std::atomic<int> lastRunResult_{0};
};
