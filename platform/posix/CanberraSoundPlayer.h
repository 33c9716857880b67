#pragma once

#include "platform/SoundPlayer.h"

#include <atomic>

struct ca_context;

namespace platform {

// Plays through libcanberra, which plays on threads of its own. A missing or unplayable file
// plays the sound theme's "bell" instead. Without a sound device it stays silent: ALSA's own
// error messages on standard error are switched off for the whole process.
class CanberraSoundPlayer : public SoundPlayer {
public:
    CanberraSoundPlayer();
    ~CanberraSoundPlayer() override;
    CanberraSoundPlayer(const CanberraSoundPlayer&) = delete;
    CanberraSoundPlayer& operator=(const CanberraSoundPlayer&) = delete;

    void PlayAsync(const std::string& wavPath) override;

    // libcanberra's answer (0 or a negative CA_ERROR_* code) when the last file was started,
    // and when the alert was started in its place (0 when no alert was needed).
    int LastError() const { return lastError_.load(); }
    int LastAlertError() const { return lastAlertError_.load(); }
    // Whether the last sound started is still playing.
    bool IsPlaying() const;

private:
    ca_context* context_ = nullptr;
    std::atomic<int> lastError_{0};
    std::atomic<int> lastAlertError_{0};
    std::atomic<bool> modulesPinned_{false};
};

} // namespace platform
