#include "ui/qt/LogViewer.h"

#include "ui/qt/XdgDefaults.h"

#include <QCoreApplication>
#include <QEvent>
#include <QEventLoop>
#include <QProcess>
#include <QStandardPaths>

namespace LogViewer {
namespace {

// Tried in this order when the desktop names no default for plain text.
const char* const FallbackEditors[] = {"gnome-text-editor", "gedit", "kate",  "kwrite",
                                       "mousepad",          "xed",   "pluma", "featherpad",
                                       "leafpad",           "geany"};

// Refuses every close request while installed: the windows must outlive the wait for the
// viewer, which runs inside one of their commands.
class CloseBlocker : public QObject {
public:
    CloseBlocker() { QCoreApplication::instance()->installEventFilter(this); }
    ~CloseBlocker() override { QCoreApplication::instance()->removeEventFilter(this); }
    CloseBlocker(const CloseBlocker&) = delete;
    CloseBlocker& operator=(const CloseBlocker&) = delete;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() != QEvent::Close)
            return false;
        event->ignore();
        return true;
    }
};

// The program and arguments that open logPath: the desktop's default application for plain
// text, else the first text editor of a fixed list found on PATH. Empty when there is none.
QStringList ViewerCommand(const QString& logPath) {
    // A relative path that begins like an option ('-', or '+' for vi's commands) would be taken
    // for one: "./" makes it a file.
    const QString file =
        logPath.startsWith('-') || logPath.startsWith('+') ? "./" + logPath : logPath;
    const QString desktopFile = xdg::DefaultApplication("text/plain");
    if (!desktopFile.isEmpty())
        if (QStringList command = xdg::ExecCommand(desktopFile, file); !command.isEmpty())
            return command;
    for (const char* editor : FallbackEditors)
        if (const QString program = QStandardPaths::findExecutable(editor); !program.isEmpty())
            return {program, file};
    return {};
}

} // namespace

int Run(const QString& logPath) {
    QStringList command = ViewerCommand(logPath);
    if (command.isEmpty())
        return -1;
    const QString program = command.takeFirst();
    QProcess viewer;
    viewer.setProcessChannelMode(QProcess::ForwardedChannels);
    viewer.setStandardInputFile(QProcess::nullDevice());
    viewer.start(program, command);
    if (!viewer.waitForStarted(-1))
        return -1;
    if (viewer.state() != QProcess::NotRunning) {
        const CloseBlocker blocker;
        QEventLoop wait;
        QObject::connect(&viewer, &QProcess::finished, &wait, &QEventLoop::quit);
        wait.exec(QEventLoop::ExcludeUserInputEvents);
    }
    return viewer.exitCode();
}

} // namespace LogViewer
