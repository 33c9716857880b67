#include "app/PeerwellApp.h"

#include "app/MainFrame.h"
#include "ui/qt/DirWindow.h"

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

int PeerwellApp::Run() {
    InitMainWindow();
    frame_->Client()->Create();
    frame_->show();
    return exec();
}
