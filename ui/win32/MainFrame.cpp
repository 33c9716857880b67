#include "ui/win32/MainFrame.h"

#include "ui/CommandTable.h"
#include "ui/FrameLayout.h"
#include "ui/win32/DirWindow.h"

#include <commctrl.h>

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
    if (!::CreateWindowExA(0, ClassName, "Peerwell", FrameStyle, 0, 0, FrameOuterWidth,
                           FrameOuterHeight, nullptr, menu.get(), module, this))
        return false;
    menu.release(); // the frame destroys its menu with itself
    return true;
}

void MainFrame::Show(int showCommand) {
    ::ShowWindow(window_, showCommand);
    ::UpdateWindow(window_);
}

void MainFrame::CreateToolBar() {
    const HINSTANCE module = ::GetModuleHandleA(nullptr);
    // No TBSTYLE_TOOLTIPS: the buttons have no hints.
    toolBar_ = ::CreateWindowExA(0, TOOLBARCLASSNAMEA, nullptr, WS_CHILD | WS_VISIBLE | CCS_TOP, 0,
                                 0, 0, 0, window_, nullptr, module, nullptr);
    ::SendMessageA(toolBar_, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    ::SendMessageA(toolBar_, TB_SETBITMAPSIZE, 0, MAKELPARAM(ToolBitmapSize, ToolBitmapSize));
    std::vector<TBBUTTON> buttons;
    for (int id : ToolBarItems) {
        TBBUTTON button{};
        if (id == Separator) {
            button.iBitmap = ToolSeparatorWidth;
            button.fsStyle = BTNS_SEP;
        } else {
            // The bitmaps' greys become the tool bar's own face and shadow colours.
            bitmaps_.emplace_back(static_cast<HBITMAP>(::LoadImageA(
                module, FindCommand(id)->bitmap, IMAGE_BITMAP, 0, 0, LR_LOADMAP3DCOLORS)));
            TBADDBITMAP added{nullptr, reinterpret_cast<UINT_PTR>(bitmaps_.back().get())};
            button.iBitmap = static_cast<int>(
                ::SendMessageA(toolBar_, TB_ADDBITMAP, 1, reinterpret_cast<LPARAM>(&added)));
            button.idCommand = id;
            button.fsStyle = BTNS_BUTTON; // created disabled: fsState is 0
        }
        buttons.push_back(button);
    }
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
