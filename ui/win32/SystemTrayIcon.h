#pragma once

#include <windows.h>

#include <shellapi.h>

// The program's icon in the notification area, over Shell_NotifyIconA. Shown follows the
// results of the shell calls only; a failed change leaves Data describing what the shell shows.
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
    // Returns whether the icon is still there.
    bool RemoveIcon();
    // The shell's task bar was created anew and knows no icon: the next AddIcon places it again.
    void ShellRestarted() { shown_ = false; }

    bool Shown() const { return shown_; }

private:
    void CopyTip(const char* tip);

    BOOL shown_ = FALSE;
    NOTIFYICONDATAA data_{};
};
