#pragma once

#include <windows.h>

#include <string>

namespace platform {

// The errno value that says the same as a Windows error code (EIO for codes without one), so
// that callers and tests see the same values on every platform.
int ErrnoFromWin32(DWORD error);
// ErrnoFromWin32(GetLastError()).
int LastErrno();
// The errno of a failed CreateFileA on path: EISDIR when path names a directory, which Windows
// reports as access denied.
int OpenErrno(const std::string& path);

} // namespace platform
