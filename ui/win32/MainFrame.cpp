#include "ui/win32/MainFrame.h"

#include "ui/CommandTable.h"
#include "ui/FrameLayout.h"
#include "ui/win32/DirWindow.h"

#include <algorithm>
#include <commctrl.h>
#include <memory>
#include <type_traits>
#include <vector>

namespace {

constexpr DWORD FrameStyle =
    WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;

struct DestroyMenu {
    void operator()(HMENU menu) const { ::DestroyMenu(menu); }
};
using Menu = std::unique_ptr<std::remove_pointer_t<HMENU>, DestroyMenu>;

// The menu bar with its drop-down menus, as the command table orders them.
Menu CreateMainMenu() {
    Menu bar(::CreateMenu());
    for (const DropDownMenu& dropDown : MainMenu) {
        const HMENU menu = ::CreatePopupMenu();
        for (int id : dropDown.items) {
            if (id == Separator)
                ::AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
            else
                ::AppendMenuA(menu, MF_STRING, id, FindCommand(id)->menuText);
        }
        ::AppendMenuA(bar.get(), MF_POPUP, reinterpret_cast<UINT_PTR>(menu), dropDown.text);
    }
    return bar;
}

// The display's DPI for the whole system; the manifest declares the program aware of it, so the
// system does not stretch its windows, and the fixed measures are scaled here.
int SystemDpi() {
    const HDC screen = ::GetDC(nullptr);
    const int dpi = ::GetDeviceCaps(screen, LOGPIXELSY);
    ::ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : USER_DEFAULT_SCREEN_DPI;
}

SIZE FrameSize() {
    const int dpi = SystemDpi();
    return {::MulDiv(FrameOuterWidth, dpi, USER_DEFAULT_SCREEN_DPI),
            ::MulDiv(FrameOuterHeight, dpi, USER_DEFAULT_SCREEN_DPI)};
}

} // namespace

bool MainFrame::Create() {
    const HINSTANCE module = ::GetModuleHandleA(nullptr);
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = Proc;
    windowClass.hInstance = module;
    windowClass.hIcon = ::LoadIconA(module, "MAIN_ICON");
    windowClass.hCursor = ::LoadCursor(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = ClassName;
    ::RegisterClassA(&windowClass);
    taskbarCreated_ = ::RegisterWindowMessageA("TaskbarCreated");
    showRequest_ = ::RegisterWindowMessageA(ShowRequest);
    Menu menu = CreateMainMenu();
    const SIZE size = FrameSize();
    if (!::CreateWindowExA(0, ClassName, "Peerwell", FrameStyle, 0, 0, size.cx, size.cy, nullptr,
                           menu.get(), module, this))
        return false;
    menu.release(); // the frame destroys its menu with itself
    return true;
}

void MainFrame::Show(int showCommand) {
    const bool maximised = showCommand == SW_SHOWMAXIMIZED || showCommand == SW_MAXIMIZE;
    ::ShowWindow(window_, maximised ? SW_SHOWNORMAL : showCommand);
    ::UpdateWindow(window_);
}

void MainFrame::CreateToolBar() {
    const HINSTANCE module = ::GetModuleHandleA(nullptr);
    // No TBSTYLE_TOOLTIPS: the buttons have no hints.
    toolBar_ = ::CreateWindowExA(0, TOOLBARCLASSNAMEA, nullptr, WS_CHILD | WS_VISIBLE | CCS_TOP, 0,
                                 0, 0, 0, window_, nullptr, module, nullptr);
    ::SendMessageA(toolBar_, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    // Pixels repeated a whole number of times keep the bitmaps sharp.
    const int scale = std::max(1, SystemDpi() / USER_DEFAULT_SCREEN_DPI);
    std::vector<const char*> bitmaps;
    std::vector<TBBUTTON> buttons;
    for (int id : ToolBarItems) {
        TBBUTTON button{};
        if (id == Separator) {
            button.iBitmap = ToolSeparatorWidth * scale;
            button.fsStyle = BTNS_SEP;
        } else {
            button.iBitmap = static_cast<int>(bitmaps.size());
            bitmaps.push_back(FindCommand(id)->bitmap);
            button.idCommand = id;
            button.fsStyle = BTNS_BUTTON; // created disabled: fsState is 0
        }
        buttons.push_back(button);
    }
    images_.emplace(bitmaps, scale);
    ::SendMessageA(toolBar_, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images_->Enabled()));
    ::SendMessageA(toolBar_, TB_SETDISABLEDIMAGELIST, 0,
                   reinterpret_cast<LPARAM>(images_->Disabled()));
    ::SendMessageA(toolBar_, TB_ADDBUTTONSA, buttons.size(),
                   reinterpret_cast<LPARAM>(buttons.data()));
    ::SendMessageA(toolBar_, TB_AUTOSIZE, 0, 0);
}

RECT MainFrame::ClientArea() const {
    RECT area;
    ::GetClientRect(window_, &area);
    RECT bar;
    ::GetWindowRect(toolBar_, &bar);
    area.top += bar.bottom - bar.top;
    return area;
}

void MainFrame::UpdateToolBar() {
    for (const CommandInfo& command : Commands) {
        const bool enabled = client_.CommandEnabled(command.id);
        if (enabled != (::SendMessageA(toolBar_, TB_ISBUTTONENABLED, command.id, 0) != 0))
            ::SendMessageA(toolBar_, TB_ENABLEBUTTON, command.id, MAKELPARAM(enabled, 0));
    }
}

void MainFrame::EnableMenuItems(HMENU menu) const {
    const int count = ::GetMenuItemCount(menu);
    for (int position = 0; position < count; ++position) {
        const UINT id = ::GetMenuItemID(menu, position);
        if (id == 0 || id == static_cast<UINT>(-1))
            continue; // a separator or a drop-down menu
        const bool enabled = client_.CommandEnabled(static_cast<int>(id));
        ::EnableMenuItem(menu, position, MF_BYPOSITION | (enabled ? MF_ENABLED : MF_GRAYED));
    }
}

// While a message box, a dialog or the log viewer is up the frame is disabled: it neither asks
// nor closes then.
bool MainFrame::MayClose() {
    return ::IsWindowEnabled(window_) && client_.QueryClose();
}

LRESULT CALLBACK MainFrame::Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* self =
            static_cast<MainFrame*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        self->window_ = window;
        ::SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<MainFrame*>(::GetWindowLongPtrA(window, GWLP_USERDATA));
    return self ? self->OnMessage(message, wParam, lParam)
                : ::DefWindowProcA(window, message, wParam, lParam);
}

