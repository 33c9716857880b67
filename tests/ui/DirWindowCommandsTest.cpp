// The commands that edit the list, run through the main frame's actions against the real watch
// and a real peer.cfg in a temporary working directory.
#include "DialogDriver.h"
#include "StandInViewer.h"
#include "UiTestSupport.h"
#include "ui/Commands.h"
#include "ui/DirectoryDialog.h"
#include "ui/Prompts.h"

#include <QAction>
#include <QDir>
#include <QListWidget>
#include <QtTest>
#include <filesystem>
#include <optional>

using namespace dialogdriver;
using testsupport::ReadFile;
using testsupport::WaitUntil;
using testsupport::WriteFile;
using uitest::Record;
using uitest::Workspace;

namespace {

// peer.cfg as the program writes it for these records.
std::string ConfigText(const std::vector<Record>& records) {
    const Workspace scratch; // its own working directory until it is gone
    scratch.WriteConfig(records);
    return ReadFile(scratch / DirWindow::ConfigFileName);
}

// Creates files name.1, name.2, ... in the record's directory until its log reports one: a run
// that has just started reports only what happens after it has set up its notifications.
bool Reported(const Record& record, const std::string& name) {
    int created = 0;
    return WaitUntil([&] {
        if (ReadFile(record.log).find(name) != std::string::npos)
            return true;
        WriteFile(record.path + "/" + name + "." + std::to_string(++created), "x");
        return false;
    });
}

// The next Directory dialog gets these texts typed (none: left alone) and OK pressed; a refused
// OK is answered and the dialog then cancelled.
using Typed = std::optional<std::string>;
void AnswerDirectoryDialog(Typed path, Typed alias = {}, Typed mask = {}) {
    DirectoryDialog::SetNextScript([=](DirectoryDialog& dialog) {
        const std::pair<const char*, Typed> edits[] = {
            {"105", path}, {"103", alias}, {"104", mask}};
        for (const auto& [id, text] : edits)
            if (text)
                Retype(dialog, id, QString::fromStdString(*text));
        Prompts::SetNextAnswer(QMessageBox::Ok);
        Click(dialog, "1");
        if (dialog.isVisible())
            Click(dialog, "2");
    });
}

// The program with watched directories d0, d1, ... from its peer.cfg.
class Session {
public:
    explicit Session(int count) : records(space.MakeRecords(count)) {}

    Workspace space;
    std::vector<Record> records;
    std::unique_ptr<uitest::Program> program;

    // Writes peer.cfg (after the test changed records) and starts the program on it.
    void Start() {
        space.WriteConfig(records);
        program = std::make_unique<uitest::Program>();
    }
    DirWindow& Window() const { return *program->window; }
    QListWidget& List() const { return *program->window->List; }

    bool Enabled(int id) const {
        program->frame->UpdateCommands();
        return program->frame->Action(id)->isEnabled();
    }
    void Run(int id) const {
        program->frame->UpdateCommands();
        program->frame->Action(id)->trigger();
    }
    // A click, or the events of a real double click: press, release, double click, release.
    void ClickLine(int line, bool twice = false) const {
        const QPoint at = List().visualItemRect(List().item(line)).center();
        QTest::mouseClick(List().viewport(), Qt::LeftButton, {}, at);
        if (!twice)
            return;
        QTest::mouseDClick(List().viewport(), Qt::LeftButton, {}, at);
        QTest::mouseRelease(List().viewport(), Qt::LeftButton, {}, at);
    }
    std::string Line(int line) const { return List().item(line)->text().toStdString(); }

    std::string Config() const { return ReadFile(space / DirWindow::ConfigFileName); }
    bool ConfigWritten() const {
        return std::filesystem::exists(space / DirWindow::ConfigFileName);
    }
    // Removes peer.cfg, so that a command that must not save can be seen not to.
    void ForgetConfig() const { std::filesystem::remove(space / DirWindow::ConfigFileName); }
};

} // namespace

