#pragma once

#include "platform/SoundPlayer.h"

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

private:
    ca_context* context_ = nullptr;
    bool modulesPinned_ = false;
};

} // namespace platform
