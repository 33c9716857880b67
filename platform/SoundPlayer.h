#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace platform {

// Plays a sound file without blocking the caller.
class SoundPlayer {
public:
    virtual ~SoundPlayer() = default;
    // Starts playing wavPath and returns at once; a sound still playing is stopped. When the
    // file can't be played the desktop's default alert sound plays instead; without a sound
    // device nothing happens.
    virtual void PlayAsync(const std::string& wavPath) = 0;
};

// The platform's player (libcanberra on Linux).
std::unique_ptr<SoundPlayer> CreateSystemSoundPlayer();

// The file-dialog filters for the sounds that player plays, each a description and its
// patterns separated by blanks, the first preselected.
std::vector<std::pair<std::string, std::string>> SoundFileFilters();

} // namespace platform
