// peerwell.exe driven from outside as a user would: started in a folder of its own, its windows
// found by class and caption, commands posted to the frame, message boxes and the Directory
// dialog answered through their controls. Needs a display (the script starts Xvfb).
#include "tests/support/TempDir.h"
#include "ui/CommandTable.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <chrono>
#include <commctrl.h>
#include <cstdlib>
#include <dlgs.h>
#include <filesystem>
#include <future>
#include <shellapi.h>
#include <string>

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

// Starts peerwell.exe in the folder; returns its process handle.
HANDLE StartPeerwell(const TempDir& dir, WORD showCommand) {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.lpDesktop = const_cast<char*>(DesktopName.c_str());
    startup.dwFlags = STARTF_USESHOWWINDOW | STARTF_USESTDHANDLES; // no echo of peer.cfg
    startup.wShowWindow = showCommand;
    std::string commandLine = "peerwell.exe";
    PROCESS_INFORMATION started{};
    // The program under test, by its Windows path.
    EXPECT_TRUE(::CreateProcessA(std::getenv("PEERWELL_EXE"), commandLine.data(), nullptr, nullptr,
                                 FALSE, 0, nullptr, dir.str().c_str(), &startup, &started))
        << "can't start $PEERWELL_EXE";
    ::CloseHandle(started.hThread);
    return started.hProcess;
}

// One run of peerwell.exe in its own working directory.
class Peerwell {
public:
    Peerwell(const TempDir& dir, WORD showCommand = SW_SHOWNORMAL) {
        process_ = StartPeerwell(dir, showCommand);
        // The frame exists before its tool bar and client do. The first program on the desktop
        // waits for Wine to set the desktop up.
        EXPECT_TRUE(WaitUntil(
            [&] {
                frame = ::FindWindowA("PeerwellFrame", "Peerwell");
                toolBar = ::FindWindowExA(frame, nullptr, TOOLBARCLASSNAMEA, nullptr);
                client = ::FindWindowExA(frame, nullptr, "PeerwellDirWindow", nullptr);
                return frame && toolBar && client;
            },
            std::chrono::seconds(60)))
            << "no frame with tool bar and client";
        // The frame is shown as asked just before the program first waits for input.
        EXPECT_EQ(::WaitForInputIdle(process_, 10000), 0u) << "never waited for input";
    }
    // Gone with its windows before the next run looks for its own on the test's desktop.
    ~Peerwell() {
        ::TerminateProcess(process_, 1);
        EXPECT_EQ(::WaitForSingleObject(process_, 10000), WAIT_OBJECT_0) << "still running";
        ::CloseHandle(process_);
    }
    // A dialog is shown once it has filled its controls.
    HWND WaitForDialog(const char* caption) const {
        HWND dialog = nullptr;
        EXPECT_TRUE(WaitUntil([&] {
            dialog = ::FindWindowA("#32770", caption);
            return dialog && ::IsWindowVisible(dialog);
        })) << "no box "
            << caption;
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
    // Waits until the tool bar enables its buttons as expected says, 0 or 1 for each of Exit,
    // View, Add, Delete, Options, LOG file, WAV file and About (the order of the command table).
    void ExpectEnabled(const std::string& expected, const char* state) const {
        std::string enabled;
        WaitUntil([&] {
            enabled.clear();
            for (const CommandInfo& command : Commands)
                enabled += ::SendMessageA(toolBar, TB_ISBUTTONENABLED, command.id, 0) ? '1' : '0';
            return enabled == expected;
        });
        EXPECT_EQ(enabled, expected) << state;
    }
    // Sends the shell a message about the program's icon: NIM_MODIFY, changing nothing, succeeds
    // only while the shell holds it.
    bool TrayIcon(DWORD message) const {
        NOTIFYICONDATAA icon{};
        icon.cbSize = NOTIFYICONDATAA_V1_SIZE;
        icon.hWnd = client;
        icon.uID = 1;
        return ::Shell_NotifyIconA(message, &icon);
    }
    bool Ended() const { return ::WaitForSingleObject(process_, 0) == WAIT_OBJECT_0; }

    HWND frame = nullptr;
    HWND client = nullptr;
    HWND toolBar = nullptr;

private:
    HANDLE process_ = nullptr;
};

} // namespace

