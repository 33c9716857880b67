// The list commands, run through the main frame's actions against the real watch and a real
// peer.cfg in a temporary working directory.
#include "DialogDriver.h"
#include "UiTestSupport.h"
#include "ui/Commands.h"
#include "ui/DirectoryDialog.h"
#include "ui/Prompts.h"

#include <QAction>
#include <QListWidget>
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
        QVERIFY(!enabled(CM_ADD));
        QVERIFY(!enabled(CM_VIEW));

        Prompts::SetNextFileName(QString::fromStdString(space / "fresh.log"));
        run(CM_LOGFILE);
        WriteFile(space / "ding.wav", "RIFF");
        Prompts::SetNextFileName(QString::fromStdString(space / "ding.wav"));
        run(CM_WAVFILE);
        AnswerDirectoryDialog("", "Fresh"); // no path yet: still pending, nothing saved
        run(CM_OPTIONS);
        QCOMPARE(line(1), "");
        QVERIFY(!enabled(CM_ADD));
        QVERIFY(enabled(CM_VIEW));
        QVERIFY(!std::filesystem::exists(config));

        window.List->setCurrentRow(0);
        window.List->setCurrentRow(1);
        QCOMPARE(window.Alias, "Fresh");

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
    }
};

QTEST_MAIN(DirWindowCommandsTest)
#include "DirWindowCommandsTest.moc"
