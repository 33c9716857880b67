#include "platform/AtomicFile.h"

#include "platform/win32/Handle.h"
#include "platform/win32/Win32Error.h"

#include <atomic>
#include <cerrno>

namespace platform {

namespace {

// Beside the file, so that the move stays on its volume; no other writer uses the same name.
std::string TemporaryPathFor(const std::string& path) {
    static std::atomic<unsigned> counter{0};
    const std::size_t cut = path.find_last_of("\\/:");
    const std::size_t baseStart = cut == std::string::npos ? 0 : cut + 1;
    return path.substr(0, baseStart) + "." + path.substr(baseStart) + "." +
           std::to_string(::GetCurrentProcessId()) + "." + std::to_string(counter.fetch_add(1));
}

// The old file's hidden and system bits go to the new one.
DWORD AttributesFor(DWORD old) {
    const DWORD kept =
        old == INVALID_FILE_ATTRIBUTES ? 0 : old & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    return kept != 0 ? kept : FILE_ATTRIBUTE_NORMAL;
}

// Removes the temporary file unless it was moved into place.
class TemporaryFile {
public:
    explicit TemporaryFile(std::string path) : path_(std::move(path)) {}
    ~TemporaryFile() {
        if (!moved_)
            ::DeleteFileA(path_.c_str());
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;
    void MarkMoved() { moved_ = true; }

private:
    std::string path_;
    bool moved_ = false;
};

int WriteAll(HANDLE file, const std::string& contents) {
    std::size_t done = 0;
    while (done < contents.size()) {
        DWORD written = 0;
        if (!::WriteFile(file, contents.data() + done, static_cast<DWORD>(contents.size() - done),
                         &written, nullptr))
            return LastErrno();
        if (written == 0)
            return ENOSPC;
        done += written;
    }
    return ::FlushFileBuffers(file) ? 0 : LastErrno();
}

// Another program (a viewer, a virus scanner) may hold the file open for a moment, and Windows
// replaces no file that is open: the move is tried again for about a second.
int MoveIntoPlace(const std::string& from, const std::string& to) {
    for (int attempt = 1;; ++attempt) {
        if (::MoveFileExA(from.c_str(), to.c_str(),
                          MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            return 0;
        const DWORD error = ::GetLastError();
        if (attempt == 20 || (error != ERROR_SHARING_VIOLATION && error != ERROR_ACCESS_DENIED))
            return ErrnoFromWin32(error);
        ::Sleep(50);
    }
}

} // namespace

int ReplaceFileContents(const std::string& path, const std::string& contents) {
    const DWORD old = ::GetFileAttributesA(path.c_str());
    if (old != INVALID_FILE_ATTRIBUTES && (old & FILE_ATTRIBUTE_DIRECTORY))
        return EISDIR;
    // A file marked read-only stays as it is: Windows refuses the move over it only after the
    // retries for a busy file below, and Wine not at all.
    if (old != INVALID_FILE_ATTRIBUTES && (old & FILE_ATTRIBUTE_READONLY))
        return EACCES;
    const DWORD attributes = AttributesFor(old);
    std::string temporary;
    KernelHandle file;
    for (int attempt = 0; attempt < 100 && !file; ++attempt) {
        temporary = TemporaryPathFor(path);
        file.reset(::CreateFileA(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                 attributes, nullptr));
        if (!file && ::GetLastError() != ERROR_FILE_EXISTS)
            return LastErrno();
    }
    if (!file)
        return EEXIST;
    TemporaryFile guard(temporary);
    const int error = WriteAll(file.get(), contents);
    file.reset();
    if (error != 0)
        return error;
    if (const int moveError = MoveIntoPlace(temporary, path); moveError != 0)
        return moveError;
    guard.MarkMoved();
    return 0;
}

} // namespace platform