class DirWindowCommandsTest : public QObject {
    Q_OBJECT

private slots:
    void thePendingRecordLivesUntilOptionsGivesItAPath() {
        Session s(1);
        s.Start();
        s.ForgetConfig();

        s.Run(CM_ADD);
        QCOMPARE(s.List().count(), 2);
        QCOMPARE(s.Window().SelectedLine(), 1);
        QCOMPARE(s.Line(1), "");
        QCOMPARE(s.Window().Mask, "*.*");
        QCOMPARE(s.Window().Kind, '*');
        QVERIFY(!s.Enabled(CM_ADD));
        QVERIFY(s.Enabled(CM_OPTIONS));
        QVERIFY(!s.Enabled(CM_VIEW));

        Prompts::SetNextFileName(QString::fromStdString(s.space / "fresh.log"));
        s.Run(CM_LOGFILE);
        WriteFile(s.space / "ding.wav", "RIFF");
        Prompts::SetNextFileName(QString::fromStdString(s.space / "ding.wav"));
        s.Run(CM_WAVFILE);
        AnswerDirectoryDialog("", "Fresh");
        s.Run(CM_OPTIONS);
        QCOMPARE(s.Line(1), "");
        QVERIFY(!s.Enabled(CM_ADD));
        QVERIFY(s.Enabled(CM_VIEW));
        QVERIFY(!s.ConfigWritten());

        s.ClickLine(0);
        s.ClickLine(1);
        QCOMPARE(s.Window().Alias, "Fresh");
        QCOMPARE(s.Window().Log, s.space / "fresh.log");

        const Record fresh{s.space.MakeDir("fresh"), "Fresh", '*', "*.*", 0, s.space / "fresh.log",
                           s.space / "ding.wav"};
        WriteFile(fresh.path + "/before.txt", "x");
        AnswerDirectoryDialog(fresh.path + "//");
        s.Run(CM_OPTIONS);
        QCOMPARE(s.List().count(), 2);
        QCOMPARE(s.Line(1), fresh.path);
        QCOMPARE(s.Window().SelectedLine(), 1);
        QVERIFY(s.Enabled(CM_ADD));
        QCOMPARE(s.Config(), ConfigText({s.records[0], fresh}));
        QVERIFY(Reported(fresh, "after.txt"));
        QVERIFY(ReadFile(fresh.log).find("before.txt") == std::string::npos);
        QVERIFY(Reported(s.records[0], "still-watched.txt"));
    }

    void addIsDisabledAtNineDirectories() {
        Session s(8);
        s.Start();
        QVERIFY(s.Enabled(CM_ADD));
        s.Run(CM_ADD);
        AnswerDirectoryDialog(s.space.MakeDir("ninth"));
        s.Run(CM_OPTIONS);
        QCOMPARE(s.Window().Watch.Dirs.Count(), 9u);
        QVERIFY(!s.Enabled(CM_ADD));
        s.Run(CM_ADD);
        QCOMPARE(s.List().count(), 9);
    }

    void deleteAsksFirstAndThenSelectsTheFirstLine() {
        Session s(3);
        s.Start();
        const std::string before = s.Config();
        s.ClickLine(1);

        Prompts::SetNextAnswer(QMessageBox::No);
        s.Run(CM_DELETE);
        QCOMPARE(Prompts::LastShown()->text,
                 "Are you sure to remove record from directories list?");
        QCOMPARE(Prompts::LastShown()->caption, "Confirm");
        QCOMPARE(Prompts::LastShown()->icon, QMessageBox::Critical);
        QCOMPARE(Prompts::LastShown()->buttons, QMessageBox::Yes | QMessageBox::No);
        QCOMPARE(s.List().count(), 3);
        QCOMPARE(s.Config(), before);

        Prompts::SetNextAnswer(QMessageBox::Yes);
        s.Run(CM_DELETE);
        QCOMPARE(s.List().count(), 2);
        QCOMPARE(s.Line(1), s.records[2].path);
        QCOMPARE(s.Window().SelectedLine(), 0);
        QCOMPARE(s.Window().Path, s.records[0].path);
        QCOMPARE(s.Config(), ConfigText({s.records[0], s.records[2]}));
        QVERIFY(Reported(s.records[2], "after-delete.txt"));
    }

    void deletingTheOnlyLineOrThePendingOneLeavesTheFileAlone() {
        Session s(1);
        s.Start();
        s.Run(CM_ADD);
        s.ForgetConfig();
        Prompts::SetNextAnswer(QMessageBox::Yes);
        s.Run(CM_DELETE);
        QVERIFY(!s.ConfigWritten());
        QCOMPARE(s.List().count(), 1);
        QVERIFY(s.Enabled(CM_ADD));

        s.ClickLine(0);
        Prompts::SetNextAnswer(QMessageBox::Yes);
        s.Run(CM_DELETE);
        QCOMPARE(s.List().count(), 0);
        QCOMPARE(s.Window().SelectedLine(), -1);
        QCOMPARE(s.Window().Path, "");
        QCOMPARE(s.Window().Mask, "");
        QCOMPARE(s.Window().Kind, '*');
        QCOMPARE(s.Config(), ConfigText({}));
        for (int id : {CM_VIEW, CM_DELETE, CM_OPTIONS, CM_LOGFILE, CM_WAVFILE})
            QVERIFY(!s.Enabled(id));
    }

    void optionsOkRewritesTheRecordAndRetakesItsBaseline() {
        Session s(1);
        Record& record = s.records[0];
        record.mask = "*.txt";
        s.Start();
        s.ForgetConfig();
        AnswerDirectoryDialog({});
        s.Run(CM_OPTIONS);
        QCOMPARE(s.Config(), ConfigText(s.records)); // saved although nothing changed

        WriteFile(record.path + "/early.log", "not matched by the mask yet");
        AnswerDirectoryDialog({}, {}, "*.*");
        s.Run(CM_OPTIONS);
        record.mask = "*.*";
        QCOMPARE(s.Config(), ConfigText(s.records));
        QCOMPARE(s.Line(0), record.path);
        QVERIFY(Reported(record, "late.log"));
        QVERIFY(ReadFile(record.log).find("early.log") == std::string::npos);
    }

