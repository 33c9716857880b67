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
    void InstallEditor(const std::string& name) const {
        fs::create_directories(*dir / "bin");
        fs::create_symlink(viewer, *dir / ("bin/" + name));
    }
    // A desktop entry below one of the data folders ("share" or "usr-share").
    void WriteEntry(const std::string& dataDir, const std::string& id,
                    const std::string& body) const {
        fs::create_directories(*dir / (dataDir + "/applications"));
        WriteFile(*dir / (dataDir + "/applications/" + id),
                  "[Desktop Entry]\nType=Application\n" + body);
    }
    // Names the default applications for text/plain.
    void WriteDefaults(const std::string& ids) const {
        WriteFile(*dir / "config/mimeapps.list",
                  "[Added Associations]\ntext/plain=other.desktop;\n\n"
                  "[Default Applications]\ntext/plain=" +
                      ids + "\n");
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
        WriteDefaults("not-installed.desktop;viewer.desktop;");
        WriteEntry("usr-share", "viewer.desktop", "Exec=\"" + viewer + "\" --new-window %U %i\n");
        const QString log = QString::fromStdString(*dir / "my logs/a  b; $(touch pwned) & 'q'.log");
        Set("VIEWER_STATUS", "7");
        QCOMPARE(LogViewer::Run(log), 7);
        QCOMPARE(Arguments(), QStringList({QString::fromStdString(viewer), "--new-window", log}));
        QVERIFY(!fs::exists(*dir / "pwned"));
    }

    void aLogPathThatLooksLikeAnOptionReachesTheViewerAsAFile() {
        InstallEditor("gedit");
        for (const QString log : {"-rf.log", "--help", "+!touch pwned"}) {
            QCOMPARE(LogViewer::Run(log), 0);
            QCOMPARE(Arguments().mid(1), QStringList{"./" + log});
        }
    }

    void aViewerThatCannotStartGivesMinusOne() {
        QCOMPARE(LogViewer::Run("peer.log"), -1); // nothing set, nothing on PATH
        WriteDefaults("broken.desktop");
        WriteEntry("share", "broken.desktop", "Exec=/no/such/viewer %f\n");
        InstallEditor("gedit");
        QCOMPARE(LogViewer::Run("peer.log"), -1); // a broken default is not replaced
        QVERIFY(!fs::exists(out));
    }
};

QTEST_MAIN(LogViewerTest)
#include "LogViewerTest.moc"
