#pragma once

#include "RecordingTrayShell.h"
#include "app/MainFrame.h"
#include "tests/support/TempDir.h"
#include "ui/DirWindow.h"

#include <memory>
#include <string>
#include <vector>

namespace uitest {

// One line of peer.cfg.
struct Record {
    std::string path;
    std::string alias;
    char kind = '*';
    std::string mask = "*.*";
    int attrib = 0;
    std::string log;
    std::string wav;
};

// A temporary working directory holding the program's peer.cfg and watched directories.
class Workspace {
public:
    Workspace();
    // A new directory inside the workspace; returns its path.
    std::string MakeDir(const std::string& name) const;
    // n watched directories d0, d1, ... each logging to d<i>.log in the workspace.
    std::vector<Record> MakeRecords(int count) const;
    // Writes peer.cfg as the program saves it.
    void WriteConfig(const std::vector<Record>& records) const;
    std::string operator/(const std::string& name) const { return dir_ / name; }

private:
    testsupport::TempDir dir_;
    testsupport::ScopedWorkingDirectory cwd_;
};

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