TEST(PeerwellWindow, AddOptionsAndDeleteRewritePeerCfgWhileTheWatchLogsAndTheToolBarFollows) {
    TempDir dir;
    const std::string watched = dir / "watched";
    const std::string inbox = dir / "inbox";
    std::filesystem::create_directory(watched);
    std::filesystem::create_directory(inbox);
    const std::string oneRecord = Header + Record(watched, "Watched", dir / "watched.log");
    WriteFile(dir / "peer.cfg", oneRecord);
    Peerwell peerwell(dir);
    EXPECT_NE(::GetMenu(peerwell.frame), nullptr) << "no menu";
    //                       E V A D O L W A
    peerwell.ExpectEnabled("11111111", "a record with a log");

    WriteFile(watched + "\\arrived.txt");
    EXPECT_TRUE(WaitUntil([&] {
        return ReadFile(dir / "watched.log").ends_with(" [+] Watched\\arrived.txt\r\n");
    })) << ReadFile(dir / "watched.log");

    peerwell.Post(CM_ADD);
    peerwell.ExpectEnabled("10011111", "a pending record");
    peerwell.Post(CM_OPTIONS);
    const HWND dialog = peerwell.WaitForDialog("Directory options");
    GUITHREADINFO input{};
    input.cbSize = sizeof input;
    ::GetGUIThreadInfo(::GetWindowThreadProcessId(dialog, nullptr), &input);
    EXPECT_EQ(input.hwndFocus, ::GetDlgItem(dialog, 105)) << "typing does not go to Path";
    ::SetDlgItemTextA(dialog, 105, (inbox + "\\\\").c_str());
    ::SetDlgItemTextA(dialog, 103, "Inbox");
    ::PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    // Read once the command has ended: the save can't replace a file that a reader holds open.
    peerwell.ExpectEnabled("10111111", "the new record, without a log");
    EXPECT_EQ(ReadFile(dir / "peer.cfg"), oneRecord + Record(inbox, "Inbox", ""));

    peerwell.Post(CM_DELETE);
    peerwell.Answer("Confirm", "Are you sure to remove record from directories list?", IDYES);
    EXPECT_EQ(ReadFile(dir / "peer.cfg"), oneRecord);
    peerwell.ExpectEnabled("11111111", "the first record again");
}

