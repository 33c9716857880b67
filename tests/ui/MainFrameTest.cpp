#include "UiTestSupport.h"
#include "ui/Commands.h"
#include "ui/Prompts.h"

#include <QMenuBar>
#include <QSignalSpy>
#include <QtTest>

using uitest::Program;
using uitest::Workspace;

namespace {

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
    void commandsAreEnabledByTheirRules_data() {
        QTest::addColumn<int>("records");
        QTest::addColumn<bool>("pending");
        QTest::addColumn<bool>("emptyLog");
        QTest::addColumn<QList<int>>("disabled");
        const QList<int> add{CM_ADD};
        QTest::newRow("empty list")
            << 0 << false << false
            << QList<int>{CM_VIEW, CM_DELETE, CM_OPTIONS, CM_LOGFILE, CM_WAVFILE};
        QTest::newRow("eight records") << 8 << false << false << QList<int>{};
        QTest::newRow("nine records") << 9 << false << false << add;
        QTest::newRow("eight and a pending one") << 8 << true << false << add;
        QTest::newRow("record without log") << 1 << false << true << QList<int>{CM_VIEW};
    }

    // Checked twice: when a menu opens, and when the program is idle.
    void commandsAreEnabledByTheirRules() {
        QFETCH(int, records);
        QFETCH(bool, pending);
        QFETCH(bool, emptyLog);
        QFETCH(QList<int>, disabled);
        Workspace space;
        auto config = space.MakeRecords(records);
        if (emptyLog)
            config[0].log.clear();
        space.WriteConfig(config);
        Program program;
        if (pending) {
            program.window->Pending = std::make_unique<MyDir>();
            program.window->AppendLine("");
        }

        DisableAll(*program.frame);
        QMenu* directories = program.frame->menuBar()->actions()[1]->menu();
        directories->popup(QPoint(0, 0));
        QCOMPARE(DisabledCommands(*program.frame), disabled);
        directories->hide();

        DisableAll(*program.frame);
        uitest::RunUntilIdle();
        QCOMPARE(DisabledCommands(*program.frame), disabled);
    }

    // The end-to-end test closes a shown frame; here it is hidden, as at the end of a session.
    void closingAHiddenFrameAsksOnceAndEndsTheProgram() {
        Workspace space;
        Program program;
        QSignalSpy closed(program.frame.get(), &MainFrame::Closed);
        const int asked = Prompts::ShownCount();
        program.frame->hide();
        Prompts::SetNextAnswer(QMessageBox::Yes);
        QVERIFY(program.frame->close());
        QCOMPARE(Prompts::ShownCount(), asked + 1);
        QCOMPARE(closed.count(), 1);
    }

    // With a tray icon, the end-to-end test sees the minimised frame hide.
    void withoutATrayIconTheMinimisedFrameStays() {
        Workspace space;
        Program withoutIcon(false);
        QVERIFY(!withoutIcon.window->TrayIcon.Shown());
        withoutIcon.frame->showMinimized();
        QTRY_VERIFY(withoutIcon.frame->isMinimized());
        QCoreApplication::sendPostedEvents();
        QVERIFY(withoutIcon.frame->isVisible());
    }
};

QTEST_MAIN(MainFrameTest)
#include "MainFrameTest.moc"
