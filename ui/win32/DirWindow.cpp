#include "ui/win32/DirWindow.h"

#include "ui/CommandTable.h"
#include "ui/FrameLayout.h"
#include "ui/win32/AboutDialog.h"

#include <algorithm>
#include <commctrl.h>
#include <iostream>
#include <memory>
#include <type_traits>

namespace {

constexpr const char* ClassName = "PeerwellDirWindow";
constexpr int IdList = 101;
constexpr UINT_PTR NoticeTimerId = 1;
constexpr int ToolTipWidth = 480; // wider tips break into lines
constexpr int LineGap = 2;        // around the mark and the text of a line

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
    controller_.SetDesktop(this, &preferences_);
}

bool DirWindow::Create(HWND parent, const RECT& area) {
    const HINSTANCE module = ::GetModuleHandleA(nullptr);
    RegisterClassOnce(module, Proc);
    window_ = ::CreateWindowExA(0, ClassName, nullptr, WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN,
                                area.left, area.top, area.right - area.left, area.bottom - area.top,
                                parent, nullptr, module, this);
    if (!window_)
        return false;
    list_ =
        ::CreateWindowExA(WS_EX_CLIENTEDGE, "LISTBOX", nullptr,
                          WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_TABSTOP | LBS_NOTIFY |
                              LBS_NOINTEGRALHEIGHT | LBS_OWNERDRAWFIXED | LBS_HASSTRINGS,
                          0, 0, 0, 0, window_,
                          reinterpret_cast<HMENU>(static_cast<INT_PTR>(IdList)), module, nullptr);
    toolTip_ =
        ::CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr,
                          WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, CW_USEDEFAULT, CW_USEDEFAULT,
                          CW_USEDEFAULT, CW_USEDEFAULT, window_, nullptr, module, nullptr);
    ::SendMessageA(toolTip_, TTM_SETMAXTIPWIDTH, 0, ToolTipWidth);
    const HFONT font = static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
    ::SendMessageA(list_, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    // A line as high as the font or the mark, whichever is higher.
    TEXTMETRICA metrics{};
    const HDC screen = ::GetDC(list_);
    const HGDIOBJ previous = ::SelectObject(screen, font);
    ::GetTextMetricsA(screen, &metrics);
    ::SelectObject(screen, previous);
    ::ReleaseDC(list_, screen);
    const int height = std::max<int>(metrics.tmHeight, ::GetSystemMetrics(SM_CYSMICON)) + LineGap;
    ::SendMessageA(list_, LB_SETITEMHEIGHT, 0, height);
    FitList();
    prompts_.SetOwner(window_);
    controller_.Create();
    ShowLines();
    PlaceTrayIcon();
    const HWND window = window_;
    controller_.SetWatchWake([window] { ::PostMessageA(window, WatchEventsMessage, 0, 0); });
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
    ShowToolTips();
}

void DirWindow::PlaceTrayIcon() {
    const auto icon = static_cast<HICON>(::LoadImageA(::GetModuleHandleA(nullptr), "MAIN_ICON",
                                                      IMAGE_ICON, ::GetSystemMetrics(SM_CXSMICON),
                                                      ::GetSystemMetrics(SM_CYSMICON), 0));
    trayIcon_.AddIcon(window_, TrayIconId, icon, controller_.TrayTip().c_str(), TrayNotifyMessage);
}

void DirWindow::OnTaskbarCreated() {
    trayIcon_.ShellRestarted();
    PlaceTrayIcon();
}

// Each line's item data says whether it carries the mark.
void DirWindow::ShowLines() {
    ::SendMessageA(list_, LB_RESETCONTENT, 0, 0);
    const std::vector<std::string> lines = controller_.Lines();
    for (int line = 0; line < static_cast<int>(lines.size()); ++line) {
        const LPARAM text = reinterpret_cast<LPARAM>(lines[static_cast<std::size_t>(line)].c_str());
        const auto index = static_cast<WPARAM>(::SendMessageA(list_, LB_ADDSTRING, 0, text));
        ::SendMessageA(list_, LB_SETITEMDATA, index, controller_.LineMarked(line));
    }
    // Selecting from the program sends no selection-change notification.
    ::SendMessageA(list_, LB_SETCURSEL, static_cast<WPARAM>(controller_.SelectedLine()), 0);
    ShowToolTips();
}

