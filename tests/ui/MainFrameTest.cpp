// The main frame around the real directory list window, with a recording tray shell.
#include "app/MainFrame.h"
#include "RecordingTrayShell.h"
#include "Workspace.h"
#include "tests/support/RecordingSoundPlayer.h"
#include "ui/Commands.h"
#include "ui/qt/DirWindow.h"
#include "ui/qt/Prompts.h"

#include <QMenuBar>
#include <QSignalSpy>
#include <QtTest>

using uitest::Workspace;

namespace {

// Runs the event loop until it would block, the program's idle point.
void RunUntilIdle() {
    QEventLoop loop;
    QTimer::singleShot(0, &loop, &QEventLoop::quit);
    loop.exec();
}

// The program's windows, built in the order of the real start-up, shown and idle.
struct Program {
    explicit Program(bool trayAvailable = true) {
        tray->answer = trayAvailable;
        window = new DirWindow(std::make_unique<RecordingTrayShell>(tray),
                               std::make_unique<testsupport::RecordingSoundPlayer>());
        frame = std::make_unique<MainFrame>(window);
        window->Create();
        tray->answer = true;
        frame->show();
        RunUntilIdle();
    }

    std::shared_ptr<TrayLog> tray = std::make_shared<TrayLog>();
    std::unique_ptr<MainFrame> frame;
    DirWindow* window = nullptr;
};

constexpr int AllCommands[] = {CM_EXIT,    CM_VIEW,    CM_ADD,     CM_DELETE,
                               CM_OPTIONS, CM_LOGFILE, CM_WAVFILE, CM_ABOUT};

QList<int> DisabledCommands(const MainFrame& frame) {
    QList<int> disabled;
    for (int id : AllCommands)
        if (!frame.Action(id)->isEnabled())
            disabled << id;
    return disabled;
}

void DisableAll(const MainFrame& frame) {
    for (int id : AllCommands)
        frame.Action(id)->setEnabled(false);
}

} // namespace

class MainFrameTest : public QObject {
    Q_OBJECT

private slots:
    // Checked twice: when a menu opens, and when the program is idle.
    void menusAndToolBarFollowTheClientsRules() {
        Workspace space;
        Program program;
        const QList<int> disabled{CM_VIEW, CM_DELETE, CM_OPTIONS, CM_LOGFILE, CM_WAVFILE};

        DisableAll(*program.frame);
        QMenu* directories = program.frame->menuBar()->actions()[1]->menu();
        directories->popup(QPoint(0, 0));
        QCOMPARE(DisabledCommands(*program.frame), disabled);
        directories->hide();

        DisableAll(*program.frame);
        RunUntilIdle();
        QCOMPARE(DisabledCommands(*program.frame), disabled);
    }

    void closingTheFrameAsksTheSameQuestionOnce() {
        Workspace space;
        Program program;
        QSignalSpy closed(program.frame.get(), &MainFrame::Closed);
        int asked = Prompts::ShownCount();

        Prompts::SetNextAnswer(QMessageBox::No);
        QVERIFY(!program.frame->close());
        QVERIFY(program.frame->isVisible());
        QCOMPARE(Prompts::ShownCount(), ++asked);
        QCOMPARE(Prompts::LastShown()->text, "Do you really want to terminate Peerwell program?");
        QCOMPARE(closed.count(), 0);

        // Hidden behind the tray icon, as at the end of a session.
        program.frame->hide();
        Prompts::SetNextAnswer(QMessageBox::Yes);
        QVERIFY(program.frame->close());
        QCOMPARE(Prompts::ShownCount(), ++asked);
        QCOMPARE(closed.count(), 1);
    }

    void minimisingHidesTheFrameOnlyWhileTheTrayIconIsShown() {
        Workspace space;
        Program withIcon;
        withIcon.frame->showMinimized();
        QTRY_VERIFY(!withIcon.frame->isVisible());

        Program withoutIcon(false);
        QVERIFY(!withoutIcon.window->TrayIconShown());
        withoutIcon.frame->showMinimized();
        QTRY_VERIFY(withoutIcon.frame->isMinimized());
        QCoreApplication::sendPostedEvents();
        QVERIFY(withoutIcon.frame->isVisible());
    }

    void aDoubleClickOnTheTrayIconTogglesTheFrame() {
        Workspace space;
        Program program;
        MainFrame& frame = *program.frame;
        program.tray->Activate(QSystemTrayIcon::Trigger);
        QCoreApplication::sendPostedEvents();
        QVERIFY(frame.isVisible());

        program.tray->Activate(QSystemTrayIcon::DoubleClick);
        QTRY_VERIFY(!frame.isVisible());
        program.tray->Activate(QSystemTrayIcon::DoubleClick);
        QTRY_VERIFY(frame.isVisible());
    }
};

QTEST_MAIN(MainFrameTest)
#include "MainFrameTest.moc"
