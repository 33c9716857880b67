#pragma once

#include <windows.h>

#include <utility>

namespace platform {

// Owns one Windows handle and releases it exactly once with Closer.
template <typename Closer> class Handle {
public:
    Handle() = default;
    explicit Handle(HANDLE handle) : handle_(handle) {}
    ~Handle() { reset(); }
    Handle(Handle&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
    Handle& operator=(Handle&& other) noexcept {
        if (this != &other)
            reset(std::exchange(other.handle_, nullptr));
        return *this;
    }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;

    HANDLE get() const { return handle_; }
    // Creation calls report failure with a null handle or with INVALID_HANDLE_VALUE.
    bool valid() const { return handle_ != nullptr && handle_ != INVALID_HANDLE_VALUE; }
    explicit operator bool() const { return valid(); }
    void reset(HANDLE handle = nullptr) {
        if (valid())
            Closer{}(handle_);
        handle_ = handle;
    }

private:
    HANDLE handle_ = nullptr;
};

struct CloseKernelObject {
    void operator()(HANDLE handle) const { ::CloseHandle(handle); }
};
struct CloseFileSearch {
    void operator()(HANDLE handle) const { ::FindClose(handle); }
};
struct CloseChangeNotification {
    void operator()(HANDLE handle) const { ::FindCloseChangeNotification(handle); }
};

// Files, events and threads.
using KernelHandle = Handle<CloseKernelObject>;
// FindFirstFileA searches.
using SearchHandle = Handle<CloseFileSearch>;
// FindFirstChangeNotificationA notifications.
using ChangeHandle = Handle<CloseChangeNotification>;

} // namespace platform
