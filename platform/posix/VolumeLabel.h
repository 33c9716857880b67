#pragma once

#include <optional>
#include <string>

namespace platform {

// The label of the file system holding the directory open at dirFd: the name of the link in
// udev's /dev/disk/by-label whose block device is the one the directory lives on. Empty when no
// link points to that device.
std::optional<std::string> VolumeLabel(int dirFd);

} // namespace platform
