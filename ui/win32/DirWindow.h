#pragma once

#include "ui/DesktopShell.h"
#include "ui/DirListController.h"
#include "ui/win32/SystemTrayIcon.h"
#include "ui/win32/Win32Preferences.h"
#include "ui/win32/Win32UserPrompts.h"

#include <windows.h>

// The main frame's client: the list of watched directories (child 101) over the list
// controller, the tray icon with its menu, and every command of the menu and tool bar. The list
// draws its lines itself: a mark on a directory that is not well, a path too long for the list
// shortened in its middle; each line's tool tip holds the whole path and what is wrong.
class DirWindow : private DesktopShell {
public:
    static constexpr UINT TrayIconId = 1;
    static constexpr UINT TrayNotifyMessage = WM_USER;
    // Posted by the watch's thread when it has news for the list.
    static constexpr UINT WatchEventsMessage = WM_APP + 1;
    // Names the lines of peer.cfg that were skipped.
    static constexpr UINT WarnMessage = WM_APP;

    // Reads peer.cfg and starts the watch; no window exists yet.
    DirWindow();
    // The watch is stopped and waited for, then the tray icon removed (member order).
    ~DirWindow() override = default;
    DirWindow(const DirWindow&) = delete;
    DirWindow& operator=(const DirWindow&) = delete;

    // Creates the window and its list inside parent, fills the list, selects and loads line 0,
    // then places the tray icon.
    bool Create(HWND parent, const RECT& area);
    void Move(const RECT& area);
    void Focus() const { ::SetFocus(list_); }

    void Command(int id);
    bool CommandEnabled(int id) const { return controller_.CommandEnabled(id); }
    // The close query of the frame: true when the program may end (DirListController).
    bool QueryClose() { return controller_.QueryClose(); }
    bool CloseApproved() const { return controller_.CloseApproved(); }
    // The shell's task bar was created anew (Explorer restarted): the icon is placed again.
    void OnTaskbarCreated();

private:
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void OnListNotify(int code);
    void OnTrayNotify(LPARAM event);
    void ToggleFrame() const;
    void ShowTrayMenu();
    void FitList();
    void PlaceTrayIcon();
    void ShowLines();
    void ShowToolTips();
    void DrawLine(const DRAWITEMSTRUCT& item) const;

    void ShowTrayTip(const std::string& tip) override;
    void Notify(const std::string& title, const std::string& text, Notice notice) override;
    void StartTimer(std::chrono::milliseconds delay) override;

    SystemTrayIcon trayIcon_;
    Win32UserPrompts prompts_;
    Win32Preferences preferences_;
    DirListController controller_;
    HWND window_ = nullptr;
    HWND list_ = nullptr;
    HWND toolTip_ = nullptr; // destroyed with window_, its owner
    int toolCount_ = 0;
};
