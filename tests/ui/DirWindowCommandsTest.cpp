// The list commands, run through the main frame's actions against the real watch and a real
// peer.cfg in a temporary working directory.
#include "DialogDriver.h"
#include "UiTestSupport.h"
#include "ui/Commands.h"
#include "ui/DirectoryDialog.h"
#include "ui/Prompts.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QListView>
#include <QListWidget>
#include <QScopeGuard>
#include <QtTest>
#include <filesystem>

using namespace dialogdriver;
using testsupport::ReadFile;
using testsupport::WriteFile;
using uitest::Record;

namespace {

// peer.cfg as the program writes it for these records.
std::string ConfigText(const std::vector<Record>& records) {
    const uitest::Workspace scratch; // its own working directory until it is gone
    scratch.WriteConfig(records);
    return ReadFile(scratch / DirWindow::ConfigFileName);
}

// Creates files name.1, name.2, ... in the record's directory until its log reports one: a run
// that has just started reports only what happens after it has set up its notifications.
bool Reported(const Record& record, const std::string& name) {
    int created = 0;
    return testsupport::WaitUntil([&] {
        if (ReadFile(record.log).find(name) != std::string::npos)
            return true;
        WriteFile(record.path + "/" + name + "." + std::to_string(++created), "x");
        return false;
    });
}

// The next Directory dialog gets the path (when not empty) and alias typed and OK pressed.
void AnswerDirectoryDialog(const std::string& path, const std::string& alias) {
    DirectoryDialog::SetNextScript([=](DirectoryDialog& dialog) {
        Retype(dialog, "105", QString::fromStdString(path));
        Retype(dialog, "103", QString::fromStdString(alias));
        Click(dialog, "1");
    });
}

// Works the next file dialog as a user would: "all files (*.*)" in the folder must list a name
// without a dot, a file in a missing folder must be refused with the dialog left open, then
// the file is chosen.
void ChooseInFileDialog(const std::string& folder, const std::string& file) {
    QTimer::singleShot(0, [=] {
        auto* files = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        QVERIFY(files);
        const auto closeAtEnd = qScopeGuard([files] {
            if (files->isVisible())
                files->reject();
        });
        files->setDirectory(QString::fromStdString(folder));
        QTest::keyClick(Control<QComboBox>(*files, "fileTypeCombo"), Qt::Key_Down);
        const auto* view = Control<QListView>(*files, "listView");
        const auto first = [view] { return view->model()->index(0, 0, view->rootIndex()); };
        QTRY_VERIFY(!view->model()->match(first(), Qt::DisplayRole, "NODOT").isEmpty());
        Prompts::SetNextAnswer(QMessageBox::Ok);
        Edit(*files, "fileNameEdit")->setText(QString::fromStdString(folder + "/no/such.log"));
        QTest::keyClick(Edit(*files, "fileNameEdit"), Qt::Key_Return);
        QVERIFY(files->isVisible());
        QVERIFY(Prompts::LastShown()->text.startsWith("The folder of this file does not exist"));
        Edit(*files, "fileNameEdit")->setText(QString::fromStdString(file));
        QTest::keyClick(Edit(*files, "fileNameEdit"), Qt::Key_Return);
    });
}

} // namespace

class DirWindowCommandsTest : public QObject {
    Q_OBJECT

private slots:
    void thePendingRecordLivesUntilOptionsGivesItAPath() {
        uitest::Workspace space;
        const std::vector<Record> records = space.MakeRecords(1);
        space.WriteConfig(records);
        uitest::Program program;
        MainFrame& frame = *program.frame;
        DirWindow& window = *program.window;
        const auto run = [&](int id) {
            frame.UpdateCommands();
            frame.Action(id)->trigger();
        };
        const auto enabled = [&](int id) {
            frame.UpdateCommands();
            return frame.Action(id)->isEnabled();
        };
        const auto line = [&](int i) { return window.List->item(i)->text().toStdString(); };
        const std::string config = space / DirWindow::ConfigFileName;
        std::filesystem::remove(config);

        run(CM_ADD);
        QCOMPARE(window.List->count(), 2);
        QCOMPARE(window.SelectedLine(), 1);
        QCOMPARE(line(1), "");

        WriteFile(space / "NODOT", "x");
        ChooseInFileDialog(space / "", space / "fresh.log");
        run(CM_LOGFILE);
        WriteFile(space / "ding.wav", "RIFF");
        Prompts::SetNextFileName(QString::fromStdString(space / "ding.wav"));
        run(CM_WAVFILE);
        AnswerDirectoryDialog("", "Fresh"); // no path yet: still pending, nothing saved
        run(CM_OPTIONS);
        QCOMPARE(line(1), "");
        QVERIFY(enabled(CM_VIEW));
        QVERIFY(!std::filesystem::exists(config));

        const auto click = [&](int i, Qt::KeyboardModifiers keys) {
            const QRect box = window.List->visualItemRect(window.List->item(i));
            QTest::mouseClick(window.List->viewport(), Qt::LeftButton, keys, box.center());
        };
        click(0, Qt::NoModifier);
        click(1, Qt::ControlModifier);
        QCOMPARE(window.Alias, "Fresh");
        click(1, Qt::ControlModifier); // never clears the selection
        QVERIFY(enabled(CM_OPTIONS));

        const Record fresh{space.MakeDir("fresh"), "Fresh",           '*', "*.*", 0,
                           space / "fresh.log",    space / "ding.wav"};
        WriteFile(fresh.path + "/before.txt", "x");
        AnswerDirectoryDialog(fresh.path + "//", "Fresh");
        run(CM_OPTIONS);
        QCOMPARE(line(1), fresh.path);
        QVERIFY(enabled(CM_ADD));
        QCOMPARE(ReadFile(config), ConfigText({records[0], fresh}));
        QVERIFY(Reported(fresh, "after.txt"));
        QVERIFY(ReadFile(fresh.log).find("before.txt") == std::string::npos);
        QVERIFY(Reported(records[0], "still-watched.txt"));

        Prompts::SetNextAnswer(QMessageBox::Yes);
        run(CM_DELETE); // the new record, still selected
        QCOMPARE(window.List->count(), 1);
        QCOMPARE(ReadFile(config), ConfigText({records[0]}));
    }
};

QTEST_MAIN(DirWindowCommandsTest)
#include "DirWindowCommandsTest.moc"
