#include "UiTestSupport.h"
#include "ui/Commands.h"
#include "ui/Prompts.h"

#include <QListWidget>
#include <QMenuBar>
#include <QSignalSpy>
#include <QToolBar>
#include <QWidgetAction>
#include <QtTest>

using uitest::Program;
using uitest::Workspace;

namespace {

constexpr int AllCommands[] = {CM_EXIT,    CM_VIEW,    CM_ADD,     CM_DELETE,
                               CM_OPTIONS, CM_LOGFILE, CM_WAVFILE, CM_ABOUT};

// One name per item: the action's object name, "-" for a separator, "gap6" for a 6-pixel gap.
QStringList Items(const QList<QAction*>& actions) {
    QStringList items;
    for (QAction* action : actions) {
        if (action->isSeparator())
            items << "-";
        else if (auto* gap = qobject_cast<QWidgetAction*>(action))
            items << QString("gap%1").arg(gap->defaultWidget()->width());
        else
            items << action->objectName();
    }
    return items;
}

QList<int> EnabledCommands(const MainFrame& frame) {
    QList<int> enabled;
    for (int id : AllCommands)
        if (frame.Action(id)->isEnabled())
            enabled << id;
    return enabled;
}

void DisableAll(const MainFrame& frame) {
    for (int id : AllCommands)
        frame.Action(id)->setEnabled(false);
}

} // namespace

class MainFrameTest : public QObject {
    Q_OBJECT

private slots:
    void theMenuAndTheToolBarCarryEachCommandOnceInTheirOrder() {
        Workspace space;
        Program program;
        const MainFrame& frame = *program.frame;

        const QList<QAction*> menus = frame.menuBar()->actions();
        QCOMPARE(menus.size(), 3);
        QCOMPARE(menus[0]->text(), QString("&File"));
        QCOMPARE(menus[1]->text(), QString("&Directories"));
        QCOMPARE(menus[2]->text(), QString("&Help"));
        QCOMPARE(Items(menus[0]->menu()->actions()), QStringList({"CM_VIEW", "-", "CM_EXIT"}));
        QCOMPARE(
            Items(menus[1]->menu()->actions()),
            QStringList({"CM_ADD", "CM_DELETE", "-", "CM_OPTIONS", "CM_LOGFILE", "CM_WAVFILE"}));
        QCOMPARE(Items(menus[2]->menu()->actions()), QStringList({"CM_ABOUT"}));

        auto* bar = frame.findChild<QToolBar*>();
        QVERIFY(bar);
        QCOMPARE(Items(bar->actions()),
                 QStringList({"CM_VIEW", "CM_EXIT", "gap6", "CM_ADD", "CM_DELETE", "gap6",
                              "CM_OPTIONS", "CM_LOGFILE", "CM_WAVFILE", "gap6", "CM_ABOUT"}));

        const std::map<int, QString> texts{{CM_EXIT, "&Exit"},        {CM_VIEW, "&View"},
                                           {CM_ADD, "&Add"},          {CM_DELETE, "&Delete"},
                                           {CM_OPTIONS, "&Options"},  {CM_LOGFILE, "&LOG file"},
                                           {CM_WAVFILE, "&WAV file"}, {CM_ABOUT, "&About"}};
        for (const auto& [id, text] : texts) {
            QAction* action = frame.Action(id);
            QCOMPARE(action->text(), text);
            QCOMPARE(action->data().toInt(), id);
            QVERIFY(action->shortcut().isEmpty());
            QVERIFY2(!action->icon().isNull(), qPrintable(text));
        }
        // The bitmaps don't follow the button order.
        const std::map<int, QString> bitmaps{{CM_VIEW, ":/BMP_1"},    {CM_EXIT, ":/BMP_2"},
                                             {CM_ADD, ":/BMP_3"},     {CM_DELETE, ":/BMP_4"},
                                             {CM_ABOUT, ":/BMP_5"},   {CM_LOGFILE, ":/BMP_6"},
                                             {CM_WAVFILE, ":/BMP_7"}, {CM_OPTIONS, ":/BMP_8"}};
        for (const auto& [id, bitmap] : bitmaps)
            QCOMPARE(frame.Action(id)->icon().pixmap(20, 20).toImage(), QPixmap(bitmap).toImage());
    }

    void theFrameIsAFixedPeerwellWindowAtTheOriginWithoutMaximise() {
        Workspace space;
        Program program;
        const MainFrame& frame = *program.frame;
        QCOMPARE(frame.windowTitle(), QString("Peerwell"));
        QCOMPARE(frame.frameGeometry(), QRect(0, 0, 380, 265));
        QCOMPARE(frame.minimumSize(), frame.maximumSize());
        QVERIFY(frame.windowFlags() & Qt::WindowMinimizeButtonHint);
        QVERIFY(!(frame.windowFlags() & Qt::WindowMaximizeButtonHint));
        QVERIFY(!frame.windowIcon().isNull());
        auto* list = program.window->List;
        QCOMPARE(list->geometry(), QRect(10, 10, 360, 180));
    }

