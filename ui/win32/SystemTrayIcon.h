#pragma once

#include <windows.h>

#include <shellapi.h>

// The program's icon in the notification area, over Shell_NotifyIconA. Shown follows the
// results of the shell calls only; a failed change leaves Data describing what the shell shows.
// Where the shell takes NOTIFYICON_VERSION, the icon tells a request for its menu by
// WM_CONTEXTMENU (mouse, menu key, Shift+F10) and NIN_KEYSELECT, otherwise by WM_RBUTTONUP.
class SystemTrayIcon {
public:
    static constexpr int TipLength = 63;

    SystemTrayIcon();
    ~SystemTrayIcon();
    SystemTrayIcon(const SystemTrayIcon&) = delete;
    SystemTrayIcon& operator=(const SystemTrayIcon&) = delete;

    // Places the icon and destroys the icon handle (the shell keeps its own copy). A message of
    // 0 asks for one registered under the tip. Returns Shown(); false without a shell call, and
    // the handle left alone, when the icon is already shown.
    bool AddIcon(HWND window, UINT id, HICON icon, const char* tip, UINT message);
    bool SetTip(const char* tip);
    // A balloon from the icon (NIIF_INFO, NIIF_WARNING); false when the icon is not shown.
    bool ShowBalloon(const char* title, const char* text, DWORD icon);
    // Returns whether the icon is still there.
    bool RemoveIcon();
    // The shell's task bar was created anew and knows no icon: the next AddIcon places it again.
    void ShellRestarted() { shown_ = false; }

    bool Shown() const { return shown_; }
    // Whether the shell took NOTIFYICON_VERSION for the icon.
    bool Versioned() const { return versioned_; }

private:
    BOOL shown_ = FALSE;
    BOOL versioned_ = FALSE;
    NOTIFYICONDATAA data_{};
};
