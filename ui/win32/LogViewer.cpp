#include "ui/win32/LogViewer.h"

#include "platform/win32/Handle.h"

namespace {

// The Windows directory is taken with at most 253 characters.
constexpr UINT WindowsDirectorySize = 254;

void WaitWhilePainting(HANDLE process) {
    while (::MsgWaitForMultipleObjects(1, &process, FALSE, INFINITE, QS_ALLINPUT) ==
           WAIT_OBJECT_0 + 1) {
        MSG message;
        while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                ::PostQuitMessage(static_cast<int>(message.wParam));
                ::WaitForSingleObject(process, INFINITE);
                return;
            }
            ::TranslateMessage(&message);
            ::DispatchMessageA(&message);
        }
    }
}

} // namespace

bool RunLogViewer(HWND owner, const std::string& logPath) {
    char directory[WindowsDirectorySize];
    const UINT length = ::GetWindowsDirectoryA(directory, WindowsDirectorySize);
    if (length == 0 || length >= WindowsDirectorySize)
        return false;
    const std::string program = std::string(directory, length) + "\\notepad.exe";
    // One quoted argument, so a path with blanks reaches notepad whole.
    std::string commandLine = "notepad.exe \"" + logPath + "\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    if (!::CreateProcessA(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                          nullptr, &startup, &started))
        return false;
    const platform::KernelHandle process(started.hProcess);
    const platform::KernelHandle thread(started.hThread);
    const HWND frame = ::GetAncestor(owner, GA_ROOT);
    ::EnableWindow(frame, FALSE);
    WaitWhilePainting(process.get());
    ::EnableWindow(frame, TRUE);
    // The frame was disabled when the viewer closed, so the system activated another window.
    if (::IsWindowVisible(frame))
        ::SetForegroundWindow(frame);
    return true;
}
