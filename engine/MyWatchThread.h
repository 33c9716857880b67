#pragma once

#include "config/Configuration.h"
#include "engine/DirArray.h"
#include "platform/DirWatch.h"
#include "platform/SoundPlayer.h"

#include <atomic>
#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

// The worker that watches every directory of Dirs at once. One run lasts from Start() until a
// stop request; the owner changes Dirs only between runs:
//     RequestStop(); run.join(); change Dirs; WriteConfiguration("peer.cfg"); run = Start();
class MyWatchThread {
public:
    explicit MyWatchThread(
        std::unique_ptr<platform::SoundPlayer> sound = platform::CreateSystemSoundPlayer());
    ~MyWatchThread();
    MyWatchThread(const MyWatchThread&) = delete;
    MyWatchThread& operator=(const MyWatchThread&) = delete;

    DirArray Dirs;

    // Sets up the watch of every directory, then starts a new run on a new thread; the owner
    // joins the returned thread exactly once, and only then starts the next run.
    // The watch exists before the thread does, so no stop request is lost. Returns a
    // non-joinable thread when no thread could be created (LastRunResult() says why).
    std::thread Start();
    // Asks the current run to stop and returns at once.
    void RequestStop();
    // The result of the last run that ended: 0 after a stop request, or the errno of a failed
    // wait.
    int LastRunResult() const { return lastRunResult_.load(); }

    // Appends one record per record line of the file to Dirs; echoes them on standard output.
    ConfigurationRead ReadConfiguration(const std::string& fileName);
    // Rewrites the file from Dirs. Returns 0 or the errno of the failure (old file kept).
    int WriteConfiguration(const std::string& fileName) const;

    // Called on the watch thread with every log line of a pass (without its line end).
    void SetLineSink(std::function<void(const std::string& line)> sink);
    // Called (by Start, or on the watch thread) for a directory that can't be watched (any more),
    // with the errno that says why (see platform::DirWatch::Error).
    void SetWatchErrorSink(std::function<void(const std::string& path, int error)> sink);

    // One round of a run, callable without a thread: waits once on watch (made over the paths
    // of Dirs), then one pass over each directory due, in list order.
    platform::WaitResult Step(platform::DirWatch& watch);

private:
    // The watch loop: one round after another until stopped; returns LastRunResult's value.
    int Run();
    void Pass(MyDir& dir, const platform::ChangeSet& changes);
    void ReportWatchError(std::size_t slot, int error) const;

    std::unique_ptr<platform::SoundPlayer> sound_;
    std::unique_ptr<platform::DirWatch> watch_;
    std::function<void(const std::string&)> lineSink_;
    std::function<void(const std::string&, int)> watchErrorSink_;
    std::atomic<int> lastRunResult_{0};
};
