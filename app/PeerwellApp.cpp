#include "app/PeerwellApp.h"

#include "config/Configuration.h"
#include "ui/qt/DirWindow.h"
#include "ui/qt/MainFrame.h"
#include "ui/qt/MessageBox.h"
#include "ui/qt/Text.h"

#include <QDeadlineTimer>
#include <QLocalServer>
#include <QLocalSocket>
#include <QThread>
#include <iostream>

namespace {

// The first program may still be starting, before it listens: it is given this long.
constexpr int ShowRequestMs = 5000;

// A connection is the request; the first program needs nothing more.
bool AskToShow(const std::string& channel) {
    const QDeadlineTimer deadline(ShowRequestMs);
    QLocalSocket socket;
    for (;;) {
        socket.connectToServer(ToQString(channel));
        if (socket.waitForConnected(static_cast<int>(deadline.remainingTime())))
            return true;
        if (deadline.hasExpired())
            return false;
        QThread::msleep(100);
    }
}

} // namespace

PeerwellApp::PeerwellApp(int& argc, char** argv) : QApplication(argc, argv) {
    setApplicationName("Peerwell");
}

PeerwellApp::~PeerwellApp() {
    frame_.reset();
}

void PeerwellApp::InitMainWindow() {
    auto* client = new DirWindow();
    frame_ = std::make_unique<MainFrame>(client);
    // Closing a hidden frame (at the end of the session) ends the program too.
    setQuitOnLastWindowClosed(false);
    connect(frame_.get(), &MainFrame::Closed, this, &QCoreApplication::quit, Qt::QueuedConnection);
}

int PeerwellApp::Run(Qt::WindowState showState) {
    // Taken before peer.cfg is read, held until the end: one program per list.
    lock_ =
        std::make_unique<platform::InstanceLock>(ConfigFileName, platform::ProgramKind::Desktop);
    if (lock_->Result() == platform::InstanceLock::Outcome::Held)
        return HandOver();
    if (lock_->Result() == platform::InstanceLock::Outcome::Failed)
        std::cerr << "peerwell: " << platform::DescribeLock(*lock_) << '\n';
    else
        ListenForShowRequests();
    InitMainWindow();
    frame_->Client()->Create();
    // A minimised frame hides behind its tray icon, so with one it is not shown at all.
    if (showState != Qt::WindowMinimized)
        frame_->show();
    else if (!frame_->Client()->TrayIconShown())
        frame_->ShowMinimizedOnScreen();
    return exec();
}

// Another program watches peer.cfg: a desktop program shows its window, the headless watcher
// is named.
int PeerwellApp::HandOver() const {
    const bool desktop = lock_->Holder().kind == platform::ProgramKind::Desktop;
    if (desktop && AskToShow(lock_->ShowChannel()))
        return 0;
    const std::string text = platform::DescribeLock(*lock_) +
                             (desktop ? "\nIt did not answer the request to show its window." : "");
    std::cerr << "peerwell: " << text << '\n';
    MessageBox::Show(nullptr, QMessageBox::Critical, "Error", ToQString(text), QMessageBox::Ok);
    return 1;
}

// Requests that come before the frame exists wait until the event loop runs.
void PeerwellApp::ListenForShowRequests() {
    showRequests_ = std::make_unique<QLocalServer>();
    const QString name = ToQString(lock_->ShowChannel());
    // A socket left by a holder that was killed; no other program listens while the lock is ours.
    QLocalServer::removeServer(name);
    if (!showRequests_->listen(name))
        std::cerr << "peerwell: a second peerwell can't show this window: "
                  << ToStdString(showRequests_->errorString()) << '\n';
    connect(showRequests_.get(), &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* request = showRequests_->nextPendingConnection())
            request->deleteLater();
        ShowFrame();
    });
}

// As the tray icon shows it: in its normal state, raised.
void PeerwellApp::ShowFrame() {
    if (!frame_)
        return;
    frame_->showNormal();
    frame_->raise();
    frame_->activateWindow();
}
