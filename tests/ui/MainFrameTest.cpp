// The main frame around the real directory list window, the Directory dialog on its form, and
// the layout of every window.
#include "ui/qt/MainFrame.h"
#include "Workspace.h"
#include "tests/support/RecordingSoundPlayer.h"
#include "ui/CommandTable.h"
#include "ui/qt/AboutDialog.h"
#include "ui/qt/DirWindow.h"
#include "ui/qt/DirectoryDialog.h"
#include "ui/qt/MessageBox.h"

#include <QApplication>
#include <QCheckBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPushButton>
#include <QScopeGuard>
#include <QSettings>
#include <QToolBar>
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
    // The menus and the tool bar show every command in its place, a button with its command's
    // bitmap, and follow the client's enabling when a menu opens and when the program is idle.
    void theMenusAndTheToolBarShowTheCommandsInTheirOrderAndState() {
        Workspace space;
        Program program;
        QString shown;
        for (const QAction* menu : program.frame->menuBar()->actions()) {
            shown += ' ' + menu->text() + ':';
            for (const QAction* item : menu->menu()->actions())
                shown += ' ' + (item->isSeparator() ? "|" : item->text());
        }
        for (const QAction* tool : program.frame->findChild<QToolBar*>()->actions()) {
            shown += ' ' + (tool->icon().isNull() ? "|" : tool->text());
            for (int n = 1; n <= 8; ++n)
                if (tool->icon().pixmap(20).toImage() ==
                    QIcon(QString(":/BMP_%1").arg(n)).pixmap(20).toImage())
                    shown += '=' + QString::number(n);
        }
        QCOMPARE(shown,
                 " &File: &View | &Exit &Directories: &Add &Delete | &Options &LOG file &WAV "
                 "file &Help: &About &View=1 &Exit=2 | &Add=3 &Delete=4 | &Options=8 &LOG "
                 "file=6 &WAV file=7 | &About=5");

        const DirWindow& client = *program.window;
        QMenu* directories = program.frame->menuBar()->actions()[1]->menu();
        const std::function<void()> updates[] = {[&] { directories->popup(QPoint(0, 0)); },
                                                 RunUntilIdle};
        for (const auto& update : updates) {
            for (const CommandInfo& c : Commands)
                program.frame->Action(c.id)->setEnabled(!client.CommandEnabled(c.id));
            update();
            for (const CommandInfo& c : Commands)
                QCOMPARE(program.frame->Action(c.id)->isEnabled(), client.CommandEnabled(c.id));
            directories->hide();
        }
    }

    // The Directory dialog's controls show its form and hand back the user's clicks and texts;
    // a refusal is shown and keeps the dialog open.
    void theDirectoryDialogShowsItsForm() {
        testsupport::TempDir dir;
        DirSettings fields{"/tmp", "Inbox", '-', "*.txt", 0, "", ""};
        DirectoryDialog dialog(nullptr, fields);
        dialog.show();
        auto* path = dialog.findChild<QLineEdit*>("105");
        QCOMPARE(path->text(), "/tmp");
        QTest::mouseClick(dialog.findChild<QCheckBox*>("102"), Qt::LeftButton); // Inbound only
        for (const bool refused : {true, false}) {
            path->setText(QString::fromStdString(refused ? dir / "missing" : dir.str() + "/"));
            const int shown = MessageBox::ShownCount();
            MessageBox::SetNextAnswer(QMessageBox::Ok);
            QTest::mouseClick(dialog.findChild<QPushButton*>("1"), Qt::LeftButton);
            QVERIFY(dialog.isVisible() == refused && MessageBox::ShownCount() == shown + refused);
        }
        QCOMPARE(fields, (DirSettings{dir.str(), "Inbox", '+', "*.txt", 0, "", ""}));
    }

    // A line shows the controller's mark and tool tip, a long path shortened in its middle. The
    // tray icon's menu, offscreen without the icon, still runs its commands.
    void theLinesShowTheStatesAndTheTrayMenuRunsItsCommands() {
        Workspace space;
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                           QString::fromStdString(space / "settings"));
        std::vector<DirSettings> records = space.MakeRecords(2);
        records[1].Path = space / std::string(300, 'x'); // a name too long to be watched
        space.WriteConfig(records);
        Program program;
        const auto* list = program.window->findChild<QListWidget*>();
        QTRY_VERIFY(!list->item(1)->icon().isNull());
        QVERIFY(list->item(0)->icon().isNull());
        QVERIFY(list->item(1)->toolTip().startsWith(QString::fromStdString(records[1].Path) +
                                                    "\nd1 is not watched: "));
        QCOMPARE(list->textElideMode(), Qt::ElideMiddle);

        auto* menu = program.window->findChild<QMenu*>("TrayMenu");
        const auto shown = [menu] {
            menu->popup(QPoint(0, 0));
            QStringList texts;
            for (const QAction* item : menu->actions())
                texts << item->text() + (item->isChecked() ? "+" : "");
            menu->hide();
            return texts.join(' ');
        };
        QCOMPARE(menu->defaultAction(), menu->actions().first());
        QCOMPARE(shown(), "&Hide Peerwell &Notify on arrival &About  &Exit");
        for (const char* name : {"CM_SHOWHIDE", "CM_NOTIFY"})
            menu->findChild<QAction*>(name)->trigger();
        QVERIFY(!program.frame->isVisible());
        QCOMPARE(shown(), "&Show Peerwell &Notify on arrival+ &About  &Exit");
        QVERIFY(QSettings("Peerwell", "Peerwell").value("NotifyOnArrival").toBool());
        MessageBox::SetNextAnswer(QMessageBox::No);
        const int asked = MessageBox::ShownCount();
        menu->findChild<QAction*>("CM_EXIT")->trigger();
        QCOMPARE(MessageBox::ShownCount(), asked + 1);
    }

    // The WAV file dialog lists first every sound the player plays.
    void theWavFileDialogListsTheSoundsThePlayerPlays() {
        Workspace space;
        space.WriteConfig({});
        for (const char* name : {"a.wav", "b.oga", "c.ogg", "d.flac", "e.txt", "f.log"})
            testsupport::WriteFile(space / name);
        Program program;
        program.window->Command(CM_ADD);
        QStringList listed;
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            dialog->setDirectory(QString::fromStdString(space / ""));
            const auto* view = dialog->findChild<QListView*>("listView");
            const auto rows = [view] { return view->model()->rowCount(view->rootIndex()); };
            static_cast<void>(QTest::qWaitFor([&] { return rows() >= 4; })); // read on a thread
            for (int row = 0; row < rows(); ++row)
                listed << view->model()->index(row, 0, view->rootIndex()).data().toString();
            dialog->reject();
        });
        program.window->Command(CM_WAVFILE);
        listed.sort();
        QCOMPARE(listed, QStringList({"a.wav", "b.oga", "c.ogg", "d.flac"}));
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
