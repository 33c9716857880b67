#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <canberra.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sstream>
#include <string>
#include <string_view>
#include <sys/wait.h>

extern char** environ;

namespace {

using testsupport::ReadFile;
using testsupport::WriteFile;

constexpr std::uint32_t Rate = 44100;
constexpr std::uint16_t Channels = 2;

void AppendLittleEndian(std::string& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i)
        out += static_cast<char>((value >> (8 * i)) & 0xff);
}

// A quarter of a second of S16_LE stereo in which no sample is zero.
std::string Samples() {
    std::string data;
    for (std::uint32_t frame = 0; frame < Rate / 4; ++frame) {
        AppendLittleEndian(data, 1 + frame * 37 % 30000, 2);
        AppendLittleEndian(
            data, static_cast<std::uint16_t>(-1 - static_cast<int>(frame * 53 % 30000)), 2);
    }
    return data;
}

std::string Wav(const std::string& data) {
    std::string wav = "RIFF";
    AppendLittleEndian(wav, 36 + static_cast<std::uint32_t>(data.size()), 4);
    wav += "WAVEfmt ";
    AppendLittleEndian(wav, 16, 4);
    AppendLittleEndian(wav, 1, 2); // PCM
    AppendLittleEndian(wav, Channels, 2);
    AppendLittleEndian(wav, Rate, 4);
    AppendLittleEndian(wav, Rate * Channels * 2, 4);
    AppendLittleEndian(wav, Channels * 2, 2);
    AppendLittleEndian(wav, 16, 2);
    wav += "data";
    AppendLittleEndian(wav, static_cast<std::uint32_t>(data.size()), 4);
    return wav + data;
}

bool AllZero(std::string_view bytes) {
    return bytes.find_first_not_of('\0') == std::string_view::npos;
}

struct PlayResult {
    int exitCode = -1;
    int fileError = 1;
    int alertError = 1;
    std::string errors; // the child's standard error
};

class SoundPlayerTest : public ::testing::Test {
protected:
    testsupport::TempDir dir;
    const std::string capture = dir / "capture.raw";

    // ALSA's default device writes what is played to the capture file and discards it.
    std::string CapturingConfig() const {
        return "pcm.!default {\n  type file\n  slave.pcm { type null }\n  file \"" + capture +
               "\"\n  format \"raw\"\n}\n";
    }

    // Plays wavPath in a child process whose ALSA reads only alsaConfig.
    PlayResult Play(const std::string& wavPath, const std::string& alsaConfig) {
        WriteFile(dir / "asound.conf", alsaConfig);
        // Read by the child's ALSA and libcanberra; this process plays nothing itself.
        ::setenv("ALSA_CONFIG_PATH", (dir / "asound.conf").c_str(), 1);
        ::setenv("CANBERRA_DRIVER", "alsa", 1);
        // ALSA gives the null device a buffer of about 1.5 GB, which AddressSanitizer would
        // spend seconds poisoning.
        const std::string asan = std::getenv("ASAN_OPTIONS") ? std::getenv("ASAN_OPTIONS") : "";
        if (asan.find("poison_heap") == std::string::npos)
            ::setenv("ASAN_OPTIONS", (asan + (asan.empty() ? "" : ":") + "poison_heap=0").c_str(),
                     1);

        const std::string out = dir / "stdout", err = dir / "stderr";
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                         0600);
        posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                         0600);
        std::string program = PLAY_SOUND_PROGRAM;
        std::string argument = wavPath;
        char* argv[] = {program.data(), argument.data(), nullptr};
        pid_t pid = -1;
        const int spawned = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv, environ);
        posix_spawn_file_actions_destroy(&actions);
        PlayResult result;
        if (spawned != 0) {
            ADD_FAILURE() << "posix_spawn: " << std::strerror(spawned);
            return result;
        }
        int status = 0;
        if (!testsupport::WaitUntil([&] { return ::waitpid(pid, &status, WNOHANG) == pid; },
                                    std::chrono::seconds(30))) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, &status, 0);
            ADD_FAILURE() << "the player did not return";
        }
        result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        std::istringstream(ReadFile(out)) >> result.fileError >> result.alertError;
        result.errors = ReadFile(err);
        return result;
    }
};

} // namespace

TEST_F(SoundPlayerTest, AWavIsPlayedSampleForSample) {
    const std::string data = Samples();
    WriteFile(dir / "ding.wav", Wav(data));
    const PlayResult result = Play(dir / "ding.wav", CapturingConfig());
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.fileError, CA_SUCCESS);
    EXPECT_EQ(result.alertError, CA_SUCCESS);
    EXPECT_EQ(result.errors, "");

    // The device may add silence before and after the sound, nothing else.
    const std::string captured = ReadFile(capture);
    const std::size_t at = captured.find(data);
    ASSERT_NE(at, std::string::npos) << "captured " << captured.size() << " bytes";
    EXPECT_TRUE(AllZero(std::string_view(captured).substr(0, at)));
    EXPECT_TRUE(AllZero(std::string_view(captured).substr(at + data.size())));
}

TEST_F(SoundPlayerTest, AFileThatCannotBePlayedPlaysTheDefaultAlertInstead) {
    WriteFile(dir / "corrupt.wav", "RIFF\x10\0\0\0WAVEfmt garbage that is no sound");
    for (const std::string name : {"missing.wav", "corrupt.wav"}) {
        SCOPED_TRACE(name);
        std::filesystem::remove(capture);
        const PlayResult result = Play(dir / name, CapturingConfig());
        EXPECT_EQ(result.exitCode, 0);
        EXPECT_LT(result.fileError, 0);
        EXPECT_EQ(result.alertError, CA_SUCCESS);
        EXPECT_FALSE(AllZero(ReadFile(capture))) << "no alert sound was captured";
        EXPECT_EQ(result.errors, "");
    }
}

TEST_F(SoundPlayerTest, WithoutASoundDeviceNothingPlaysAndAlsaPrintsNothing) {
    WriteFile(dir / "ding.wav", Wav(Samples()));
    const PlayResult result = Play(dir / "ding.wav", "pcm.!default { type hw card \"nosuch\" }\n");
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_LT(result.fileError, 0);
    EXPECT_LT(result.alertError, 0);
    EXPECT_EQ(result.errors, "");
}