    void optionsCancelledAfterARefusedOkRestoresTheFields() {
        Session s(2);
        s.Start();
        s.ForgetConfig();
        AnswerDirectoryDialog("/no/such/dir", "changed");
        s.Run(CM_OPTIONS);
        QCOMPARE(Prompts::LastShown()->text, "Bad path setting!");
        QCOMPARE(s.Window().Path, s.records[0].path);
        QCOMPARE(s.Window().Alias, s.records[0].alias);
        QCOMPARE(s.Line(0), s.records[0].path);
        QVERIFY(!s.ConfigWritten());
    }

    void fileCommandsStoreOnlyAUsableFile() {
        Session s(1);
        Record& record = s.records[0];
        record.wav = std::string(300, 'w'); // longer than the dialog's field
        s.Start();
        const QString cwd = QDir::currentPath();
        s.ForgetConfig();
        const auto choose = [&](int command, const std::string& file) {
            Prompts::SetNextAnswer(QMessageBox::Ok);
            Prompts::SetNextFileName(QString::fromStdString(file));
            s.Run(command);
            return *Prompts::LastFileRequest();
        };
        const Prompts::FileRequest log = choose(CM_LOGFILE, "");
        QCOMPARE(log.title, "Get LOG - file");
        QCOMPARE(log.filters, QStringList({"log files (*.log)", "all files (*.*)"}));
        QCOMPARE(log.defaultSuffix, "log");
        QCOMPARE(log.initialFile.toStdString(), record.log);
        QVERIFY(!log.mustExist);
        const Prompts::FileRequest wav = choose(CM_WAVFILE, "");
        QCOMPARE(wav.title, "Browse WAV - file");
        QCOMPARE(wav.filters, QStringList({"wav files (*.wav)"}));
        QCOMPARE(wav.defaultSuffix, "");
        QCOMPARE(wav.initialFile, QString(259, 'w'));
        QVERIFY(wav.mustExist);

        WriteFile(s.space / "read-only.log");
        std::filesystem::permissions(s.space / "read-only.log", std::filesystem::perms::owner_read);
        const std::pair<int, std::string> refused[] = {{CM_LOGFILE, s.space / "no-folder/x.log"},
                                                       {CM_LOGFILE, s.space / "read-only.log"},
                                                       {CM_LOGFILE, s.space / "say\"hi\".log"},
                                                       {CM_WAVFILE, s.space / "missing.wav"}};
        for (const auto& [command, file] : refused) {
            const int shown = Prompts::ShownCount();
            choose(command, file);
            QCOMPARE(Prompts::ShownCount(), shown + 1);
            QCOMPARE(Prompts::LastShown()->caption, "Error");
        }
        QCOMPARE(s.Window().Log, record.log);
        QVERIFY(!s.ConfigWritten());

        record.log = s.space.MakeDir("logs") + "/new.log";
        record.wav = s.space / "system-sound.wav"; // read-only, as installed sounds are
        WriteFile(record.wav, "RIFF");
        std::filesystem::permissions(record.wav, std::filesystem::perms::owner_read);
        choose(CM_LOGFILE, record.log);
        choose(CM_WAVFILE, record.wav);
        QCOMPARE(s.Config(), ConfigText(s.records));
        QVERIFY(Reported(record, "into-new-log.txt"));
        QCOMPARE(QDir::currentPath(), cwd);
    }

    void viewAndDoubleClickOpenTheLogInTheViewer() {
        const StandInViewer viewer;
        viewer.InstallEditor("gedit");
        Session s(2);
        s.records[0].log = s.space / "my logs/peer; $(touch pwned) 'x'.log";
        s.records[1].log = "";
        s.Start();

        QVERIFY(s.Enabled(CM_VIEW));
        s.Run(CM_VIEW);
        QCOMPARE(viewer.Arguments().mid(1), QStringList{QString::fromStdString(s.records[0].log)});
        std::filesystem::remove(viewer.Out());
        s.ClickLine(0, true);
        QVERIFY(viewer.Started());
        QVERIFY(!std::filesystem::exists(s.space / "pwned"));

        std::filesystem::remove(viewer.Out());
        Prompts::SetNextAnswer(QMessageBox::Ok);
        s.ClickLine(1, true);
        QVERIFY(!s.Enabled(CM_VIEW));
        QCOMPARE(Prompts::LastShown()->text, "This directory have not LOG-file!");
        QCOMPARE(Prompts::LastShown()->caption, "Information");
        QCOMPARE(Prompts::LastShown()->icon, QMessageBox::Information);
        QVERIFY(!viewer.Started());

        std::filesystem::remove(viewer / "bin/gedit");
        s.ClickLine(0);
        Prompts::SetNextAnswer(QMessageBox::Ok);
        s.Run(CM_VIEW);
        QCOMPARE(Prompts::LastShown()->text, "Can not use external viewer!");
        QCOMPARE(Prompts::LastShown()->caption, "Error");
        QCOMPARE(Prompts::LastShown()->icon, QMessageBox::NoIcon);
    }
};

QTEST_MAIN(DirWindowCommandsTest)
#include "DirWindowCommandsTest.moc"
