#include "platform/win32/Win32Error.h"

#include "platform/FileChecks.h"

#include <cerrno>

namespace platform {

int ErrnoFromWin32(DWORD error) {
    switch (error) {
    case ERROR_SUCCESS:
        return 0;
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME:
        return ENOENT;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_WRITE_PROTECT:
        return EACCES;
    case ERROR_DIRECTORY:
        return ENOTDIR;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
        return EEXIST;
    case ERROR_TOO_MANY_OPEN_FILES:
        return EMFILE;
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY:
        return ENOMEM;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return ENOSPC;
    case ERROR_FILENAME_EXCED_RANGE:
        return ENAMETOOLONG;
    case ERROR_INVALID_HANDLE:
        return EBADF;
    case ERROR_INVALID_PARAMETER:
        return EINVAL;
    case ERROR_NOT_SUPPORTED:
        return ENOTSUP;
    default:
        return EIO;
    }
}

int LastErrno() {
    return ErrnoFromWin32(::GetLastError());
}

int OpenErrno(const std::string& path) {
    const DWORD error = ::GetLastError();
    return error == ERROR_ACCESS_DENIED && IsDirectory(path) ? EISDIR : ErrnoFromWin32(error);
}

} // namespace platform
