#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace platform {

// The label of the file system holding the directory open at dirFd: the name of the link in
// byLabelDir (udev's /dev/disk/by-label) whose block device is the one the directory lives on.
// Empty when no link points to that device.
std::optional<std::string> VolumeLabel(int dirFd,
                                       const std::string& byLabelDir = "/dev/disk/by-label");

// Undoes udev's escaping of link names: "\x20" stands for a blank.
std::string UnescapeLabel(std::string_view name);

} // namespace platform
