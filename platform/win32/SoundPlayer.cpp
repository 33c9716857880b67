#include "platform/SoundPlayer.h"

#include <windows.h>

#include <mmsystem.h>

namespace platform {

namespace {

// The multimedia system plays one sound at a time: a new one stops the last. Without
// SND_NODEFAULT it plays the default sound when the file can't be played.
class WinmmSoundPlayer : public SoundPlayer {
public:
    void PlayAsync(const std::string& wavPath) override {
        ::sndPlaySoundA(wavPath.c_str(), SND_ASYNC);
    }
};

} // namespace

std::unique_ptr<SoundPlayer> CreateSystemSoundPlayer() {
    return std::make_unique<WinmmSoundPlayer>();
}

// sndPlaySound plays WAV files only.
std::vector<std::pair<std::string, std::string>> SoundFileFilters() {
    return {{"wav files (*.wav)", "*.wav"}};
}

} // namespace platform
