#include "ui/win32/DirWindow.h"

#include "ui/CommandTable.h"
#include "ui/FrameLayout.h"
#include "ui/win32/AboutDialog.h"

#include <algorithm>
#include <iostream>

namespace {

constexpr const char* ClassName = "PeerwellDirWindow";
constexpr int IdList = 101;

void RegisterClassOnce(HINSTANCE module, WNDPROC proc) {
    WNDCLASSA windowClass{};
    if (::GetClassInfoA(module, ClassName, &windowClass))
        return;
    windowClass.lpfnWndProc = proc;
    windowClass.hInstance = module;
    windowClass.hCursor = ::LoadCursor(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = ClassName;
    ::RegisterClassA(&windowClass);
}

} // namespace

DirWindow::DirWindow() : controller_(prompts_, std::cout) {
    controller_.SetListChanged([this] { ShowLines(); });
}

bool DirWindow::Create(HWND parent, const RECT& area) {
    const HINSTANCE module = ::GetModuleHandleA(nullptr);
    RegisterClassOnce(module, Proc);
    window_ = ::CreateWindowExA(0, ClassName, nullptr, WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN,
                                area.left, area.top, area.right - area.left, area.bottom - area.top,
                                parent, nullptr, module, this);
    if (!window_)
        return false;
    list_ = ::CreateWindowExA(
        WS_EX_CLIENTEDGE, "LISTBOX", nullptr,
        WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_TABSTOP | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT, 0, 0,
        0, 0, window_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(IdList)), module, nullptr);
    FitList();
    ::SendMessageA(list_, WM_SETFONT, reinterpret_cast<WPARAM>(::GetStockObject(DEFAULT_GUI_FONT)),
                   FALSE);
    prompts_.SetOwner(window_);
    controller_.Create();
    ShowLines();
    PlaceTrayIcon();
    // Handled once the message loop runs, so the box stands over the frame shown.
    ::PostMessageA(window_, WarnMessage, 0, 0);
    return true;
}

void DirWindow::Move(const RECT& area) {
    ::MoveWindow(window_, area.left, area.top, area.right - area.left, area.bottom - area.top,
                 TRUE);
    FitList();
}

void DirWindow::FitList() {
    RECT area;
    ::GetClientRect(window_, &area);
    ::MoveWindow(list_, ListMargin, ListMargin, std::max(0L, area.right - 2 * ListMargin),
                 std::max(0L, area.bottom - 2 * ListMargin), TRUE);
}

void DirWindow::PlaceTrayIcon() {
    const auto icon = static_cast<HICON>(::LoadImageA(::GetModuleHandleA(nullptr), "MAIN_ICON",
                                                      IMAGE_ICON, ::GetSystemMetrics(SM_CXSMICON),
                                                      ::GetSystemMetrics(SM_CYSMICON), 0));
    trayIcon_.AddIcon(window_, TrayIconId, icon, "Peerwell", TrayNotifyMessage);
}

void DirWindow::OnTaskbarCreated() {
    trayIcon_.ShellRestarted();
    PlaceTrayIcon();
}

void DirWindow::ShowLines() {
    ::SendMessageA(list_, LB_RESETCONTENT, 0, 0);
    for (const std::string& line : controller_.Lines())
        ::SendMessageA(list_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
    // Selecting from the program sends no selection-change notification.
    ::SendMessageA(list_, LB_SETCURSEL, static_cast<WPARAM>(controller_.SelectedLine()), 0);
}

void DirWindow::Command(int id) {
    switch (id) {
    case CM_EXIT:
        if (QueryClose())
            ::DestroyWindow(::GetAncestor(window_, GA_ROOT));
        return;
    case CM_ABOUT:
        return RunAboutDialog(window_);
    default:
        return controller_.Command(id);
    }
}

void DirWindow::OnListNotify(int code) {
    if (code == LBN_SELCHANGE)
        controller_.Select(static_cast<int>(::SendMessageA(list_, LB_GETCURSEL, 0, 0)));
    else if (code == LBN_DBLCLK)
        controller_.OpenLog();
}

void DirWindow::OnTrayNotify(LPARAM mouseMessage) const {
    if (mouseMessage != WM_LBUTTONDBLCLK)
        return;
    const HWND frame = ::GetAncestor(window_, GA_ROOT);
    ::ShowWindow(frame, ::IsWindowVisible(frame) ? SW_HIDE : SW_SHOWNORMAL);
}

LRESULT CALLBACK DirWindow::Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* self =
            static_cast<DirWindow*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        self->window_ = window;
        ::SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<DirWindow*>(::GetWindowLongPtrA(window, GWLP_USERDATA));
    return self ? self->OnMessage(message, wParam, lParam)
                : ::DefWindowProcA(window, message, wParam, lParam);
}

LRESULT DirWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
        if (LOWORD(wParam) == IdList && reinterpret_cast<HWND>(lParam) == list_) {
            OnListNotify(HIWORD(wParam));
            return 0;
        }
        break;
    case TrayNotifyMessage:
        OnTrayNotify(lParam);
        return 0;
    case WarnMessage:
        controller_.WarnOfSkippedLines();
        return 0;
    }
    return ::DefWindowProcA(window_, message, wParam, lParam);
}
