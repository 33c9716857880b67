#include "platform/FileChecks.h"

#include "platform/win32/Handle.h"

#include <windows.h>

namespace platform {

namespace {

DWORD Attributes(const std::string& path) {
    return ::GetFileAttributesA(path.c_str());
}

bool Exists(DWORD attributes) {
    return attributes != INVALID_FILE_ATTRIBUTES;
}

// The full path of path, and where its last name starts in it (npos when it ends in a separator).
// The system finds the names: in a double-byte code page a backslash byte may be half a character.
std::string FullPath(const std::string& path, std::size_t& nameStart) {
    nameStart = std::string::npos;
    const DWORD size = ::GetFullPathNameA(path.c_str(), 0, nullptr, nullptr);
    if (size == 0)
        return path;
    std::string full(size, '\0');
    char* name = nullptr;
    const DWORD length = ::GetFullPathNameA(path.c_str(), size, full.data(), &name);
    if (length == 0 || length >= size)
        return path;
    if (name != nullptr)
        nameStart = static_cast<std::size_t>(name - full.data());
    full.resize(length);
    return full;
}

} // namespace

std::string AbsolutePath(const std::string& path) {
    std::size_t nameStart;
    return FullPath(path, nameStart);
}

std::string FolderOf(const std::string& absolutePath) {
    std::size_t nameStart;
    std::string folder = FullPath(absolutePath, nameStart);
    if (nameStart == std::string::npos)
        return folder;
    folder.resize(nameStart);
    // "\" and "C:\" keep their backslash: without it they would name a current directory.
    if (folder.size() > 1 && !(folder.size() == 3 && folder[1] == ':'))
        folder.pop_back();
    return folder;
}

bool IsRegularFile(const std::string& path) {
    const DWORD attributes = Attributes(path);
    return Exists(attributes) && !(attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE));
}

bool IsDirectory(const std::string& path) {
    const DWORD attributes = Attributes(path);
    return Exists(attributes) && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// A folder's read-only attribute only marks a customised folder; files can be made in it.
bool IsReadOnly(const std::string& path) {
    const DWORD attributes = Attributes(path);
    if (!Exists(attributes) || (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return false;
    if (attributes & FILE_ATTRIBUTE_READONLY)
        return true;
    // Opening for appending changes nothing in the file; other readers and writers may hold it.
    const KernelHandle file(::CreateFileA(path.c_str(), FILE_APPEND_DATA,
                                          FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                          nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    return !file;
}

} // namespace platform
