#include "UiTestSupport.h"

#include "tests/support/RecordingSoundPlayer.h"

#include <QEventLoop>
#include <QTimer>
#include <filesystem>

namespace uitest {

Workspace::Workspace() : cwd_(dir_.path()) {}

std::string Workspace::MakeDir(const std::string& name) const {
    std::filesystem::create_directories(dir_.path() / name);
    return dir_ / name;
}

std::vector<Record> Workspace::MakeRecords(int count) const {
    std::vector<Record> records;
    for (int i = 0; i < count; ++i) {
        const std::string name = "d" + std::to_string(i);
        records.push_back({MakeDir(name), "alias" + std::to_string(i), '*', "*.*", 0,
                           dir_ / (name + ".log"), ""});
    }
    return records;
}

void Workspace::WriteConfig(const std::vector<Record>& records) const {
    const std::string stars(38, '*');
    std::string text = stars + "\r\n***   Do not change this file!!!   ***\r\n" + stars + "\r\n";
    const auto quoted = [](const std::string& field) { return '"' + field + '"'; };
    for (const Record& r : records)
        text += quoted(r.path) + ' ' + quoted(r.alias) + ' ' + quoted(std::string(1, r.kind)) +
                ' ' + quoted(r.mask) + ' ' + quoted(std::to_string(r.attrib)) + ' ' +
                quoted(r.log) + ' ' + quoted(r.wav) + "\r\n";
    testsupport::WriteFile(dir_ / DirWindow::ConfigFileName, text);
}

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
