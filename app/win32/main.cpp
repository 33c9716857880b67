#include "config/Configuration.h"
#include "platform/InstanceLock.h"
#include "ui/win32/DirWindow.h"
#include "ui/win32/MainFrame.h"

#include <commctrl.h>
#include <string>
#include <string_view>
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

struct FrameSearch {
    DWORD processId;
    HWND frame = nullptr;
};

BOOL CALLBACK FindFrame(HWND window, LPARAM lParam) {
    auto* search = reinterpret_cast<FrameSearch*>(lParam);
    char className[64] = {};
    DWORD processId = 0;
    ::GetWindowThreadProcessId(window, &processId);
    if (processId != search->processId || !::GetClassNameA(window, className, sizeof className) ||
        std::string_view(className) != MainFrame::ClassName)
        return TRUE;
    search->frame = window;
    return FALSE;
}

// Asks the frame of the program with that process id to show itself; the program may still be
// starting, before its frame exists.
bool AskToShow(DWORD processId) {
    for (int attempt = 0; attempt < 50; ++attempt) {
        FrameSearch search{processId};
        ::EnumWindows(FindFrame, reinterpret_cast<LPARAM>(&search));
        if (search.frame) {
            ::AllowSetForegroundWindow(processId); // so that it may come to the front
            return ::PostMessageA(search.frame, ::RegisterWindowMessageA(MainFrame::ShowRequest), 0,
                                  0);
        }
        ::Sleep(100);
    }
    return false;
}

// Another program watches peer.cfg: a desktop program shows its window, the headless watcher
// is named.
int HandOver(const platform::InstanceLock& lock) {
    const bool desktop = lock.Holder().kind == platform::ProgramKind::Desktop;
    if (desktop && AskToShow(lock.Holder().processId))
        return 0;
    const std::string text = platform::DescribeLock(lock) +
                             (desktop ? "\nIt did not answer the request to show its window." : "");
    ::MessageBoxA(nullptr, text.c_str(), "Error", MB_OK | MB_ICONSTOP);
    return 1;
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int showCommand) {
    const INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_BAR_CLASSES};
    ::InitCommonControlsEx(&controls);
    // Taken before peer.cfg is read, held until the end: one program per list.
    const platform::InstanceLock lock(ConfigFileName, platform::ProgramKind::Desktop);
    if (lock.Result() == platform::InstanceLock::Outcome::Held)
        return HandOver(lock);
    // peer.cfg is read and the watch started before any window exists.
    DirWindow client;
    MainFrame frame(client);
    if (!frame.Create())
        return 1;
    frame.Show(showCommand);
    return RunMessageLoop(frame);
}
