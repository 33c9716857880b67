// peerwell-play-sound WAV: plays WAV with the system's player, waits for it to end and prints
// the player's two results ("<file> <alert>"). ALSA is set up by the caller's environment.
#include "platform/posix/CanberraSoundPlayer.h"
#include "tests/support/TempDir.h"

#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: peerwell-play-sound WAV\n");
        return 2;
    }
    platform::CanberraSoundPlayer player;
    player.PlayAsync(argv[1]);
    const bool ended = testsupport::WaitUntil([&] { return !player.IsPlaying(); });
    std::printf("%d %d\n", player.LastError(), player.LastAlertError());
    return ended ? 0 : 3;
}
