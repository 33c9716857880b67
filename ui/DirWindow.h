#pragma once

#include "engine/MyDir.h"
#include "engine/MyWatchThread.h"
#include "ui/SystemTrayIcon.h"

#include <QWidget>
#include <cstdint>
#include <memory>
#include <string>
#include <thread>

class QListWidget;

// The main frame's client: the list of watched directories, one line per record of
// Watch.Dirs, and the owner of the watch, the tray icon and every command.
class DirWindow : public QWidget {
    Q_OBJECT
public:
    static constexpr const char* ConfigFileName = "peer.cfg";
    static constexpr unsigned TrayIconId = 1;
    static constexpr unsigned TrayNotifyMessage = 1024;

    // Reads peer.cfg and starts the watch; no window is shown yet.
    explicit DirWindow(
        std::unique_ptr<TrayShell> trayShell = CreateSystemTrayShell(),
        std::unique_ptr<platform::SoundPlayer> sound = platform::CreateSystemSoundPlayer());
    // Stops the watch and waits for it, then removes the tray icon. Writes nothing.
    ~DirWindow() override;

    // Fills the list, selects line 0, loads it, then places the tray icon.
    void Create();

    // The close question; true when the user answered Yes.
    bool CanClose();
    // True once the close question has been answered Yes.
    bool CloseApproved() const { return closeApproved_; }

    // Runs a command of the menu or tool bar, if its enabling rule allows it.
    void Command(int id);
    bool CommandEnabled(int id) const;

    void CmExit();
    void CmView();
    void CmAdd();
    void CmDelete();
    void CmOptions();
    void CmLogFile();
    void CmWavFile();
    void CmAbout();
    void RunLogViewer();
    void OnListDoubleClick();
    void OnTrayNotify(unsigned id, QSystemTrayIcon::ActivationReason reason);

    // Refills the current-record fields from the selected line.
    void LoadSelection();

    // The list lines; selecting from the program raises no selection-change notification.
    int SelectedLine() const; // -1 when no line is selected
    int LineCount() const;
    int PendingLine() const { return static_cast<int>(Watch.Dirs.Count()); }
    bool IsPendingLine(int line) const { return Pending && line == PendingLine(); }
    void AppendLine(const std::string& text);
    void InsertLine(int line, const std::string& text);
    void DeleteLine(int line);
    void SelectLine(int line); // out of range: no line selected

    // record.Set with the seven current-record fields.
    void SetFromFields(MyDir& record) const;

    // Every change of Watch.Dirs or of a record in it: stop and join the watch, change,
    // save peer.cfg, start the watch again.
    template <class Change> void ChangeList(Change change) {
        StopWatch();
        change();
        LastSaveError = Watch.WriteConfiguration(ConfigFileName);
        StartWatch();
    }
    void StopWatch();
    void StartWatch();

    // The state shared by the command handlers.
    SystemTrayIcon TrayIcon;
    std::string Path, Alias, Mask, Log, Wav; // the current-record fields
    char Kind = '*';
    std::int32_t Attrib = 0;
    std::unique_ptr<MyDir> Pending; // the record made by Add, not yet in Watch.Dirs
    QListWidget* List;
    MyWatchThread Watch;
    std::thread WatchRun;  // the current run, joined exactly once
    int LastSaveError = 0; // errno of the last peer.cfg rewrite, 0 when it succeeded

protected:
    bool event(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void ClearFields();
    bool closeApproved_ = false;
};
