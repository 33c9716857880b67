#include "platform/posix/VolumeLabel.h"

#include <dirent.h>
#include <sys/stat.h>

#include <memory>
#include <string_view>

namespace platform {

namespace {

int HexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// Where udev names each block device by its file system's label.
constexpr const char* ByLabelDir = "/dev/disk/by-label";

struct DirCloser {
    void operator()(DIR* dir) const { closedir(dir); }
};

// Undoes udev's escaping of link names: "\x20" stands for a blank.
std::string UnescapeLabel(std::string_view name) {
    std::string label;
    for (std::size_t i = 0; i < name.size(); ++i) {
        if (name[i] == '\\' && i + 3 < name.size() && name[i + 1] == 'x') {
            const int high = HexValue(name[i + 2]);
            const int low = HexValue(name[i + 3]);
            if (high >= 0 && low >= 0) {
                label += static_cast<char>(high * 16 + low);
                i += 3;
                continue;
            }
        }
        label += name[i];
    }
    return label;
}

} // namespace

std::optional<std::string> VolumeLabel(int dirFd) {
    struct stat dir {};
    if (fstat(dirFd, &dir) != 0)
        return std::nullopt;
    std::unique_ptr<DIR, DirCloser> links(opendir(ByLabelDir));
    if (!links)
        return std::nullopt;
    while (const dirent* entry = readdir(links.get())) {
        if (entry->d_name[0] == '.')
            continue;
        struct stat device {};
        const std::string path = std::string(ByLabelDir) + '/' + entry->d_name;
        if (stat(path.c_str(), &device) == 0 && S_ISBLK(device.st_mode) &&
            device.st_rdev == dir.st_dev)
            return UnescapeLabel(entry->d_name);
    }
    return std::nullopt;
}

} // namespace platform
