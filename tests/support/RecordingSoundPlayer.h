#pragma once

#include "platform/SoundPlayer.h"

#include <mutex>
#include <string>
#include <vector>

namespace testsupport {

// A sound player that only remembers what it was asked to play (from any thread).
class RecordingSoundPlayer : public platform::SoundPlayer {
public:
    void PlayAsync(const std::string& wavPath) override {
        std::lock_guard lock(mutex_);
        played_.push_back(wavPath);
    }
    std::vector<std::string> Played() const {
        std::lock_guard lock(mutex_);
        return played_;
    }

private:
    mutable std::mutex mutex_;
    std::vector<std::string> played_;
};

} // namespace testsupport
