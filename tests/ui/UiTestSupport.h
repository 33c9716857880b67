#pragma once

#include "RecordingTrayShell.h"
#include "app/MainFrame.h"
#include "ui/qt/DirWindow.h"

#include <memory>

namespace uitest {

// Runs the event loop until it would block, the program's idle point.
void RunUntilIdle();

// The program's windows, built in the order of the real start-up, with a recording tray shell,
// shown and idle.
struct Program {
    explicit Program(bool trayAvailable = true);

    std::shared_ptr<TrayLog> tray = std::make_shared<TrayLog>();
    std::unique_ptr<MainFrame> frame;
    DirWindow* window = nullptr;
};

} // namespace uitest
