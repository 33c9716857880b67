#pragma once

#include "engine/DirArray.h"
#include "platform/SoundPlayer.h"

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <thread>

namespace platform {
class StopEvent;
}

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

    // Starts a new run on a new thread; the owner joins the returned thread exactly once.
    // The stop event exists before the thread does, so no stop request is lost. Returns a
    // non-joinable thread when no thread could be created (LastRunResult() says why).
    std::thread Start();
    // Signals the current run's stop event and returns at once.
    void RequestStop();
    // The watch loop; returns 0 after a stop request, or the errno of a failed wait.
    int Run();
    // The result of the last run that ended (0 after a stop request).
    int LastRunResult() const { return lastRunResult_.load(); }

    // Appends one record per record line of the file to Dirs; echoes them on standard output.
    void ReadConfiguration(const std::string& fileName);
    // Rewrites the file from Dirs. Returns 0 or the errno of the failure (old file kept).
    int WriteConfiguration(const std::string& fileName) const;

    // Called on the watch thread with every log line appended (without its line end).
    void SetLineSink(std::function<void(const std::string& line)> sink);

private:
    std::unique_ptr<platform::SoundPlayer> sound_;
    std::unique_ptr<platform::StopEvent> stop_;
    std::function<void(const std::string&)> lineSink_;
    std::atomic<int> lastRunResult_{0};
};
