#pragma once

#include "config/Configuration.h"
#include "engine/DirSettings.h"
#include "engine/MyDir.h"
#include "engine/MyWatchThread.h"
#include "platform/SoundPlayer.h"
#include "ui/ArrivalNotices.h"
#include "ui/DesktopShell.h"
#include "ui/DirStatus.h"
#include "ui/Preferences.h"
#include "ui/UserPrompts.h"
#include "ui/WatchEventQueue.h"

#include <functional>
#include <iosfwd>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

// The directory list without its drawing: the watched records and the lines that show them, the
// selection, the current-record fields, the pending record of an Add, the enabling rule and the
// work of every list command, and the watch, which runs except while the list changes.
// A view draws Lines() and SelectedLine(), hands on the user's selection and commands, and
// answers the questions asked through UserPrompts.
// The watch tells the list how each directory stands and what it reported (WatchListener):
// the list marks the lines that are not well, keeps the tray icon's tip and decides which
// notifications the tray icon shows (DesktopShell).
class DirListController : public WatchListener {
public:
    // Reads peer.cfg, writing its echo to echo (flushed once the file is read), then starts the
    // watch. No line is selected yet.
    DirListController(
        UserPrompts& prompts, std::ostream& echo,
        std::unique_ptr<platform::SoundPlayer> sound = platform::CreateSystemSoundPlayer());
    // Stops the watch and waits for it. Writes nothing.
    ~DirListController() override;
    DirListController(const DirListController&) = delete;
    DirListController& operator=(const DirListController&) = delete;

    // Called after a command changed Lines() or SelectedLine(), or the watch a line's mark, so
    // the view can show them again.
    void SetListChanged(std::function<void()> listChanged);

    // The view's set-up once its list exists: selects line 0 and loads it.
    void Create();

    // One line per record, its Path, in list order; then the pending record's Path, if any.
    std::vector<std::string> Lines() const;
    // -1 when no line is selected.
    int SelectedLine() const;
    // The user selected line (-1: none; out of range: none): loads it into the current fields.
    void Select(int line);
    // The current-record fields: the settings of the selected line.
    const DirSettings& Current() const { return current_; }

    // The enabling rule of every command of the menu and tool bar.
    bool CommandEnabled(int id) const;
    // Runs View, Add, Delete, Options, LOG file or WAV file when its rule allows it. Exit and
    // About are the view's: they are always enabled and do nothing here.
    void Command(int id);
    // A double click on the selected line: opens its log, or says that it has none.
    void OpenLog();

    // The close query of every way to end the program: true when it may end. Asks the close
    // question unless it was answered Yes before, so that one attempt asks once however many
    // queries it makes (Exit then the frame's close; the session's query then its end).
    bool QueryClose();
    // True once the close question has been answered Yes.
    bool CloseApproved() const { return closeApproved_; }

    // The view's tray icon, timer and preferences; both outlive the controller.
    void SetDesktop(DesktopShell* shell, Preferences* preferences);
    // Whether the line shows the mark of a directory that is not well, and its tool tip: the
    // whole path, then what is wrong.
    bool LineMarked(int line) const;
    std::string LineToolTip(int line) const;
    std::string TrayTip() const { return status_.TrayTip(); }
    // Whether a check item's tick shows (CommandTable's IsCheckItem).
    bool CommandChecked(int id) const;

    // The watch's calls arrive on its thread and wait; wake (see WatchEventQueue::SetWake) asks
    // the view's user-interface thread to call ApplyWatchEvents.
    void Appended(const std::string& log, std::span<const std::string> lines) override;
    void Reported(std::size_t slot, const std::vector<std::string>& added,
                  const std::vector<std::string>& removed) override;
    void StateChanged(std::size_t slot, const DirState& state) override;
    void SetWatchWake(std::function<void()> wake);
    // Shows what the watch told since the last call: marks, tray tip, notifications.
    void ApplyWatchEvents() { ApplyWatchEvents({}); }
    // The timer that DesktopShell::StartTimer set ran out.
    void TimerElapsed() { ShowArrivals(); }
    // Names the lines of peer.cfg that the reader skipped in a "Warning" box, the first time it
    // is called: the view calls it once its window is up.
    void WarnOfSkippedLines();

private:
    // Refills the current-record fields from the selected line: cleared (Mask empty too) when
    // none is selected, the pending record's settings on its line, else the record's.
    void LoadSelection();
    std::string CloseQuestion() const;
    void CmAdd();
    void CmDelete();
    void CmOptions();
    void CmLogFile();
    void CmWavFile();
    void RunLogViewer();
    void ChooseFile(std::string DirSettings::*field, FileRequest request);
    void StoreCurrent(int line);
    bool IsPendingLine(int line) const;
    int PendingLine() const;
    template <class Change> void ChangeList(Change change);
    std::string Save();
    void ListChanged() const;
    void StartWatch();
    void RestartWatch();
    // Announces a directory gone from well to failing unless its path is in failingBefore.
    void ApplyWatchEvents(const std::set<std::string>& failingBefore);
    void NoteArrivals(PassNames names);
    void ShowArrivals();
    void CmNotify();

    UserPrompts& prompts_;
    WatchEventQueue watchEvents_; // outlives the watch's runs, which fill it
    MyWatchThread watch_;
    DirSettings current_;
    std::optional<MyDir> pending_; // the record made by Add, not yet in the list
    int selected_ = -1;
    bool closeApproved_ = false;
    std::function<void()> listChanged_;
    DirStatus status_;
    ArrivalNotices arrivals_;
    DesktopShell* shell_ = nullptr;
    Preferences* preferences_ = nullptr;
    std::string trayTip_;
    std::vector<SkippedLine> skipped_; // not yet shown
    bool keepBackup_ = false;          // peer.cfg lost lines and was not saved yet
};
