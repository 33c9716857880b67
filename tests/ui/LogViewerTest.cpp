// Finding the desktop's text viewer and running it on a log, with a recording stand-in viewer.
#include "ui/LogViewer.h"
#include "StandInViewer.h"
#include "ui/XdgDefaults.h"

#include <QPainter>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <memory>

namespace {

// A window that lets the viewer end once it has been painted during the wait.
class PaintedWindow : public QWidget {
public:
    std::string releaseFile;
    int paints = 0;

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter(this).fillRect(rect(), Qt::white);
        ++paints;
        if (!releaseFile.empty())
            testsupport::WriteFile(releaseFile);
    }
};

} // namespace

class LogViewerTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<StandInViewer> viewer;
    std::unique_ptr<testsupport::ScopedWorkingDirectory> cwd;

    QString Entry(const std::string& id) const {
        return QString::fromStdString(*viewer / ("share/applications/" + id));
    }

private slots:
    void init() {
        viewer = std::make_unique<StandInViewer>();
        cwd = std::make_unique<testsupport::ScopedWorkingDirectory>(*viewer / "");
    }
    void cleanup() {
        cwd.reset();
        viewer.reset();
    }

    void theDefaultApplicationGetsTheLogPathAsOneArgument() {
        viewer->WriteDefaults("config/mimeapps.list", "not-installed.desktop;viewer.desktop;");
        viewer->WriteEntry("usr-share", "viewer.desktop",
                           "Exec=\"" RECORDING_VIEWER "\" --new-window %U %i\n");
        const QString log =
            QString::fromStdString(*viewer / "my logs/a  b; $(touch pwned) & 'q'.log");
        StandInViewer::Set("RECORDING_VIEWER_STATUS", "7");
        QCOMPARE(LogViewer::Run(log), 7);
        QCOMPARE(viewer->Arguments(), QStringList({RECORDING_VIEWER, "--new-window", log}));
        QVERIFY(!std::filesystem::exists(*viewer / "pwned"));
    }

    void aLogPathThatLooksLikeAnOptionReachesTheViewerAsAFile() {
        viewer->InstallEditor("gedit");
        for (const QString log : {"-rf.log", "--help", "+!touch pwned"}) {
            QCOMPARE(LogViewer::Run(log), 0);
            QCOMPARE(viewer->Arguments().mid(1), QStringList{"./" + log});
        }
    }

    void theHighestRankingDefaultWins() {
        for (const char* id : {"user.desktop", "system.desktop", "desktop.desktop"})
            viewer->WriteEntry("share", id, "Exec=viewer %f\n");
        viewer->WriteDefaults("usr-share/applications/mimeapps.list", "system.desktop");
        QCOMPARE(xdg::DefaultApplication("text/plain"), Entry("system.desktop"));
        viewer->WriteDefaults("config/mimeapps.list", "user.desktop");
        QCOMPARE(xdg::DefaultApplication("text/plain"), Entry("user.desktop"));
        viewer->WriteDefaults("config/test-mimeapps.list", "desktop.desktop");
        StandInViewer::Set("XDG_CURRENT_DESKTOP", "Other:Test");
        QCOMPARE(xdg::DefaultApplication("text/plain"), Entry("desktop.desktop"));
        QCOMPARE(xdg::DefaultApplication("text/html"), QString());
    }

    void execLinesFollowTheDesktopEntryRules_data() {
        QTest::addColumn<QString>("exec");
        QTest::addColumn<QStringList>("command");
        const QString f = "/logs/a b.log";
        QTest::newRow("file code") << "ed %f" << QStringList{"ed", f};
        QTest::newRow("url list code") << "ed --x %U" << QStringList{"ed", "--x", f};
        QTest::newRow("code inside a word") << "ed --file=%f" << QStringList{"ed", "--file=" + f};
        QTest::newRow("no file code appends the file") << "ed -n" << QStringList{"ed", "-n", f};
        QTest::newRow("other codes are dropped") << "ed %i %c %k %f" << QStringList{"ed", f};
        QTest::newRow("percent sign") << "ed 100%% %f" << QStringList{"ed", "100%", f};
        QTest::newRow("quoted program with escapes")
            << "\"/opt/my ed/bin\" \"a \\\"q\\\" \\$HOME \\\\\" %f"
            << QStringList{"/opt/my ed/bin", "a \"q\" $HOME \\", f};
        QTest::newRow("no codes inside quotes") << "ed \"%f\"" << QStringList{"ed", "%f", f};
        QTest::newRow("quoted empty argument") << "ed \"\" %f" << QStringList{"ed", "", f};
    }
    void execLinesFollowTheDesktopEntryRules() {
        QFETCH(QString, exec);
        QFETCH(QStringList, command);
        QCOMPARE(xdg::ExpandExec(exec, "/logs/a b.log"), command);
    }

    void theEntrysOwnEscapesAreDecodedFirst() {
        viewer->WriteEntry("share", "escaped.desktop", "Exec=ed\\s--x \"a\\\\\\\\b\"\n");
        QCOMPARE(xdg::ExecCommand(Entry("escaped.desktop"), "f.log"),
                 QStringList({"ed", "--x", "a\\b", "f.log"}));
    }

    void withoutAUsableDefaultTheFirstEditorOnPathIsUsed() {
        viewer->InstallEditor("leafpad");
        viewer->InstallEditor("mousepad");
        viewer->WriteDefaults("config/mimeapps.list", "terminal.desktop");
        viewer->WriteEntry("share", "terminal.desktop", "Exec=vim %f\nTerminal=true\n");
        QCOMPARE(LogViewer::Run("peer.log"), 0);
        const QStringList arguments = viewer->Arguments();
        QCOMPARE(arguments.size(), 2);
        QVERIFY(arguments[0].endsWith("/mousepad"));
        QCOMPARE(arguments[1], "peer.log");
    }

    void aViewerThatCannotStartGivesMinusOne() {
        QCOMPARE(LogViewer::Run("peer.log"), -1); // nothing set, nothing on PATH
        viewer->WriteDefaults("config/mimeapps.list", "broken.desktop");
        viewer->WriteEntry("share", "broken.desktop", "Exec=/no/such/viewer %f\n");
        viewer->InstallEditor("gedit");
        QCOMPARE(LogViewer::Run("peer.log"), -1); // a broken default is not replaced
        QVERIFY(!viewer->Started());
    }

    void whileTheViewerRunsTheWindowsPaintButCannotClose() {
        viewer->InstallEditor("kate");
        PaintedWindow window;
        window.resize(200, 100);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const int paintsBefore = window.paints;
        const std::string releaseFile = *viewer / "release";
        StandInViewer::Set("RECORDING_VIEWER_RELEASE", releaseFile);

        bool closedDuringWait = true;
        QTimer::singleShot(0, &window, [&] {
            closedDuringWait = window.close();
            window.releaseFile = releaseFile; // the viewer ends after the next paint
            window.update();
        });
        QCOMPARE(LogViewer::Run("peer.log"), 0);
        QVERIFY(window.paints > paintsBefore);
        QVERIFY(!closedDuringWait);
        QVERIFY(window.isVisible());
        QVERIFY(window.close()); // closing works again afterwards
    }
};

QTEST_MAIN(LogViewerTest)
#include "LogViewerTest.moc"
