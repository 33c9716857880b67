// peerwell.exe driven from outside as a user would: started in a folder of its own, its windows
// found by class and caption, commands posted to the frame, message boxes and the Directory
// dialog answered through their controls. Needs a display (the script starts Xvfb).
#include "tests/support/TempDir.h"
#include "ui/Commands.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <chrono>
#include <commctrl.h>
#include <cstdlib>
#include <filesystem>
#include <shellapi.h>
#include <string>
#include <vector>

using testsupport::ReadFile;
using testsupport::TempDir;
using testsupport::WaitUntil;
using testsupport::WriteFile;

namespace {

const std::string Header = "**************************************\r\n"
                           "***   Do not change this file!!!   ***\r\n"
                           "**************************************\r\n";

std::string Record(const std::string& path, const std::string& alias, const std::string& log) {
    return '"' + path + "\" \"" + alias + "\" \"*\" \"*.*\" \"0\" \"" + log + "\" \"\"\r\n";
}

// The program under test: PEERWELL_EXE, a Windows path or a Unix one (drive Z: under Wine).
std::string ProgramPath() {
    std::string path = std::getenv("PEERWELL_EXE") ? std::getenv("PEERWELL_EXE") : "";
    if (path.starts_with('/'))
        path = "Z:" + path;
    for (char& c : path)
        if (c == '/')
            c = '\\';
    return path;
}

std::string WindowText(HWND window) {
    char text[256] = {};
    ::GetWindowTextA(window, text, sizeof text);
    return text;
}

// The windows live on a desktop of this run's own, which Wine shows on the display of the test
// (the prefix's default desktop may have been made without one, or for a display now gone).
const std::string DesktopName = "peerwell-test-" + std::to_string(::GetCurrentProcessId());
class TestDesktop : public testing::Environment {
    void SetUp() override {
        const HDESK desktop =
            ::CreateDesktopA(DesktopName.c_str(), nullptr, nullptr, 0, GENERIC_ALL, nullptr);
        ASSERT_TRUE(desktop && ::SetThreadDesktop(desktop));
    }
};
[[maybe_unused]] testing::Environment* const desktop =
    testing::AddGlobalTestEnvironment(new TestDesktop);

// One run of peerwell.exe in its own working directory.
class Peerwell {
public:
    Peerwell(const TempDir& dir, WORD showCommand = SW_SHOWNORMAL) {
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        startup.lpDesktop = const_cast<char*>(DesktopName.c_str());
        startup.dwFlags = STARTF_USESHOWWINDOW | STARTF_USESTDHANDLES; // no echo of peer.cfg
        startup.wShowWindow = showCommand;
        std::string commandLine = "peerwell.exe";
        PROCESS_INFORMATION started{};
        EXPECT_TRUE(::CreateProcessA(ProgramPath().c_str(), commandLine.data(), nullptr, nullptr,
                                     FALSE, 0, nullptr, dir.str().c_str(), &startup, &started))
            << "can't start " << ProgramPath();
        process_ = started.hProcess;
        ::CloseHandle(started.hThread);
        processId_ = started.dwProcessId;
        // The frame exists before its tool bar and client do. The first program on the desktop
        // waits for Wine to set the desktop up.
        EXPECT_TRUE(WaitUntil(
            [&] {
                frame = Find("PeerwellFrame", "Peerwell");
                toolBar = ::FindWindowExA(frame, nullptr, TOOLBARCLASSNAMEA, nullptr);
                client = ::FindWindowExA(frame, nullptr, "PeerwellDirWindow", nullptr);
                return frame && toolBar && client;
            },
            std::chrono::seconds(60)))
            << "no frame with tool bar and client";
    }
    ~Peerwell() {
        if (!Ended())
            ::TerminateProcess(process_, 1);
        ::CloseHandle(process_);
    }

