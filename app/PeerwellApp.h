#pragma once

#include <QApplication>
#include <memory>

class MainFrame;

// The application object: builds the directory list window (which starts the watch), then
// the main frame around it, shows it and runs the event loop.
class PeerwellApp : public QApplication {
public:
    PeerwellApp(int& argc, char** argv);
    // Destroys the main frame, and with it the directory list window and the watch.
    ~PeerwellApp() override;

    // Shows the main frame in the show state the starter asked for; minimised, only the tray
    // icon shows (or, without a tray, the minimised frame). Returns the program's exit code.
    int Run(Qt::WindowState showState);

private:
    void InitMainWindow();

    std::unique_ptr<MainFrame> frame_;
};
