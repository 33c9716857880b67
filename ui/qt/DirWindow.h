#pragma once

#include "platform/SoundPlayer.h"
#include "ui/DesktopShell.h"
#include "ui/DirListController.h"
#include "ui/qt/QtPreferences.h"
#include "ui/qt/QtUserPrompts.h"
#include "ui/qt/SystemTrayIcon.h"

#include <QTimer>
#include <QWidget>
#include <memory>

class QListWidget;
class QMenu;

// The main frame's client: the Qt view of the directory list, the owner of its controller (and
// with it the watch) and of the tray icon with its menu. Commands of the menu, the tool bar and
// the tray menu arrive here. It shows the watch's news as the controller decides.
class DirWindow : public QWidget, private DesktopShell {
    Q_OBJECT
public:
    // Reads peer.cfg and starts the watch; no window is shown yet.
    explicit DirWindow(
        std::unique_ptr<TrayShell> trayShell = CreateSystemTrayShell(),
        std::unique_ptr<platform::SoundPlayer> sound = platform::CreateSystemSoundPlayer());
    // Stops the watch and waits for it, then removes the tray icon. Writes nothing.
    ~DirWindow() override;

    // Fills the list, selects line 0, loads it, then places the tray icon with its menu.
    void Create();

    // The close query of the frame: true when the program may end (DirListController).
    bool QueryClose();

    // Runs a command of the menu, tool bar or tray menu, if its enabling rule allows it.
    void Command(int id);
    bool CommandEnabled(int id) const;

    bool TrayIconShown() const { return trayIcon_.Shown(); }

protected:
    bool event(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void CmExit();
    void CmAbout();
    void ToggleFrame();
    void OnTrayNotify(unsigned id, QSystemTrayIcon::ActivationReason reason);
    void OnSelectionChanged();
    void ShowList();
    void CreateTrayMenu();
    void UpdateTrayMenu();

    void ShowTrayTip(const std::string& tip) override;
    void Notify(const std::string& title, const std::string& text, Notice notice) override;
    void StartTimer(std::chrono::milliseconds delay) override;

    SystemTrayIcon trayIcon_;
    QListWidget* list_;
    QMenu* trayMenu_ = nullptr;
    QTimer noticeTimer_;
    QtUserPrompts prompts_;
    QtPreferences preferences_;
    std::unique_ptr<DirListController> controller_;
};
