#include "ui/win32/SystemTrayIcon.h"

#include <cstring>

namespace {
// The record in its first form (no balloon or version fields): every shell takes it.
constexpr DWORD FirstFormSize = NOTIFYICONDATAA_V1_SIZE;
static_assert(sizeof(void*) != 4 || FirstFormSize == 88);
} // namespace

SystemTrayIcon::SystemTrayIcon() {
    data_.cbSize = FirstFormSize;
}

SystemTrayIcon::~SystemTrayIcon() {
    if (shown_)
        RemoveIcon();
}

void SystemTrayIcon::CopyTip(const char* tip) {
    std::memset(data_.szTip, 0, sizeof data_.szTip);
    if (tip)
        std::strncpy(data_.szTip, tip, TipLength);
}

bool SystemTrayIcon::AddIcon(HWND window, UINT id, HICON icon, const char* tip, UINT message) {
    if (shown_)
        return false;
    if (message == 0)
        message = ::RegisterWindowMessageA(tip ? tip : "");
    if (message != 0) {
        data_.cbSize = FirstFormSize;
        data_.hWnd = window;
        data_.uID = id;
        data_.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
        data_.uCallbackMessage = message;
        data_.hIcon = icon;
        CopyTip(tip);
        shown_ = ::Shell_NotifyIconA(NIM_ADD, &data_);
    }
    if (icon)
        ::DestroyIcon(icon);
    return shown_;
}

bool SystemTrayIcon::SetTip(const char* tip) {
    if (!shown_)
        return false;
    char kept[sizeof data_.szTip];
    std::memcpy(kept, data_.szTip, sizeof kept);
    CopyTip(tip);
    data_.uFlags = NIF_TIP;
    const BOOL changed = ::Shell_NotifyIconA(NIM_MODIFY, &data_);
    if (!changed)
        std::memcpy(data_.szTip, kept, sizeof kept);
    return changed;
}

bool SystemTrayIcon::RemoveIcon() {
    if (!shown_)
        return false;
    shown_ = !::Shell_NotifyIconA(NIM_DELETE, &data_);
    return shown_;
}
