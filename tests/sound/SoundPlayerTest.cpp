// Real playback: a child process plays a WAV through libcanberra into an ALSA file PCM, and the
// capture must hold the samples.
#include "tests/reliability/ChildProcess.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <canberra.h>

#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>
#include <string_view>
#include <sys/wait.h>

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

} // namespace

TEST(SoundPlayer, AWavIsPlayedSampleForSample) {
    testsupport::TempDir dir;
    const std::string capture = dir / "capture.raw";
    const std::string data = Samples();
    WriteFile(dir / "ding.wav", Wav(data));
    // ALSA's default device writes what is played to the capture file and discards it.
    WriteFile(dir / "asound.conf", "pcm.!default {\n  type file\n  slave.pcm { type null }\n"
                                   "  file \"" +
                                       capture + "\"\n  format \"raw\"\n}\n");

    reliability::ChildProcess::Options options;
    options.stdoutPath = dir / "stdout";
    options.stderrPath = dir / "stderr";
    options.environment = {"ALSA_CONFIG_PATH=" + (dir / "asound.conf"), "CANBERRA_DRIVER=alsa"};
    // ALSA gives the null device a buffer of about 1.5 GB, which AddressSanitizer would spend
    // seconds poisoning.
    const char* asan = std::getenv("ASAN_OPTIONS");
    options.environment.push_back(std::string("ASAN_OPTIONS=") + (asan ? asan : "") +
                                  (asan ? ":" : "") + "poison_heap=0");
    reliability::ChildProcess player({PLAY_SOUND_PROGRAM, dir / "ding.wav"}, options);
    const std::optional<int> status = player.Wait(std::chrono::seconds(30));
    ASSERT_TRUE(status.has_value()) << "the player did not return";
    EXPECT_TRUE(WIFEXITED(*status) && WEXITSTATUS(*status) == 0) << *status;
    int fileError = 1, alertError = 1;
    std::istringstream(ReadFile(dir / "stdout")) >> fileError >> alertError;
    EXPECT_EQ(fileError, CA_SUCCESS);
    EXPECT_EQ(ReadFile(dir / "stderr"), "");

    // The device may add silence before and after the sound, nothing else.
    const std::string captured = ReadFile(capture);
    const std::size_t at = captured.find(data);
    ASSERT_NE(at, std::string::npos) << "captured " << captured.size() << " bytes";
    EXPECT_TRUE(AllZero(std::string_view(captured).substr(0, at)));
    EXPECT_TRUE(AllZero(std::string_view(captured).substr(at + data.size())));
}
