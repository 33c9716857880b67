#pragma once

#include "platform/InstanceLock.h"

#include <QApplication>
#include <memory>

class MainFrame;
class QLocalServer;

// The application object: takes the lock of peer.cfg, builds the directory list window (which
// starts the watch), then the main frame around it, shows it and runs the event loop.
class PeerwellApp : public QApplication {
public:
    PeerwellApp(int& argc, char** argv);
    // Destroys the main frame, and with it the directory list window and the watch.
    ~PeerwellApp() override;

    // Shows the main frame in the show state the starter asked for; minimised, only the tray
    // icon shows (or, without a tray, the minimised frame). Returns the program's exit code.
    // Where another program watches peer.cfg already, a desktop program is asked to show its
    // window instead (0), and the headless watcher is named in an "Error" box (1).
    int Run(Qt::WindowState showState);

private:
    void InitMainWindow();
    int HandOver() const;
    void ListenForShowRequests();
    void ShowFrame();

    // Let go of in this order: a closed server removes its socket, which must not be one a
    // program started after the lock was let go has made already.
    std::unique_ptr<platform::InstanceLock> lock_;
    std::unique_ptr<QLocalServer> showRequests_;
    std::unique_ptr<MainFrame> frame_;
};
