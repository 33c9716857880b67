#include "platform/SoundPlayer.h"

namespace platform {

namespace {
class SilentPlayer : public SoundPlayer {
public:
    void PlayAsync(const std::string&) override {}
};
} // namespace

std::unique_ptr<SoundPlayer> CreateSystemSoundPlayer() {
    return std::make_unique<SilentPlayer>();
}

} // namespace platform
