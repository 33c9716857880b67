// The main frame around the real directory list window, with a recording tray shell, and the
// layout of every window.
#include "ui/qt/MainFrame.h"
#include "Workspace.h"
#include "tests/support/RecordingSoundPlayer.h"
#include "ui/Commands.h"
#include "ui/qt/AboutDialog.h"
#include "ui/qt/DirWindow.h"
#include "ui/qt/DirectoryDialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QMenuBar>
#include <QScopeGuard>
#include <QtTest>
#include <functional>

using uitest::Workspace;

namespace {

// Runs the event loop until it would block, the program's idle point.
void RunUntilIdle() {
    QEventLoop loop;
    QTimer::singleShot(0, &loop, &QEventLoop::quit);
    loop.exec();
}

// The program's windows, built in the order of the real start-up, shown and idle. Offscreen
// there is no tray.
struct Program {
    Program() {
        window = new DirWindow(CreateSystemTrayShell(),
                               std::make_unique<testsupport::RecordingSoundPlayer>());
        frame = std::make_unique<MainFrame>(window);
        window->Create();
        frame->show();
        RunUntilIdle();
    }

    std::unique_ptr<MainFrame> frame;
    DirWindow* window = nullptr;
};

constexpr int AllCommands[] = {CM_EXIT,    CM_VIEW,    CM_ADD,     CM_DELETE,
                               CM_OPTIONS, CM_LOGFILE, CM_WAVFILE, CM_ABOUT};

QString Describe(const QWidget& widget) {
    QString text;
    QDebug(&text) << &widget << widget.property("text").toString() << widget.geometry();
    return text;
}

// Every visible control, down the whole tree, lies inside its parent, is wide enough for its
// text and overlaps no sibling, except a black frame, which must hold it inside its line.
void CollectLayoutFaults(const QWidget& parent, QStringList& faults) {
    const auto isBlackFrame = [](const QWidget* w) {
        return w->metaObject() == &QFrame::staticMetaObject;
    };
    QList<QWidget*> children = parent.findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    children.removeIf(
        [](const QWidget* child) { return !child->isVisible() || child->isWindow(); });
    for (const QWidget* child : children) {
        const QRect box = child->geometry();
        if (!parent.rect().contains(box))
            faults << Describe(*child) + " leaves " + Describe(parent);
        if ((qobject_cast<const QLabel*>(child) || qobject_cast<const QCheckBox*>(child)) &&
            child->sizeHint().width() > box.width())
            faults << Describe(*child) + " cuts its text";
        for (const QWidget* other : children) {
            const QRect inside = other->contentsRect().translated(other->pos());
            if (other != child && box.intersects(other->geometry()) && !isBlackFrame(child) &&
                !(isBlackFrame(other) && inside.contains(box)))
                faults << Describe(*child) + " overlaps " + Describe(*other);
        }
        CollectLayoutFaults(*child, faults);
    }
}

} // namespace

class MainFrameTest : public QObject {
    Q_OBJECT

private slots:
    // The menus' and the tool bar's commands follow the client when a menu opens and when the
    // program is idle.
    void commandsFollowTheClient() {
        Workspace space;
        Program program;
        const DirWindow& client = *program.window;
        QMenu* directories = program.frame->menuBar()->actions()[1]->menu();
        const std::function<void()> updates[] = {[&] { directories->popup(QPoint(0, 0)); },
                                                 RunUntilIdle};
        for (const auto& update : updates) {
            for (int id : AllCommands)
                program.frame->Action(id)->setEnabled(!client.CommandEnabled(id));
            update();
            for (int id : AllCommands)
                QCOMPARE(program.frame->Action(id)->isEnabled(), client.CommandEnabled(id));
            directories->hide();
        }
    }

    // With a tray icon, the end-to-end test sees the minimised frame hide.
    void withoutATrayIconTheMinimisedFrameStays() {
        Workspace space;
        Program withoutIcon;
        QVERIFY(!withoutIcon.window->TrayIconShown());
        withoutIcon.frame->showMinimized();
        QTRY_VERIFY(withoutIcon.frame->isMinimized());
        QCoreApplication::sendPostedEvents();
        QVERIFY(withoutIcon.frame->isVisible());
    }

    void noControlLeavesItsParentOrFrameOrOverlapsAnother_data() {
        QTest::addColumn<qreal>("fontScale");
        QTest::newRow("the platform's font") << 1.0;
        QTest::newRow("one and a half times as large") << 1.5;
        QTest::newRow("two and a half times as large") << 2.5;
    }
    // Registered once more with QT_SCALE_FACTOR=2.
    void noControlLeavesItsParentOrFrameOrOverlapsAnother() {
        QFETCH(qreal, fontScale);
        const QFont platformFont = QApplication::font();
        const auto restoreFont = qScopeGuard([&] { QApplication::setFont(platformFont); });
        QFont font = platformFont;
        font.setPointSizeF(font.pointSizeF() * fontScale);
        QApplication::setFont(font);
        Workspace space;
        space.WriteConfig(space.MakeRecords(2));
        Program program;
        AboutDialog about(program.window);
        about.show();
        DirSettings settings;
        DirectoryDialog directory(program.window, settings);
        directory.show();
        const QWidget* windows[] = {program.frame.get(), &about, &directory};
        for (const QWidget* window : windows) {
            QStringList faults;
            CollectLayoutFaults(*window, faults);
            QVERIFY2(faults.isEmpty(), qPrintable(faults.join('\n')));
        }
    }
};

QTEST_MAIN(MainFrameTest)
#include "MainFrameTest.moc"
