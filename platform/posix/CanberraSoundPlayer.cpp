#include "platform/posix/CanberraSoundPlayer.h"

#include "platform/FileChecks.h"

#include <alsa/asoundlib.h>
#include <canberra.h>

#include <cstdint>
#include <dlfcn.h>
#include <link.h>
#include <mutex>
#include <string_view>
#include <vector>

namespace platform {

namespace {

// Every sound uses one id, so a new sound can stop the one before it.
constexpr std::uint32_t SoundId = 1;
constexpr const char* AlertEventId = "bell";

void IgnoreAlsaError(const char*, int, const char*, int, const char*, ...) {}

void SilenceAlsa() {
    static std::once_flag once;
    std::call_once(once, [] { snd_lib_error_set_handler(IgnoreAlsaError); });
}

// libcanberra unloads its driver module when a context is destroyed, while the module's
// detached player thread may still be returning into it. Keeps loaded modules in memory;
// returns whether there were any.
bool PinCanberraModules() {
    std::vector<std::string> modules;
    dl_iterate_phdr(
        [](dl_phdr_info* info, std::size_t, void* found) {
            const std::string_view name = info->dlpi_name ? info->dlpi_name : "";
            if (name.find("/libcanberra-") != std::string_view::npos)
                static_cast<std::vector<std::string>*>(found)->emplace_back(name);
            return 0;
        },
        &modules);
    for (const std::string& module : modules)
        ::dlopen(module.c_str(), RTLD_LAZY | RTLD_NOLOAD | RTLD_NODELETE);
    return !modules.empty();
}

} // namespace

CanberraSoundPlayer::CanberraSoundPlayer() {
    SilenceAlsa();
    ca_context_create(&context_);
    if (context_)
        ca_context_change_props(context_, CA_PROP_APPLICATION_NAME, "Peerwell",
                                CA_PROP_APPLICATION_ID, "peerwell", nullptr);
}

CanberraSoundPlayer::~CanberraSoundPlayer() {
    if (context_)
        ca_context_destroy(context_);
}

void CanberraSoundPlayer::PlayAsync(const std::string& wavPath) {
    if (!context_)
        return;
    ca_context_cancel(context_, SoundId);
    // libcanberra opens the file on this thread, where a FIFO without a writer would block it
    // for good: only a regular file is handed over, anything else can't be played.
    const bool played = IsRegularFile(wavPath) &&
                        ca_context_play(context_, SoundId, CA_PROP_MEDIA_FILENAME, wavPath.c_str(),
                                        CA_PROP_MEDIA_ROLE, "event", nullptr) == CA_SUCCESS;
    if (!played)
        ca_context_play(context_, SoundId, CA_PROP_EVENT_ID, AlertEventId, CA_PROP_MEDIA_ROLE,
                        "event", nullptr);
    if (!modulesPinned_)
        modulesPinned_ = PinCanberraModules();
}

std::unique_ptr<SoundPlayer> CreateSystemSoundPlayer() {
    return std::make_unique<CanberraSoundPlayer>();
}

// What libcanberra plays: WAV and Ogg Vorbis with every back end, FLAC through GStreamer (a
// file it can't play gives the alert sound instead); then the WAV filter alone.
std::vector<std::pair<std::string, std::string>> SoundFileFilters() {
    return {{"sound files (*.wav *.oga *.ogg *.flac)", "*.wav *.oga *.ogg *.flac"},
            {"wav files (*.wav)", "*.wav"}};
}

} // namespace platform