    // A top-level window of this process with the class and caption.
    HWND Find(const char* className, const char* caption) const {
        for (HWND window = ::FindWindowExA(nullptr, nullptr, className, caption); window;
             window = ::FindWindowExA(nullptr, window, className, caption)) {
            DWORD owner = 0;
            ::GetWindowThreadProcessId(window, &owner);
            if (owner == processId_)
                return window;
        }
        return nullptr;
    }
    // A dialog is shown once it has filled its controls.
    HWND WaitForDialog(const char* caption) const {
        HWND dialog = nullptr;
        EXPECT_TRUE(WaitUntil([&] {
            dialog = Find("#32770", caption);
            return dialog && ::IsWindowVisible(dialog);
        })) << "no box \""
            << caption << "\"";
        return dialog;
    }
    // Answers the message box with this caption and text by its button (IDYES, IDNO...).
    void Answer(const char* caption, const std::string& text, int button) const {
        const HWND box = WaitForDialog(caption);
        char shown[256] = {};
        ::GetDlgItemTextA(box, 0xFFFF, shown, sizeof shown);
        EXPECT_EQ(shown, text);
        ::PostMessageA(box, WM_COMMAND, button, 0);
        EXPECT_TRUE(WaitUntil([&] { return !::IsWindow(box); })) << "the box stayed";
        // Whatever the command does next has happened once the frame answers.
        ::SendMessageA(frame, WM_NULL, 0, 0);
    }
    void Post(int command) const { ::PostMessageA(frame, WM_COMMAND, command, 0); }
    bool ButtonEnabled(int command) const {
        return ::SendMessageA(toolBar, TB_ISBUTTONENABLED, command, 0) != 0;
    }
    // Whether the shell holds the program's icon: changing nothing succeeds only then.
    bool TrayIconShown() const {
        NOTIFYICONDATAA icon{};
        icon.cbSize = NOTIFYICONDATAA_V1_SIZE;
        icon.hWnd = client;
        icon.uID = 1;
        return ::Shell_NotifyIconA(NIM_MODIFY, &icon);
    }
    bool Ended() const { return ::WaitForSingleObject(process_, 0) == WAIT_OBJECT_0; }

    HWND frame = nullptr;
    HWND client = nullptr;
    HWND toolBar = nullptr;

private:
    HANDLE process_ = nullptr;
    DWORD processId_ = 0;
};

// Which tool-bar buttons are enabled, in the order of Commands.
const int Commands[] = {CM_VIEW,    CM_EXIT,    CM_ADD,     CM_DELETE,
                        CM_OPTIONS, CM_LOGFILE, CM_WAVFILE, CM_ABOUT};
std::string EnabledCommands(const Peerwell& peerwell) {
    std::string enabled;
    for (int command : Commands)
        enabled += peerwell.ButtonEnabled(command) ? '1' : '0';
    return enabled;
}
void ExpectEnabled(const Peerwell& peerwell, const std::string& expected, const char* state) {
    WaitUntil([&] { return EnabledCommands(peerwell) == expected; });
    EXPECT_EQ(EnabledCommands(peerwell), expected) << state;
}

std::vector<std::string> MenuTexts(HMENU menu) {
    std::vector<std::string> texts;
    for (int i = 0; i < ::GetMenuItemCount(menu); ++i) {
        char text[64] = {};
        ::GetMenuStringA(menu, i, text, sizeof text, MF_BYPOSITION);
        const UINT id = ::GetMenuItemID(menu, i);
        texts.push_back(id == UINT(-1) ? text : std::string(text) + ' ' + std::to_string(id));
        if (HMENU sub = ::GetSubMenu(menu, i))
            for (const std::string& item : MenuTexts(sub))
                texts.push_back("  " + item);
    }
    return texts;
}

} // namespace