// The Open dialog asks about the file as the user accepts it; the Error box stands over it.
TEST(PeerwellWindow, ARefusedLogFileIsSaidOverTheOpenDialogWhichStaysOpen) {
    TempDir dir;
    const std::string config = Header + Record(dir.str(), "Here", "");
    WriteFile(dir / "peer.cfg", config);
    const std::string log = dir / "read-only.log";
    WriteFile(log);
    ::SetFileAttributesA(log.c_str(), FILE_ATTRIBUTE_READONLY);
    Peerwell peerwell(dir);
    peerwell.Post(CM_LOGFILE);
    const HWND dialog = peerwell.WaitForDialog("Get LOG - file");
    // The file name's box: a combo box in the newer dialogs, an edit in the older.
    const HWND name =
        ::GetDlgItem(dialog, cmb13) ? ::GetDlgItem(dialog, cmb13) : ::GetDlgItem(dialog, edt1);
    ::SetWindowTextA(name, log.c_str());
    ::PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(::GetWindow(peerwell.WaitForDialog("Error"), GW_OWNER), dialog);
    peerwell.Answer("Error", "This file is read-only:\n" + log, IDOK);
    EXPECT_TRUE(::IsWindowVisible(dialog)) << "the Open dialog closed";
    ::PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    EXPECT_TRUE(WaitUntil([&] { return !::IsWindow(dialog); }));
    EXPECT_EQ(ReadFile(dir / "peer.cfg"), config);
    ::SetFileAttributesA(log.c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST(PeerwellWindow, TheCloseQuestionIsAskedOncePerAttempt) {
    TempDir dir;
    Peerwell peerwell(dir);
    const char* question = "Do you really want to terminate Peerwell program?";
    ::PostMessageA(peerwell.frame, WM_CLOSE, 0, 0);
    peerwell.Answer("Confirm", question, IDNO);
    EXPECT_FALSE(::FindWindowA("#32770", "Confirm")) << "asked twice";

    // The session's end asks the same question and is refused on No.
    std::future<DWORD_PTR> mayEnd = std::async(std::launch::async, [&] {
        DWORD_PTR answer = TRUE; // also when the frame gives none within seconds
        ::SendMessageTimeoutA(peerwell.frame, WM_QUERYENDSESSION, 0, 0, SMTO_NORMAL, 10000,
                              &answer);
        return answer;
    });
    peerwell.Answer("Confirm", question, IDNO);
    EXPECT_EQ(mayEnd.get(), DWORD_PTR(FALSE));
    EXPECT_FALSE(::FindWindowA("#32770", "Confirm")) << "asked twice";

    ASSERT_TRUE(peerwell.TrayIcon(NIM_MODIFY));
    peerwell.Post(CM_EXIT);
    peerwell.Answer("Confirm", question, IDYES);
    EXPECT_TRUE(WaitUntil([&] { return peerwell.Ended(); })) << "still running after Yes";
    EXPECT_FALSE(peerwell.TrayIcon(NIM_MODIFY)) << "the tray icon outlived the program";
}

TEST(PeerwellWindow, AMinimisedStartShowsATrayIconThatANewTaskBarGetsAgainAndThatTogglesTheFrame) {
    TempDir dir;
    Peerwell peerwell(dir, SW_SHOWMINIMIZED);
    EXPECT_TRUE(WaitUntil([&] { return peerwell.TrayIcon(NIM_MODIFY); })) << "no tray icon";
    EXPECT_FALSE(::IsWindowVisible(peerwell.frame));
    // Explorer restarted: its new task bar knows no icon until the program places it again.
    ASSERT_TRUE(peerwell.TrayIcon(NIM_DELETE));
    ::SendMessageA(peerwell.frame, ::RegisterWindowMessageA("TaskbarCreated"), 0, 0);
    EXPECT_TRUE(peerwell.TrayIcon(NIM_MODIFY)) << "the icon was not placed again";

    ::SendMessageA(peerwell.client, WM_USER, 1, WM_LBUTTONDBLCLK);
    EXPECT_TRUE(::IsWindowVisible(peerwell.frame));
    EXPECT_FALSE(::IsIconic(peerwell.frame));
    ::SendMessageA(peerwell.client, WM_USER, 1, WM_LBUTTONDOWN);
    EXPECT_TRUE(::IsWindowVisible(peerwell.frame)) << "a single click acted";
    ::SendMessageA(peerwell.client, WM_USER, 1, WM_LBUTTONDBLCLK);
    EXPECT_FALSE(::IsWindowVisible(peerwell.frame)) << "a double click did not hide the frame";
    ::SendMessageA(peerwell.client, WM_USER, 1, WM_LBUTTONDBLCLK);

    ::SendMessageA(peerwell.frame, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    EXPECT_FALSE(::IsWindowVisible(peerwell.frame)) << "minimising did not hide the frame";
}

namespace {

// The text of the shell's balloon that shows, or "" while none shows.
std::string BalloonText() {
    for (HWND tip = nullptr; (tip = ::FindWindowExA(nullptr, tip, TOOLTIPS_CLASSA, nullptr));) {
        char text[256] = {};
        if (::IsWindowVisible(tip) && (::GetWindowLongA(tip, GWL_STYLE) & TTS_BALLOON))
            ::SendMessageA(tip, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
        if (text[0])
            return text;
    }
    return {};
}

} // namespace

// A name longer than a file system takes can't be watched: its line is marked and a balloon
// says so. The icon's menu, asked for as the shell does with NOTIFYICON_VERSION, hides and
// shows the frame, ticks Notify on arrival for this user, and ends the program after the close
// question.
TEST(PeerwellWindow, TheTrayMenuTogglesTheFrameAndNotificationsAndExitsAndAFailingLineIsMarked) {
    TempDir dir;
    const std::string watched = dir / "watched";
    std::filesystem::create_directory(watched);
    WriteFile(dir / "peer.cfg", Header + Record(watched, "Watched", "") +
                                    Record(dir / std::string(300, 'x'), "Long", ""));
    ::RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Peerwell");
    Peerwell peerwell(dir);
    HWND list = nullptr; // made after the client window
    EXPECT_TRUE(WaitUntil([&] {
        list = ::FindWindowExA(peerwell.client, nullptr, "LISTBOX", nullptr);
        return ::SendMessageA(list, LB_GETITEMDATA, 1, 0) == 1;
    })) << "the line that is not watched has no mark";
    EXPECT_EQ(::SendMessageA(list, LB_GETITEMDATA, 0, 0), 0);
    EXPECT_TRUE(WaitUntil([] { return BalloonText().starts_with("Long is not watched: "); }))
        << BalloonText();

    const auto pick = [&](WPARAM key) {
        ::PostMessageA(peerwell.client, WM_USER, 1, WM_CONTEXTMENU);
        HWND menu = nullptr;
        EXPECT_TRUE(WaitUntil([&] {
            menu = ::FindWindowA("#32768", nullptr);
            return menu && ::IsWindowVisible(menu);
        })) << "no tray menu";
        ::PostMessageA(menu, WM_CHAR, key, 0);
        EXPECT_TRUE(WaitUntil([&] { return !::IsWindowVisible(menu); })) << "the menu stayed";
        ::SendMessageA(peerwell.frame, WM_NULL, 0, 0); // the command has run
    };
    pick('h');
    EXPECT_FALSE(::IsWindowVisible(peerwell.frame));
    pick('s');
    EXPECT_TRUE(::IsWindowVisible(peerwell.frame));
    pick('n');
    DWORD notify = 0;
    DWORD size = sizeof notify;
    EXPECT_EQ(::RegGetValueA(HKEY_CURRENT_USER, "Software\\Peerwell", "NotifyOnArrival",
                             RRF_RT_REG_DWORD, nullptr, &notify, &size),
              ERROR_SUCCESS);
    EXPECT_EQ(notify, 1u);
    WriteFile(watched + "\\report.txt");
    EXPECT_TRUE(WaitUntil([] { return BalloonText() == "report.txt arrived in Watched"; }))
        << BalloonText();
    pick('e');
    peerwell.Answer("Confirm", "Do you really want to terminate Peerwell program?", IDYES);
    EXPECT_TRUE(WaitUntil([&] { return peerwell.Ended(); })) << "still running after Yes";
}

// A shortcut set to "Maximized" shows the frame as it always is; its disabled buttons have
// pictures of their own, not the tool bar's flat silhouettes.
TEST(PeerwellWindow, AMaximisedStartShowsTheFixedFrame) {
    TempDir dir;
    Peerwell peerwell(dir, SW_SHOWMAXIMIZED);
    EXPECT_TRUE(WaitUntil([&] { return ::IsWindowVisible(peerwell.frame); }));
    EXPECT_FALSE(::IsZoomed(peerwell.frame));
    ::SendMessageA(peerwell.frame, WM_SYSCOMMAND, SC_MAXIMIZE, 0); // what the system may do
    RECT frame;
    ::GetWindowRect(peerwell.frame, &frame);
    EXPECT_EQ(frame.right - frame.left, 380);
    EXPECT_EQ(frame.bottom - frame.top, 265);
    EXPECT_NE(::SendMessageA(peerwell.toolBar, TB_GETDISABLEDIMAGELIST, 0, 0), 0);
}

TEST(PeerwellWindow, ASecondProgramOnTheSameListShowsTheHiddenWindowOfTheFirstAndEnds) {
    TempDir dir;
    Peerwell first(dir, SW_SHOWMINIMIZED);
    ASSERT_FALSE(::IsWindowVisible(first.frame));
    const HANDLE second = StartPeerwell(dir, SW_SHOWNORMAL);
    DWORD status = STILL_ACTIVE;
    if (::WaitForSingleObject(second, 30000) != WAIT_OBJECT_0)
        ::TerminateProcess(second, status);
    ::GetExitCodeProcess(second, &status);
    ::CloseHandle(second);
    EXPECT_EQ(status, 0u);
    EXPECT_TRUE(WaitUntil([&] {
        return ::IsWindowVisible(first.frame) && !::IsIconic(first.frame);
    })) << "the first window stayed hidden";
}
