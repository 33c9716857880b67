#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <tuple>

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

// The settings in their stored order (the order of peer.cfg's fields). A setting added here is
// read and written by the configuration store, which asks only for the label of its echo.
inline constexpr auto SettingMembers =
    std::make_tuple(&DirSettings::Path, &DirSettings::Alias, &DirSettings::Kind, &DirSettings::Mask,
                    &DirSettings::Attrib, &DirSettings::Log, &DirSettings::Wav);

inline constexpr std::size_t SettingCount = std::tuple_size_v<decltype(SettingMembers)>;

// Calls visit(setting) for each setting, in their stored order.
template <class Settings, class Visit> void ForEachSetting(Settings& settings, Visit&& visit) {
    std::apply([&](auto... member) { (visit(settings.*member), ...); }, SettingMembers);
}
