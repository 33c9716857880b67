#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// The seven settings of one watched directory, as the user edits them and peer.cfg stores them.
struct DirSettings {
    std::string Path;
    std::string Alias; // written in log lines instead of Path when not empty
    char Kind = '*';   // '+' arrivals only, '-' departures only, anything else both
    std::string Mask = "*.*";
    std::int32_t Attrib = 0; // which hidden, system, volume-label and directory entries count
    std::string Log;         // empty: no log
    std::string Wav;         // empty: no sound

    bool operator==(const DirSettings&) const = default;
};

// Calls visit(setting) for each setting, in their stored order (the order of peer.cfg's fields).
// A setting added here is read and written by the configuration store, which asks only for the
// label of its echo.
template <class Settings, class Visit>
constexpr void ForEachSetting(Settings& settings, Visit&& visit) {
    visit(settings.Path);
    visit(settings.Alias);
    visit(settings.Kind);
    visit(settings.Mask);
    visit(settings.Attrib);
    visit(settings.Log);
    visit(settings.Wav);
}

inline constexpr std::size_t SettingCount = [] {
    std::size_t count = 0;
    DirSettings settings;
    ForEachSetting(settings, [&](auto&) { ++count; });
    return count;
}();
