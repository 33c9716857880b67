// Running the desktop's text viewer on a log, with a recording stand-in viewer.
#include "ui/qt/LogViewer.h"
#include "StandInViewer.h"

#include <QTest>
#include <memory>

class LogViewerTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<StandInViewer> viewer;
    std::unique_ptr<testsupport::ScopedWorkingDirectory> cwd;

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

    void aViewerThatCannotStartGivesMinusOne() {
        QCOMPARE(LogViewer::Run("peer.log"), -1); // nothing set, nothing on PATH
        viewer->WriteDefaults("config/mimeapps.list", "broken.desktop");
        viewer->WriteEntry("share", "broken.desktop", "Exec=/no/such/viewer %f\n");
        viewer->InstallEditor("gedit");
        QCOMPARE(LogViewer::Run("peer.log"), -1); // a broken default is not replaced
        QVERIFY(!viewer->Started());
    }
};

QTEST_MAIN(LogViewerTest)
#include "LogViewerTest.moc"
