#include "platform/DirSearch.h"

#include "platform/Wildcard.h"
#include "platform/posix/FileDescriptor.h"
#include "platform/posix/VolumeLabel.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <memory>
#include <optional>

namespace platform {

namespace {

enum class EntryType { Plain, Directory, System };

struct DirCloser {
    void operator()(DIR* dir) const { closedir(dir); }
};

// A symbolic link counts as a directory when it leads to one, and as a plain file otherwise.
EntryType TypeOfLinkTarget(int dirFd, const char* path) {
    struct stat target {};
    return fstatat(dirFd, path, &target, 0) == 0 && S_ISDIR(target.st_mode) ? EntryType::Directory
                                                                            : EntryType::Plain;
}

EntryType TypeOfMode(int dirFd, const char* path, mode_t mode) {
    if (S_ISREG(mode))
        return EntryType::Plain;
    if (S_ISDIR(mode))
        return EntryType::Directory;
    if (S_ISLNK(mode))
        return TypeOfLinkTarget(dirFd, path);
    return EntryType::System;
}

// Trusts the type readdir reports and looks the entry up only when it reports none or a link.
// Empty when the entry vanished before it could be looked up.
std::optional<EntryType> TypeOfEntry(int dirFd, const dirent& entry, bool& isLink) {
    isLink = entry.d_type == DT_LNK;
    switch (entry.d_type) {
    case DT_REG:
        return EntryType::Plain;
    case DT_DIR:
        return EntryType::Directory;
    case DT_LNK:
        return TypeOfLinkTarget(dirFd, entry.d_name);
    case DT_UNKNOWN: {
        struct stat own {};
        if (fstatat(dirFd, entry.d_name, &own, AT_SYMLINK_NOFOLLOW) != 0)
            return std::nullopt;
        isLink = S_ISLNK(own.st_mode);
        return TypeOfMode(dirFd, entry.d_name, own.st_mode);
    }
    default:
        return EntryType::System;
    }
}

bool IsHidden(std::string_view name) {
    return !name.empty() && name[0] == '.' && name != "." && name != "..";
}

// An entry without the hidden, system and directory bits is always listed; one with some of
// them only when attrib asks for at least one of its bits.
bool PassesFilter(std::string_view name, EntryType type, std::int32_t attrib) {
    std::int32_t bits = IsHidden(name) ? AttrHidden : 0;
    if (type == EntryType::Directory)
        bits |= AttrDirectory;
    if (type == EntryType::System)
        bits |= AttrSystem;
    return bits == 0 || (bits & attrib) != 0;
}

} // namespace

bool SearchDirectory(const std::string& dir, const std::string& mask, std::int32_t attrib,
                     const std::function<void(std::string_view name)>& visit,
                     std::vector<std::string>* links) {
    const std::size_t slash = mask.rfind('/');
    if (slash != std::string::npos)
        return SearchDirectory(dir + '/' + mask.substr(0, slash), mask.substr(slash + 1), attrib,
                               visit, links);
    const Wildcard wildcard(mask);
    std::unique_ptr<DIR, DirCloser> stream(opendir(dir.empty() ? "/" : dir.c_str()));
    if (!stream)
        return false;
    const int dirFd = dirfd(stream.get());
    if (attrib & AttrVolumeLabel) {
        const std::optional<std::string> label = VolumeLabel(dirFd);
        if (!label)
            return false;
        visit(*label);
    }
    for (;;) {
        errno = 0;
        const dirent* entry = readdir(stream.get());
        if (!entry)
            return errno == 0;
        const std::string_view name(entry->d_name);
        if (!wildcard.Matches(name))
            continue;
        bool isLink = false;
        const std::optional<EntryType> type = TypeOfEntry(dirFd, *entry, isLink);
        if (links && isLink)
            links->emplace_back(name);
        if (type && PassesFilter(name, *type, attrib))
            visit(name);
    }
}

// The names are looked up in the directory opened once, not each along the whole path.
std::optional<std::vector<bool>> CheckEntries(const std::string& dir,
                                              std::span<const std::string_view> names,
                                              std::string_view mask, std::int32_t attrib,
                                              std::vector<std::string>* links) {
    // The volume label comes only from a listing; a name with a separator is no entry of dir.
    if ((attrib & AttrVolumeLabel) || mask.find('/') != std::string_view::npos)
        return std::nullopt;
    const FileDescriptor opened(
        ::open(dir.empty() ? "/" : dir.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
    if (!opened)
        return std::nullopt;
    const Wildcard wildcard(mask);
    std::vector<bool> listed;
    listed.reserve(names.size());
    std::string name;
    for (const std::string_view wanted : names) {
        if (wanted.empty() || wanted.find('/') != std::string_view::npos)
            return std::nullopt;
        if (!wildcard.Matches(wanted)) {
            listed.push_back(false);
            continue;
        }
        name.assign(wanted);
        struct stat own {};
        if (fstatat(opened.get(), name.c_str(), &own, AT_SYMLINK_NOFOLLOW) != 0) {
            if (errno != ENOENT)
                return std::nullopt;
            listed.push_back(false);
            continue;
        }
        if (links && S_ISLNK(own.st_mode))
            links->push_back(name);
        listed.push_back(
            PassesFilter(wanted, TypeOfMode(opened.get(), name.c_str(), own.st_mode), attrib));
    }
    return listed;
}

bool CanListDirectory(const std::string& path) {
    const std::unique_ptr<DIR, DirCloser> listing(opendir(path.empty() ? "." : path.c_str()));
    return listing != nullptr;
}

} // namespace platform
