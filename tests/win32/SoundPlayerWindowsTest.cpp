#include "platform/SoundPlayer.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <thread>

using testsupport::TempDir;
using testsupport::WaitUntil;

namespace {

// A tenth of a second of silence: 8-bit mono PCM at 8000 samples per second.
std::string SilentWave() {
    constexpr std::uint32_t samples = 800;
    std::string wave;
    const auto put = [&](std::uint32_t value, int bytes) {
        for (int i = 0; i < bytes; ++i)
            wave += static_cast<char>((value >> (8 * i)) & 0xFF);
    };
    wave += "RIFF";
    put(36 + samples, 4);
    wave += "WAVEfmt ";
    put(16, 4);
    put(1, 2);    // PCM
    put(1, 2);    // mono
    put(8000, 4); // samples per second
    put(8000, 4); // bytes per second
    put(1, 2);    // block size
    put(8, 2);    // bits per sample
    wave += "data";
    put(samples, 4);
    wave.append(samples, static_cast<char>(0x80));
    return wave;
}

} // namespace

TEST(SoundPlayerWindows, PlayingReturnsToTheCallerForAFileAMissingFileAndARepeat) {
    TempDir dir;
    testsupport::WriteFile(dir / "ding.wav", SilentWave());
    const std::unique_ptr<platform::SoundPlayer> player = platform::CreateSystemSoundPlayer();
    std::atomic<bool> returned{false};
    std::thread caller([&] {
        player->PlayAsync(dir / "ding.wav");
        player->PlayAsync(dir / "ding.wav");
        player->PlayAsync(dir / "missing.wav");
        returned = true;
    });
    const bool inTime = WaitUntil([&] { return returned.load(); }, std::chrono::seconds(60));
    caller.join();
    EXPECT_TRUE(inTime);
}
