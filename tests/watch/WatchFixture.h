#pragma once

#include "engine/MyWatchThread.h"
#include "tests/support/RecordingSoundPlayer.h"
#include "tests/support/TempDir.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <mutex>
#include <string>
#include <vector>

namespace watchtest {

// The lines of a log without their time stamps: "[+] label\name".
inline std::vector<std::string> Events(const std::string& logPath) {
    std::vector<std::string> events;
    const std::string text = testsupport::ReadFile(logPath);
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t end = std::min(text.find("\r\n", at), text.size());
        const std::string line = text.substr(at, end - at);
        events.push_back(line.substr(std::min<std::size_t>(17, line.size())));
        at = end + 2;
    }
    return events;
}

// A watch over directories made in a temporary folder, each named by its alias and logging to
// "<alias>.log" beside it, with a recording sound player and a line sink that keeps the lines.
class WatchFixture : public testing::Test {
protected:
    WatchFixture() {
        auto sound = std::make_unique<testsupport::RecordingSoundPlayer>();
        sound_ = sound.get();
        watch_ = std::make_unique<MyWatchThread>(std::move(sound));
        watch_->SetListener(&listener_);
    }
    // The run ends before the listener goes.
    ~WatchFixture() override { watch_->Stop(); }

    // Makes the directory and appends its record.
    std::string AddDir(const std::string& alias, char kind = '*', const std::string& wav = "",
                       const std::string& mask = "*.*") {
        const std::string path = root_ / alias;
        std::filesystem::create_directory(path);
        EXPECT_TRUE(watch_->Dirs.Add(MyDir({path, alias, kind, mask, 0, Log(alias), wav})));
        return path;
    }
    std::string Log(const std::string& alias) const { return root_ / (alias + ".log"); }
    std::vector<std::string> EventsOf(const std::string& alias) const { return Events(Log(alias)); }
    std::vector<std::string> Sunk() const {
        std::lock_guard lock(listener_.mutex);
        return listener_.sunk;
    }
    std::vector<std::string> Played() const { return sound_->Played(); }
    void Start() { ASSERT_TRUE(watch_->Start()); }

    testsupport::TempDir root_;
    std::unique_ptr<MyWatchThread> watch_;

private:
    testsupport::RecordingSoundPlayer* sound_ = nullptr;
    // Keeps the appended lines without their time stamps.
    struct Sink : WatchListener {
        void Appended(const std::string&, std::span<const std::string> lines) override {
            std::lock_guard lock(mutex);
            for (const std::string& line : lines)
                sunk.push_back(line.substr(17));
        }
        void Reported(std::size_t, const std::vector<std::string>&,
                      const std::vector<std::string>&) override {}
        void StateChanged(std::size_t, const DirState&) override {}
        mutable std::mutex mutex;
        std::vector<std::string> sunk;
    } listener_;
};

} // namespace watchtest