TEST(PeerwellWindow, StartsAsAFixedFrameWithMenuToolBarAndTrayIcon) {
    TempDir dir;
    Peerwell peerwell(dir);
    EXPECT_EQ(WindowText(peerwell.frame), "Peerwell");
    RECT outer;
    ::GetWindowRect(peerwell.frame, &outer);
    EXPECT_EQ((std::vector<LONG>{outer.left, outer.top, outer.right - outer.left,
                                 outer.bottom - outer.top}),
              (std::vector<LONG>{0, 0, 380, 265}));
    const LONG style = ::GetWindowLongA(peerwell.frame, GWL_STYLE);
    EXPECT_EQ(style & (WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME),
              WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX);

    // The menu as the program's resources hold it; its items as the frame shows them.
    const HMODULE program =
        ::LoadLibraryExA(ProgramPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    const HMENU menu = ::LoadMenuA(program, "MAIN_MENU");
    EXPECT_EQ(MenuTexts(menu), (std::vector<std::string>{
                                   "&File", "  &View 102", "   0", "  &Exit 101", "&Directories",
                                   "  &Add 103", "  &Delete 104", "   0", "  &Options 105",
                                   "  &LOG file 108", "  &WAV file 109", "&Help", "  &About 111"}));
    ::DestroyMenu(menu);
    ::FreeLibrary(program);
    EXPECT_NE(::GetMenu(peerwell.frame), nullptr);

    // Eleven items; the buttons at their places between the separators.
    EXPECT_EQ(::SendMessageA(peerwell.toolBar, TB_BUTTONCOUNT, 0, 0), 11);
    std::vector<LRESULT> places;
    for (int command : Commands)
        places.push_back(::SendMessageA(peerwell.toolBar, TB_COMMANDTOINDEX, command, 0));
    EXPECT_EQ(places, (std::vector<LRESULT>{0, 1, 3, 4, 6, 7, 8, 10}));

    EXPECT_TRUE(WaitUntil([&] { return peerwell.TrayIconShown(); })) << "no tray icon";
    // Explorer restarted: its new task bar knows no icon until the program places it again.
    NOTIFYICONDATAA icon{};
    icon.cbSize = NOTIFYICONDATAA_V1_SIZE;
    icon.hWnd = peerwell.client;
    icon.uID = 1;
    ASSERT_TRUE(::Shell_NotifyIconA(NIM_DELETE, &icon));
    ::SendMessageA(peerwell.frame, ::RegisterWindowMessageA("TaskbarCreated"), 0, 0);
    EXPECT_TRUE(peerwell.TrayIconShown()) << "the icon was not placed again";
}

TEST(PeerwellWindow, AddOptionsDeleteRewritePeerCfgAndTheEnablingFollows) {
    TempDir dir;
    const std::string inbox = dir / "inbox";
    std::filesystem::create_directory(inbox);
    Peerwell peerwell(dir);
    //                      V E A D O L W A
    ExpectEnabled(peerwell, "01100001", "empty list");

    peerwell.Post(CM_ADD);
    ExpectEnabled(peerwell, "01011111", "a pending record");
    EXPECT_FALSE(std::filesystem::exists(dir / "peer.cfg"));

    peerwell.Post(CM_OPTIONS);
    const HWND dialog = peerwell.WaitForDialog("Directory options");
    ::SendMessageA(::GetDlgItem(dialog, 105), WM_SETTEXT, 0,
                   reinterpret_cast<LPARAM>((inbox + "\\\\").c_str()));
    ::SendMessageA(::GetDlgItem(dialog, 103), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("Inbox"));
    ::PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(WaitUntil([&] {
        return ReadFile(dir / "peer.cfg") == Header + Record(inbox, "Inbox", "");
    })) << ReadFile(dir / "peer.cfg");
    ExpectEnabled(peerwell, "01111111", "one record");

    peerwell.Post(CM_DELETE);
    peerwell.Answer("Confirm", "Are you sure to remove record from directories list?", IDYES);
    EXPECT_EQ(ReadFile(dir / "peer.cfg"), Header);
    ExpectEnabled(peerwell, "01100001", "empty list again");
}

TEST(PeerwellWindow, NineRecordsLogWhileTheWindowIsUpAndDeleteRewritesTheRest) {
    TempDir dir;
    std::string records;
    for (int i = 1; i <= 9; ++i) {
        const std::string watched = dir / ("dir" + std::to_string(i));
        std::filesystem::create_directory(watched);
        records +=
            Record(watched, "Dir" + std::to_string(i), dir / ("dir" + std::to_string(i) + ".log"));
    }
    WriteFile(dir / "peer.cfg", Header + records);
    Peerwell peerwell(dir);
    ExpectEnabled(peerwell, "11011111", "nine records");

    WriteFile(dir / "dir1\\arrived.txt");
    EXPECT_TRUE(WaitUntil([&] {
        return ReadFile(dir / "dir1.log").ends_with(" [+] Dir1\\arrived.txt\r\n");
    })) << ReadFile(dir / "dir1.log");

    peerwell.Post(CM_DELETE);
    peerwell.Answer("Confirm", "Are you sure to remove record from directories list?", IDYES);
    EXPECT_EQ(ReadFile(dir / "peer.cfg"), Header + records.substr(records.find("\r\n") + 2));
    ExpectEnabled(peerwell, "11111111", "eight records");
}

TEST(PeerwellWindow, TheCloseQuestionIsAskedOncePerAttempt) {
    TempDir dir;
    Peerwell peerwell(dir);
    const char* question = "Do you really want to terminate Peerwell program?";
    ::PostMessageA(peerwell.frame, WM_CLOSE, 0, 0);
    peerwell.Answer("Confirm", question, IDNO);
    EXPECT_FALSE(peerwell.Find("#32770", "Confirm")) << "asked twice";
    EXPECT_TRUE(::IsWindowVisible(peerwell.frame));

    // The session's end asks the same question and is refused on No.
    LRESULT mayEnd = TRUE;
    ::SendMessageCallbackA(
        peerwell.frame, WM_QUERYENDSESSION, 0, 0,
        [](HWND, UINT, ULONG_PTR result, LRESULT answer) {
            *reinterpret_cast<LRESULT*>(result) = answer;
        },
        reinterpret_cast<ULONG_PTR>(&mayEnd));
    peerwell.Answer("Confirm", question, IDNO);
    EXPECT_TRUE(WaitUntil([&] {
        MSG m;
        ::PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE);
        return mayEnd == FALSE;
    }));
    EXPECT_FALSE(peerwell.Find("#32770", "Confirm")) << "asked twice";

    ASSERT_TRUE(peerwell.TrayIconShown());
    peerwell.Post(CM_EXIT);
    peerwell.Answer("Confirm", question, IDYES);
    EXPECT_TRUE(WaitUntil([&] { return peerwell.Ended(); })) << "still running after Yes";
    EXPECT_FALSE(peerwell.TrayIconShown()) << "the tray icon outlived the program";
}

TEST(PeerwellWindow, AMinimisedStartShowsOnlyTheTrayIconWhichTogglesTheFrame) {
    TempDir dir;
    Peerwell peerwell(dir, SW_SHOWMINIMIZED);
    EXPECT_TRUE(WaitUntil([&] { return peerwell.TrayIconShown(); })) << "no tray icon";
    EXPECT_FALSE(::IsWindowVisible(peerwell.frame));

    ::SendMessageA(peerwell.client, WM_USER, 1, WM_LBUTTONDBLCLK);
    EXPECT_TRUE(::IsWindowVisible(peerwell.frame));
    EXPECT_FALSE(::IsIconic(peerwell.frame));
    ::SendMessageA(peerwell.client, WM_USER, 1, WM_LBUTTONDOWN);
    EXPECT_TRUE(::IsWindowVisible(peerwell.frame)) << "a single click acted";

    ::SendMessageA(peerwell.frame, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    EXPECT_FALSE(::IsWindowVisible(peerwell.frame)) << "minimising did not hide the frame";
}
