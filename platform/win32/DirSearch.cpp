#include "platform/DirSearch.h"

#include "platform/win32/Handle.h"

#include <optional>

namespace platform {

namespace {

bool IsSeparator(char c) {
    return c == '\\' || c == '/';
}

// The root of the volume that holds the pattern: "C:\", "\\server\share\", or empty for the
// current directory's volume.
std::string VolumeRoot(const std::string& pattern) {
    if (pattern.size() >= 2 && pattern[1] == ':')
        return pattern.substr(0, 2) + '\\';
    if (pattern.size() >= 2 && IsSeparator(pattern[0]) && IsSeparator(pattern[1])) {
        const std::size_t server = pattern.find_first_of("\\/", 2);
        const std::size_t share =
            server == std::string::npos ? server : pattern.find_first_of("\\/", server + 1);
        if (share != std::string::npos)
            return pattern.substr(0, share) + '\\';
    }
    return {};
}

// The label of that volume; a volume without one has none to list.
std::optional<std::string> VolumeLabel(const std::string& pattern) {
    const std::string root = VolumeRoot(pattern);
    char label[MAX_PATH + 1] = {};
    if (!::GetVolumeInformationA(root.empty() ? nullptr : root.c_str(), label, sizeof label,
                                 nullptr, nullptr, nullptr, nullptr, 0) ||
        label[0] == '\0')
        return std::nullopt;
    return std::string(label);
}

// An entry without the hidden, system and directory bits is always listed; one with some of
// them only when attrib asks for at least one of its bits.
bool PassesFilter(DWORD attributes, std::int32_t attrib) {
    const DWORD bits =
        attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_DIRECTORY);
    return bits == 0 || (bits & static_cast<DWORD>(attrib)) != 0;
}

} // namespace

// A symbolic link's directory bit is fixed when it is made: no link needs a second look.
bool SearchDirectory(const std::string& dir, const std::string& mask, std::int32_t attrib,
                     const std::function<void(std::string_view name)>& visit,
                     std::vector<std::string>*) {
    // A Path that ends in a separator (a root: "C:\", "\") takes no second: "\\" is a network path.
    const std::string pattern = (!dir.empty() && IsSeparator(dir.back()) ? dir : dir + '\\') + mask;
    if (attrib & AttrVolumeLabel) {
        const std::optional<std::string> label = VolumeLabel(pattern);
        if (!label)
            return false;
        visit(*label);
    }
    WIN32_FIND_DATAA found{};
    const SearchHandle search(::FindFirstFileA(pattern.c_str(), &found));
    if (!search)
        return ::GetLastError() == ERROR_FILE_NOT_FOUND; // no name matches the mask
    do {
        if (PassesFilter(found.dwFileAttributes, attrib))
            visit(found.cFileName);
    } while (::FindNextFileA(search.get(), &found));
    return ::GetLastError() == ERROR_NO_MORE_FILES;
}

// The system matches masks against the short names of entries as well, which only a listing
// reproduces; and no Windows change set names the entries to check.
std::optional<std::vector<bool>> CheckEntries(const std::string&, std::span<const std::string_view>,
                                              std::string_view, std::int32_t,
                                              std::vector<std::string>*) {
    return std::nullopt;
}

bool CanListDirectory(const std::string& path) {
    std::string pattern = path;
    if (!pattern.empty() && !IsSeparator(pattern.back()) && pattern.back() != ':')
        pattern += '\\';
    pattern += '*';
    WIN32_FIND_DATAA found{};
    const SearchHandle search(::FindFirstFileA(pattern.c_str(), &found));
    // A drive's empty root lists no entry at all, not even "." and "..".
    return search.valid() || ::GetLastError() == ERROR_FILE_NOT_FOUND;
}

} // namespace platform
