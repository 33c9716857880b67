#pragma once

#include "platform/SoundPlayer.h"
#include "ui/DirListController.h"
#include "ui/qt/QtUserPrompts.h"
#include "ui/qt/SystemTrayIcon.h"

#include <QWidget>
#include <memory>

class QListWidget;

// The main frame's client: the Qt view of the directory list, the owner of its controller (and
// with it the watch) and of the tray icon. Commands of the menu and tool bar arrive here.
class DirWindow : public QWidget {
    Q_OBJECT
public:
    // Reads peer.cfg and starts the watch; no window is shown yet.
    explicit DirWindow(
        std::unique_ptr<TrayShell> trayShell = CreateSystemTrayShell(),
        std::unique_ptr<platform::SoundPlayer> sound = platform::CreateSystemSoundPlayer());
    // Stops the watch and waits for it, then removes the tray icon. Writes nothing.
    ~DirWindow() override;

    // Fills the list, selects line 0, loads it, then places the tray icon.
    void Create();

    // The close query of the frame: true when the program may end (DirListController).
    bool QueryClose();

    // Runs a command of the menu or tool bar, if its enabling rule allows it.
    void Command(int id);
    bool CommandEnabled(int id) const;

    bool TrayIconShown() const { return trayIcon_.Shown(); }

protected:
    bool event(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void CmExit();
    void CmAbout();
    void OnTrayNotify(unsigned id, QSystemTrayIcon::ActivationReason reason);
    void OnSelectionChanged();
    void ShowList();

    SystemTrayIcon trayIcon_;
    QListWidget* list_;
    QtUserPrompts prompts_;
    std::unique_ptr<DirListController> controller_;
};
