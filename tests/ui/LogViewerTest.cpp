// Running the desktop's text viewer on a log. The desktop's settings (XDG folders, PATH) point
// into a temporary folder, so that no real editor is ever found; a stand-in viewer there writes
// its arguments, NUL-terminated each, to a file and exits with $VIEWER_STATUS.
#include "ui/qt/LogViewer.h"
#include "tests/support/TempDir.h"

#include <QTest>
#include <filesystem>
#include <memory>

namespace fs = std::filesystem;
using testsupport::WriteFile;

class LogViewerTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<testsupport::TempDir> dir;
    std::unique_ptr<testsupport::ScopedWorkingDirectory> cwd;
    std::string viewer, out;

    static void Set(const char* name, const std::string& value) {
        qputenv(name, QByteArray::fromStdString(value));
    }
    // Names the default applications for text/plain, and writes the desktop entry of one of them
    // below one of the data folders ("share/applications/..." or "usr-share/applications/...").
    void SetDefaults(const std::string& ids, const std::string& entry,
                     const std::string& exec) const {
        WriteFile(*dir / "config/mimeapps.list",
                  "[Added Associations]\ntext/plain=other.desktop;\n\n"
                  "[Default Applications]\ntext/plain=" +
                      ids + "\n");
        fs::create_directories(fs::path(*dir / entry).parent_path());
        WriteFile(*dir / entry, "[Desktop Entry]\nType=Application\nExec=" + exec + "\n");
    }
    QStringList Arguments() const {
        QStringList arguments = QString::fromStdString(testsupport::ReadFile(out)).split('\0');
        arguments.removeLast();
        return arguments;
    }

private slots:
    void init() {
        dir = std::make_unique<testsupport::TempDir>();
        cwd = std::make_unique<testsupport::ScopedWorkingDirectory>(dir->path());
        viewer = *dir / "viewer", out = *dir / "viewer.out";
        WriteFile(viewer, "#!/bin/sh\nprintf '%s\\0' \"$0\" \"$@\" >\"" + out +
                              "\"\nexit \"${VIEWER_STATUS:-0}\"\n");
        fs::permissions(viewer, fs::perms::owner_all);
        fs::create_directories(*dir / "config");
        Set("XDG_CONFIG_HOME", *dir / "config");
        Set("XDG_CONFIG_DIRS", *dir / "etc-xdg");
        Set("XDG_DATA_HOME", *dir / "share");
        Set("XDG_DATA_DIRS", *dir / "usr-share");
        Set("PATH", *dir / "bin");
        Set("XDG_CURRENT_DESKTOP", "");
        Set("VIEWER_STATUS", "0");
    }
    void cleanup() {
        cwd.reset();
        dir.reset();
    }

    void theDefaultApplicationGetsTheLogPathAsOneArgument() {
        SetDefaults("not-installed.desktop;viewer.desktop;",
                    "usr-share/applications/viewer.desktop",
                    "\"" + viewer + "\" --new-window %U %i");
        const QString log = QString::fromStdString(*dir / "my logs/a  b; $(touch pwned) & 'q'.log");
        Set("VIEWER_STATUS", "7");
        QCOMPARE(LogViewer::Run(log), 7);
        QCOMPARE(Arguments(), QStringList({QString::fromStdString(viewer), "--new-window", log}));
        QVERIFY(!fs::exists(*dir / "pwned"));
    }

    void aLogPathThatLooksLikeAnOptionReachesTheViewerAsAFile() {
        fs::create_directories(*dir / "bin"); // a known editor on PATH
        fs::create_symlink(viewer, *dir / "bin/gedit");
        for (const QString log : {"-rf.log", "--help", "+!touch pwned"}) {
            QCOMPARE(LogViewer::Run(log), 0);
            QCOMPARE(Arguments().mid(1), QStringList{"./" + log});
        }
    }
};

QTEST_MAIN(LogViewerTest)
#include "LogViewerTest.moc"