// One tool of the tool tip per line, over the line's place in the list.
void DirWindow::ShowToolTips() {
    TTTOOLINFOA tool{};
    tool.cbSize = TTTOOLINFOA_V2_SIZE;
    tool.hwnd = list_;
    for (tool.uId = 0; tool.uId < static_cast<UINT_PTR>(toolCount_); ++tool.uId)
        ::SendMessageA(toolTip_, TTM_DELTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
    toolCount_ = static_cast<int>(::SendMessageA(list_, LB_GETCOUNT, 0, 0));
    tool.uFlags = TTF_SUBCLASS;
    for (tool.uId = 0; tool.uId < static_cast<UINT_PTR>(toolCount_); ++tool.uId) {
        std::string tip = controller_.LineToolTip(static_cast<int>(tool.uId));
        tool.lpszText = tip.data();
        ::SendMessageA(list_, LB_GETITEMRECT, tool.uId, reinterpret_cast<LPARAM>(&tool.rect));
        ::SendMessageA(toolTip_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
    }
}

void DirWindow::DrawLine(const DRAWITEMSTRUCT& item) const {
    if (item.itemID == static_cast<UINT>(-1))
        return; // an empty list with the focus
    const bool selected = item.itemState & ODS_SELECTED;
    ::FillRect(item.hDC, &item.rcItem,
               ::GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    RECT text = item.rcItem;
    text.left += LineGap;
    if (item.itemData != 0) {
        const int size = ::GetSystemMetrics(SM_CXSMICON);
        const int top = (item.rcItem.top + item.rcItem.bottom - size) / 2;
        ::DrawIconEx(item.hDC, text.left, top, ::LoadIcon(nullptr, IDI_WARNING), size, size, 0,
                     nullptr, DI_NORMAL);
        text.left += size + LineGap;
    }
    const std::vector<std::string> lines = controller_.Lines();
    if (item.itemID < lines.size()) {
        ::SetBkMode(item.hDC, TRANSPARENT);
        ::SetTextColor(item.hDC, ::GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
        ::DrawTextA(item.hDC, lines[item.itemID].c_str(), -1, &text,
                    DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_PATH_ELLIPSIS);
    }
    if (item.itemState & ODS_FOCUS)
        ::DrawFocusRect(item.hDC, &item.rcItem);
}

void DirWindow::Command(int id) {
    switch (id) {
    case CM_EXIT:
        if (QueryClose())
            ::DestroyWindow(::GetAncestor(window_, GA_ROOT));
        return;
    case CM_ABOUT:
        return RunAboutDialog(window_);
    case CM_SHOWHIDE:
        return ToggleFrame();
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

// What happened over the icon: a mouse message, or with NOTIFYICON_VERSION also a request for
// the menu.
void DirWindow::OnTrayNotify(LPARAM event) {
    switch (event) {
    case WM_LBUTTONDBLCLK:
        return ToggleFrame();
    case WM_RBUTTONUP:
        if (!trayIcon_.Versioned())
            ShowTrayMenu();
        return;
    case WM_CONTEXTMENU:
    case NIN_KEYSELECT:
        return ShowTrayMenu();
    }
}

void DirWindow::ToggleFrame() const {
    const HWND frame = ::GetAncestor(window_, GA_ROOT);
    ::ShowWindow(frame, ::IsWindowVisible(frame) ? SW_HIDE : SW_SHOWNORMAL);
}

// The tray icon's menu at the mouse, from the command table. Not while a dialog or a box holds
// the frame disabled: a command can't start inside another one.
void DirWindow::ShowTrayMenu() {
    const HWND frame = ::GetAncestor(window_, GA_ROOT);
    if (!::IsWindowEnabled(frame))
        return;
    const std::unique_ptr<std::remove_pointer_t<HMENU>, decltype(&::DestroyMenu)> menu(
        ::CreatePopupMenu(), &::DestroyMenu);
    for (int id : TrayMenuItems) {
        if (id == Separator) {
            ::AppendMenuA(menu.get(), MF_SEPARATOR, 0, nullptr);
            continue;
        }
        const char* text = id == CM_SHOWHIDE && ::IsWindowVisible(frame)
                               ? HideMenuText
                               : FindCommand(id)->menuText;
        const UINT state = (CommandEnabled(id) ? MF_ENABLED : MF_GRAYED) |
                           (controller_.CommandChecked(id) ? MF_CHECKED : MF_UNCHECKED);
        ::AppendMenuA(menu.get(), MF_STRING | state, static_cast<UINT_PTR>(id), text);
    }
    ::SetMenuDefaultItem(menu.get(), TrayMenuItems[0], FALSE);
    POINT at{};
    ::GetCursorPos(&at);
    // The menu closes on a click elsewhere only when its owner is in the foreground.
    ::SetForegroundWindow(frame);
    const int id = ::TrackPopupMenu(menu.get(), TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY,
                                    at.x, at.y, 0, frame, nullptr);
    ::PostMessageA(frame, WM_NULL, 0, 0);
    if (id != 0)
        Command(id);
}

void DirWindow::ShowTrayTip(const std::string& tip) {
    trayIcon_.SetTip(tip.c_str());
}

void DirWindow::Notify(const std::string& title, const std::string& text, Notice notice) {
    trayIcon_.ShowBalloon(title.c_str(), text.c_str(),
                          notice == Notice::Problem ? NIIF_WARNING : NIIF_INFO);
}

void DirWindow::StartTimer(std::chrono::milliseconds delay) {
    ::SetTimer(window_, NoticeTimerId, static_cast<UINT>(delay.count()), nullptr);
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
    case WatchEventsMessage:
        controller_.ApplyWatchEvents();
        return 0;
    case WM_TIMER:
        if (wParam != NoticeTimerId)
            break;
        ::KillTimer(window_, NoticeTimerId);
        controller_.TimerElapsed();
        return 0;
    case WM_DRAWITEM:
        if (wParam != IdList)
            break;
        DrawLine(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        return TRUE;
    case WarnMessage:
        controller_.WarnOfSkippedLines();
        return 0;
    }
    return ::DefWindowProcA(window_, message, wParam, lParam);
}
