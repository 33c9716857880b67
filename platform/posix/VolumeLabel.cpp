#include "platform/posix/VolumeLabel.h"

#include <dirent.h>
#include <sys/stat.h>

#include <memory>

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

struct DirCloser {
    void operator()(DIR* dir) const { closedir(dir); }
};

} // namespace

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

std::optional<std::string> VolumeLabel(int dirFd, const std::string& byLabelDir) {
    struct stat dir {};
    if (fstat(dirFd, &dir) != 0)
        return std::nullopt;
    std::unique_ptr<DIR, DirCloser> links(opendir(byLabelDir.c_str()));
    if (!links)
        return std::nullopt;
    while (const dirent* entry = readdir(links.get())) {
        if (entry->d_name[0] == '.')
            continue;
        struct stat device {};
        const std::string path = byLabelDir + '/' + entry->d_name;
        if (stat(path.c_str(), &device) == 0 && S_ISBLK(device.st_mode) &&
            device.st_rdev == dir.st_dev)
            return UnescapeLabel(entry->d_name);
    }
    return std::nullopt;
}

} // namespace platform
