// Sounds that can't be played, with and without a sound device: the watcher plays them after
// every reporting pass and must neither block nor end.
#include "tests/reliability/ProgramTree.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdlib>

using namespace reliability;

namespace {

const char* const Aliases[] = {"missing", "corrupt", "fifo", "directory", "bell"};

// The watcher's ALSA reads only the configuration given; ALSA gives the null device a buffer of
// about 1.5 GB, which AddressSanitizer would spend seconds poisoning.
std::vector<std::string> SoundEnvironment(const std::string& alsaConfig) {
    const char* asan = std::getenv("ASAN_OPTIONS");
    return {"ALSA_CONFIG_PATH=" + alsaConfig, "CANBERRA_DRIVER=alsa",
            std::string("ASAN_OPTIONS=") + (asan ? asan : "") + (asan ? ":" : "") +
                "poison_heap=0"};
}

void PlayUnplayableSounds(const std::string& alsaConfigText) {
    ProgramTree tree;
    const std::string sounds = tree.Root() + "/sounds";
    std::filesystem::create_directory(sounds);
    testsupport::WriteFile(sounds + "/corrupt.wav", "RIFF\x10\0\0\0WAVEfmt no sound at all");
    ASSERT_EQ(::mkfifo((sounds + "/fifo.wav").c_str(), 0600), 0);
    std::filesystem::create_directory(sounds + "/directory.wav");
    for (const char* alias : Aliases)
        tree.Add(alias, {}, sounds + "/" + alias + ".wav");
    testsupport::WriteFile(tree.Root() + "/asound.conf", alsaConfigText);

    ASSERT_TRUE(tree.Start({.environment = SoundEnvironment(tree.Root() + "/asound.conf")}));
    for (int round = 0; round < 3; ++round) {
        for (const char* alias : Aliases)
            EXPECT_TRUE(tree.Watching(alias)) << alias << " in round " << round << "\n"
                                              << tree.Err();
    }
    EXPECT_EQ(tree.Terminate(), 0) << "the watcher ends at SIGTERM";
    for (const char* alias : Aliases) {
        const testsupport::Replay replay = tree.Check(alias);
        EXPECT_TRUE(replay.Agrees()) << alias << ":\n" << replay.Describe();
    }
}

} // namespace

TEST(SoundFaults, WithoutASoundDeviceNoSoundBlocksTheWatch) {
    PlayUnplayableSounds("pcm.!default { type hw card \"nosuch\" }\n");
}

TEST(SoundFaults, WithASoundDeviceNoSoundBlocksTheWatch) {
    PlayUnplayableSounds("pcm.!default { type null }\n");
}
