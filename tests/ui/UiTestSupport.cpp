#include "UiTestSupport.h"

#include "tests/support/RecordingSoundPlayer.h"

#include <QEventLoop>
#include <QTimer>

namespace uitest {

Program::Program(bool trayAvailable) {
    tray->answer = trayAvailable;
    window = new DirWindow(std::make_unique<RecordingTrayShell>(tray),
                           std::make_unique<testsupport::RecordingSoundPlayer>());
    frame = std::make_unique<MainFrame>(window);
    window->Create();
    tray->answer = true;
    frame->show();
    RunUntilIdle();
}

void RunUntilIdle() {
    QEventLoop loop;
    QTimer::singleShot(0, &loop, &QEventLoop::quit);
    loop.exec();
}

} // namespace uitest
