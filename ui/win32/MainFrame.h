#pragma once

#include "ui/win32/ToolBarImages.h"

#include <optional>
#include <windows.h>

class DirWindow;

// The program's top-level window: caption "Peerwell", of fixed size at (0, 0), with the menu and
// the tool bar of the command table and the directory list window as client. Every command goes
// to the client, which also answers whether it is enabled. Minimising hides the frame; nothing
// maximises it. Its size and the tool bar's pictures follow the system's DPI.
class MainFrame {
public:
    static constexpr const char* ClassName = "PeerwellFrame";
    // The registered window message with which a second program asks the frame to show itself.
    static constexpr const char* ShowRequest = "Peerwell.ShowWindow";

    explicit MainFrame(DirWindow& client) : client_(client) {}
    MainFrame(const MainFrame&) = delete;
    MainFrame& operator=(const MainFrame&) = delete;

    // Creates the frame hidden, with its tool bar and the client's window.
    bool Create();
    // The starter's show state; a minimised one leaves only the tray icon, a maximised one shows
    // the frame as it is.
    void Show(int showCommand);
    // Run when the program is idle: enables the tool-bar buttons as their commands allow.
    void UpdateToolBar();

private:
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void CreateToolBar();
    RECT ClientArea() const;
    void EnableMenuItems(HMENU menu) const;
    bool MayClose();

    DirWindow& client_;
    HWND window_ = nullptr;
    HWND toolBar_ = nullptr;
    std::optional<ToolBarImages> images_; // set in the tool bar, which does not release them
    UINT taskbarCreated_ = 0;
    UINT showRequest_ = 0;
};
