#include "platform/InstanceLock.h"

#include "platform/win32/Handle.h"
#include "platform/win32/Win32Error.h"

#include <windows.h>

namespace platform {

struct InstanceLock::Backend {
    KernelHandle file; // open for writing by this process alone while it is open
};

namespace {

int LockFolder(std::string& folder) {
    char temp[MAX_PATH + 1];
    const DWORD length = ::GetTempPathA(sizeof temp, temp);
    if (length == 0 || length > MAX_PATH)
        return length == 0 ? LastErrno() : ENAMETOOLONG;
    folder = std::string(temp, length) + "peerwell";
    if (!::CreateDirectoryA(folder.c_str(), nullptr) && ::GetLastError() != ERROR_ALREADY_EXISTS)
        return LastErrno();
    return 0;
}

// The path of an existing file or folder as the system resolves it: links followed, names in
// their case on disk. Empty when it can't be opened.
std::string FinalPath(const std::string& path) {
    const KernelHandle handle(
        ::CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                      nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    char final[4 * MAX_PATH];
    const DWORD length =
        handle ? ::GetFinalPathNameByHandleA(handle.get(), final, sizeof final, 0) : 0;
    if (length == 0 || length >= sizeof final)
        return {};
    const std::string result(final, length);
    if (result.starts_with("\\\\?\\UNC\\"))
        return "\\" + result.substr(7);
    return result.starts_with("\\\\?\\") ? result.substr(4) : result;
}

// The holder writes its record right after taking the lock: it is given a moment for that.
LockHolder ReadHolder(const std::string& path) {
    for (int attempt = 0; attempt < 20; ++attempt) {
        const KernelHandle file(::CreateFileA(path.c_str(), GENERIC_READ,
                                              FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        char record[64];
        DWORD count = 0;
        if (file && ::ReadFile(file.get(), record, sizeof record, &count, nullptr))
            if (const LockHolder holder = ParseLockRecord({record, count}); holder.processId != 0)
                return holder;
        ::Sleep(50);
    }
    return {};
}

} // namespace

std::string ListIdentity(const std::string& listFile) {
    char full[MAX_PATH];
    char* name = nullptr;
    const DWORD length = ::GetFullPathNameA(listFile.c_str(), sizeof full, full, &name);
    if (length == 0 || length >= sizeof full || name == nullptr)
        return listFile;
    if (std::string file = FinalPath(full); !file.empty())
        return file;
    std::string folder = FinalPath(std::string(full, name));
    if (folder.empty())
        return full;
    return folder + (folder.ends_with('\\') ? "" : "\\") + name;
}

InstanceLock::InstanceLock(const std::string& listFile, ProgramKind kind)
    : identity_(ListIdentity(listFile)), backend_(std::make_unique<Backend>()) {
    std::string folder;
    if ((error_ = LockFolder(folder)) != 0)
        return;
    showChannel_ = "peerwell-" + LockName(identity_);
    const std::string path = folder + "\\" + LockName(identity_) + ".lock";
    // Others may read the record, but none may open the file for writing while it is held.
    KernelHandle file(::CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ,
                                    nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        const DWORD error = ::GetLastError();
        error_ = error == ERROR_SHARING_VIOLATION ? 0 : ErrnoFromWin32(error);
        if (error_ == 0) {
            outcome_ = Outcome::Held;
            holder_ = ReadHolder(path);
        }
        return;
    }
    // Held all the same when the record can't be written; a second program then names no holder.
    const std::string record = FormatLockRecord(::GetCurrentProcessId(), kind);
    DWORD written = 0;
    ::WriteFile(file.get(), record.data(), static_cast<DWORD>(record.size()), &written, nullptr);
    backend_->file = std::move(file);
    outcome_ = Outcome::Taken;
}

InstanceLock::~InstanceLock() = default;

} // namespace platform