    void commandsAreEnabledByTheirRules_data() {
        QTest::addColumn<int>("records");
        QTest::addColumn<bool>("pending");
        QTest::addColumn<bool>("emptyLog");
        QTest::addColumn<QList<int>>("enabled");
        QTest::newRow("an empty list")
            << 0 << false << false << QList<int>{CM_EXIT, CM_ADD, CM_ABOUT};
        QTest::newRow("eight records")
            << 8 << false << false << QList<int>(std::begin(AllCommands), std::end(AllCommands));
        QTest::newRow("nine records")
            << 9 << false << false << QList<int>{CM_EXIT,    CM_VIEW,    CM_DELETE, CM_OPTIONS,
                                                 CM_LOGFILE, CM_WAVFILE, CM_ABOUT};
        QTest::newRow("eight records and a pending one")
            << 8 << true << false << QList<int>{CM_EXIT,    CM_VIEW,    CM_DELETE, CM_OPTIONS,
                                                CM_LOGFILE, CM_WAVFILE, CM_ABOUT};
        QTest::newRow("a selected record without log")
            << 1 << false << true
            << QList<int>{CM_EXIT, CM_ADD, CM_DELETE, CM_OPTIONS, CM_LOGFILE, CM_WAVFILE, CM_ABOUT};
    }

    // Checked twice: when a menu opens, and when the program is idle.
    void commandsAreEnabledByTheirRules() {
        QFETCH(int, records);
        QFETCH(bool, pending);
        QFETCH(bool, emptyLog);
        QFETCH(QList<int>, enabled);
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
        QCOMPARE(EnabledCommands(*program.frame), enabled);
        directories->hide();

        DisableAll(*program.frame);
        uitest::RunUntilIdle();
        QCOMPARE(EnabledCommands(*program.frame), enabled);
    }

    void exitAsksOnceAndNoKeepsTheProgramRunning() {
        Workspace space;
        const auto records = space.MakeRecords(1);
        space.WriteConfig(records);
        Program program;
        const int asked = Prompts::ShownCount();

        Prompts::SetNextAnswer(QMessageBox::No);
        program.frame->Action(CM_EXIT)->trigger();
        QCOMPARE(Prompts::ShownCount(), asked + 1);
        const auto shown = Prompts::LastShown();
        QCOMPARE(shown->caption, QString("Confirm"));
        QCOMPARE(shown->text, QString("Do you really want to terminate Peerwell program?"));
        QCOMPARE(shown->icon, QMessageBox::Critical);
        QCOMPARE(shown->buttons, QMessageBox::Yes | QMessageBox::No);
        QVERIFY(program.frame->isVisible());
        QVERIFY(uitest::ArrivalLogged(records[0].path, records[0].log, "after-no"));

        Prompts::SetNextAnswer(QMessageBox::Yes);
        program.frame->Action(CM_EXIT)->trigger();
        QCOMPARE(Prompts::ShownCount(), asked + 2);
        QVERIFY(!program.frame->isVisible());
    }

    void closingTheFrameAsksTheSameQuestionOnce() {
        Workspace space;
        Program program;
        QSignalSpy closed(program.frame.get(), &MainFrame::Closed);
        const int asked = Prompts::ShownCount();

        Prompts::SetNextAnswer(QMessageBox::No);
        QVERIFY(!program.frame->close());
        QVERIFY(program.frame->isVisible());
        QCOMPARE(Prompts::ShownCount(), asked + 1);
        QCOMPARE(closed.count(), 0);

        // Hidden behind the tray icon, as at the end of a session.
        program.frame->hide();
        Prompts::SetNextAnswer(QMessageBox::Yes);
        QVERIFY(program.frame->close());
        QCOMPARE(Prompts::ShownCount(), asked + 2);
        QCOMPARE(closed.count(), 1);

        program.frame.reset();
        QVERIFY(!program.tray->iconShown);
    }

    void minimisingHidesTheFrameOnlyWhileTheTrayIconIsShown() {
        Workspace space;
        Program withIcon;
        withIcon.frame->showMinimized();
        QTRY_VERIFY(!withIcon.frame->isVisible());

        Program withoutIcon(false);
        QVERIFY(!withoutIcon.window->TrayIcon.Shown());
        withoutIcon.frame->showMinimized();
        QTRY_VERIFY(withoutIcon.frame->isMinimized());
        QCoreApplication::sendPostedEvents();
        QVERIFY(withoutIcon.frame->isVisible());
    }

    void aDoubleClickOnTheTrayIconTogglesTheFrame() {
        Workspace space;
        Program program;
        MainFrame& frame = *program.frame;
        for (auto reason : {QSystemTrayIcon::Trigger, QSystemTrayIcon::Context,
                            QSystemTrayIcon::MiddleClick, QSystemTrayIcon::Unknown})
            program.tray->Activate(reason);
        QCoreApplication::sendPostedEvents();
        QVERIFY(frame.isVisible());

        program.tray->Activate(QSystemTrayIcon::DoubleClick);
        QTRY_VERIFY(!frame.isVisible());
        program.tray->Activate(QSystemTrayIcon::DoubleClick);
        QTRY_VERIFY(frame.isVisible());

        frame.showMinimized();
        QTRY_VERIFY(!frame.isVisible());
        program.tray->Activate(QSystemTrayIcon::DoubleClick);
        QTRY_VERIFY(frame.isVisible());
        QVERIFY(!frame.isMinimized());
    }
};

QTEST_MAIN(MainFrameTest)
#include "MainFrameTest.moc"
