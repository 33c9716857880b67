#include "ui/win32/DirWindow.h"
#include "ui/win32/MainFrame.h"

#include <commctrl.h>
#include <windows.h>

namespace {

// The message loop; whenever the queue runs empty the tool bar is brought up to date once.
int RunMessageLoop(MainFrame& frame) {
    MSG message;
    for (;;) {
        while (!::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            frame.UpdateToolBar();
            ::WaitMessage();
        }
        if (message.message == WM_QUIT)
            return static_cast<int>(message.wParam);
        ::TranslateMessage(&message);
        ::DispatchMessageA(&message);
    }
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int showCommand) {
    const INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_BAR_CLASSES};
    ::InitCommonControlsEx(&controls);
    // peer.cfg is read and the watch started before any window exists.
    DirWindow client;
    MainFrame frame(client);
    if (!frame.Create())
        return 1;
    frame.Show(showCommand);
    return RunMessageLoop(frame);
}
