#include "ui/win32/SystemTrayIcon.h"

#include <algorithm>
#include <cstring>

namespace {

// The record in its second form, with the balloon and version fields: every shell since
// Windows 2000 takes it. The tip keeps to the first form's 63 characters.
constexpr DWORD RecordSize = NOTIFYICONDATAA_V2_SIZE;
static_assert(sizeof(void*) != 4 || RecordSize == 488);
constexpr UINT BalloonTime = 10000; // ms, where the shell leaves that to the program

// Copies text into the field, cut to its size and at most limit characters; null gives "".
template <std::size_t Size>
void CopyText(char (&field)[Size], const char* text, std::size_t limit = Size - 1) {
    std::memset(field, 0, Size);
    if (text)
        std::strncpy(field, text, std::min(limit, Size - 1));
}

} // namespace

SystemTrayIcon::SystemTrayIcon() {
    data_.cbSize = RecordSize;
}

SystemTrayIcon::~SystemTrayIcon() {
    if (shown_)
        RemoveIcon();
}

bool SystemTrayIcon::AddIcon(HWND window, UINT id, HICON icon, const char* tip, UINT message) {
    if (shown_)
        return false;
    if (message == 0)
        message = ::RegisterWindowMessageA(tip ? tip : "");
    if (message != 0) {
        data_.cbSize = RecordSize;
        data_.hWnd = window;
        data_.uID = id;
        data_.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
        data_.uCallbackMessage = message;
        data_.hIcon = icon;
        CopyText(data_.szTip, tip, TipLength);
        shown_ = ::Shell_NotifyIconA(NIM_ADD, &data_);
        data_.uVersion = NOTIFYICON_VERSION;
        versioned_ = shown_ && ::Shell_NotifyIconA(NIM_SETVERSION, &data_);
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
    CopyText(data_.szTip, tip, TipLength);
    data_.uFlags = NIF_TIP;
    const BOOL changed = ::Shell_NotifyIconA(NIM_MODIFY, &data_);
    if (!changed)
        std::memcpy(data_.szTip, kept, sizeof kept);
    return changed;
}

bool SystemTrayIcon::ShowBalloon(const char* title, const char* text, DWORD icon) {
    if (!shown_)
        return false;
    CopyText(data_.szInfoTitle, title);
    CopyText(data_.szInfo, text);
    data_.dwInfoFlags = icon;
    data_.uTimeout = BalloonTime;
    data_.uFlags = NIF_INFO;
    return ::Shell_NotifyIconA(NIM_MODIFY, &data_);
}

bool SystemTrayIcon::RemoveIcon() {
    if (!shown_)
        return false;
    shown_ = !::Shell_NotifyIconA(NIM_DELETE, &data_);
    return shown_;
}
