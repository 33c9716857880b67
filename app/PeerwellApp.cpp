#include "app/PeerwellApp.h"

#include "ui/qt/DirWindow.h"
#include "ui/qt/MainFrame.h"

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
    InitMainWindow();
    frame_->Client()->Create();
    // A minimised frame hides behind its tray icon, so with one it is not shown at all.
    if (showState != Qt::WindowMinimized)
        frame_->show();
    else if (!frame_->Client()->TrayIconShown())
        frame_->ShowMinimizedOnScreen();
    return exec();
}
