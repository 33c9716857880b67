#include "platform/posix/LinkTarget.h"

#include <cerrno>
#include <climits>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

// The same bound the kernel puts on a chain of symbolic links.
constexpr int MaxLinkDepth = 40;

} // namespace

int ResolveLinks(const std::string& path, std::filesystem::path& target) {
    target = path;
    for (int depth = 0; depth < MaxLinkDepth; ++depth) {
        struct stat st {};
        if (::lstat(target.c_str(), &st) != 0)
            return errno == ENOENT ? 0 : errno;
        if (!S_ISLNK(st.st_mode))
            return S_ISDIR(st.st_mode) ? EISDIR : 0;
        std::string text(PATH_MAX, '\0');
        const ssize_t length = ::readlink(target.c_str(), text.data(), text.size());
        if (length < 0)
            return errno;
        text.resize(static_cast<std::size_t>(length));
        target = target.parent_path() / text;
    }
    return ELOOP;
}

} // namespace platform