LRESULT MainFrame::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        CreateToolBar();
        return client_.Create(window_, ClientArea()) ? 0 : -1;
    case WM_SIZE:
        if (wParam == SIZE_MINIMIZED) {
            ::ShowWindow(window_, SW_HIDE);
        } else if (toolBar_) {
            ::SendMessageA(toolBar_, TB_AUTOSIZE, 0, 0);
            client_.Move(ClientArea());
        }
        return 0;
    case WM_GETMINMAXINFO: {
        // Maximised by any means, the frame keeps its place and size.
        auto* limits = reinterpret_cast<MINMAXINFO*>(lParam);
        const SIZE size = FrameSize();
        limits->ptMaxSize = limits->ptMinTrackSize = limits->ptMaxTrackSize = {size.cx, size.cy};
        limits->ptMaxPosition = {0, 0};
        return 0;
    }
    case WM_SETFOCUS:
        client_.Focus(); // the keyboard goes to the list
        return 0;
    case WM_INITMENUPOPUP:
        if (!HIWORD(lParam))
            EnableMenuItems(reinterpret_cast<HMENU>(wParam));
        return 0;
    case WM_COMMAND:
        // From the menu (no control) or the tool bar; a command can't start inside another one.
        if ((lParam == 0 || reinterpret_cast<HWND>(lParam) == toolBar_) &&
            ::IsWindowEnabled(window_))
            client_.Command(LOWORD(wParam));
        return 0;
    case WM_CLOSE:
        if (MayClose())
            ::DestroyWindow(window_);
        return 0;
    case WM_QUERYENDSESSION:
        return MayClose();
    case WM_ENDSESSION:
        // The question was answered Yes for this session end: no second one.
        if (client_.CloseApproved())
            ::DestroyWindow(window_);
        return 0;
    case WM_DESTROY:
        ::PostQuitMessage(0);
        return 0;
    }
    if (message == taskbarCreated_ && message != 0) {
        client_.OnTaskbarCreated();
        return 0;
    }
    if (message == showRequest_ && message != 0) {
        // As the tray icon shows it: in its normal state, in front.
        ::ShowWindow(window_, SW_SHOWNORMAL);
        ::SetForegroundWindow(window_);
        return 0;
    }
    return ::DefWindowProcA(window_, message, wParam, lParam);
}
