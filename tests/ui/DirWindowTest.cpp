#include "UiTestSupport.h"
#include "tests/support/RecordingSoundPlayer.h"

#include <QListWidget>
#include <QtTest>
#include <filesystem>

using testsupport::ReadFile;
using testsupport::WriteFile;
using uitest::Record;
using uitest::Workspace;

namespace {

std::unique_ptr<DirWindow> MakeWindow(std::shared_ptr<TrayLog> tray = std::make_shared<TrayLog>()) {
    return std::make_unique<DirWindow>(std::make_unique<RecordingTrayShell>(std::move(tray)),
                                       std::make_unique<testsupport::RecordingSoundPlayer>());
}

// The window over a peer.cfg of these records, created as at start-up.
std::unique_ptr<DirWindow>
CreatedWindow(const Workspace& space, const std::vector<Record>& records,
              std::shared_ptr<TrayLog> tray = std::make_shared<TrayLog>()) {
    space.WriteConfig(records);
    auto window = MakeWindow(std::move(tray));
    window->Create();
    return window;
}

// The threads of this process, from the kernel's point of view.
int ThreadCount() {
    int count = 0;
    for ([[maybe_unused]] const auto& task : std::filesystem::directory_iterator("/proc/self/task"))
        ++count;
    return count;
}

std::vector<std::string> Fields(const DirWindow& w) {
    return {w.Path, w.Alias, std::string(1, w.Kind), w.Mask, std::to_string(w.Attrib),
            w.Log,  w.Wav};
}

std::vector<std::string> Fields(const Record& r) {
    return {r.path, r.alias, std::string(1, r.kind), r.mask, std::to_string(r.attrib),
            r.log,  r.wav};
}

} // namespace

class DirWindowTest : public QObject {
    Q_OBJECT

private slots:
    void theListShowsEachPathInFileOrderWithTheFirstLineLoaded() {
        Workspace space;
        const std::vector<Record> records{
            {space.MakeDir("zeta"), "Inbox", '+', "*.txt", 2, space / "zeta.log", "/x/ding.wav"},
            {space.MakeDir("alpha"), "", '-', "*", 0, "", ""},
            {space.MakeDir("mid"), "M", '*', "*.*", 0, space / "mid.log", ""}};
        auto tray = std::make_shared<TrayLog>();
        auto window = CreatedWindow(space, records, tray);

        QCOMPARE(window->LineCount(), 3);
        for (int i = 0; i < 3; ++i)
            QCOMPARE(window->List->item(i)->text().toStdString(), records[i].path);
        QCOMPARE(window->SelectedLine(), 0);
        QCOMPARE(Fields(*window), Fields(records[0]));

        QCOMPARE(tray->calls.size(), 1u);
        const TrayIconData& icon = tray->calls[0].data;
        QCOMPARE(icon.window, window.get());
        QCOMPARE(icon.id, 1u);
        QCOMPARE(icon.message, 1024u);
        QCOMPARE(icon.tip, QString("Peerwell"));
        QVERIFY(!icon.icon.isNull());
    }

    void aMissingOrEmptyConfigurationGivesAnEmptyListAndClearedFields() {
        for (bool writeEmpty : {false, true}) {
            Workspace space;
            if (writeEmpty)
                space.WriteConfig({});
            auto window = MakeWindow();
            window->Mask = "stale";
            window->Create();
            QCOMPARE(window->LineCount(), 0);
            QCOMPARE(window->SelectedLine(), -1);
            QCOMPARE(Fields(*window), (std::vector<std::string>{"", "", "*", "", "0", "", ""}));
        }
    }

    void theFieldsFollowTheUsersSelectionIncludingThePendingLine() {
        Workspace space;
        std::vector<Record> records = space.MakeRecords(3);
        records[2].path = records[1].path; // the same directory twice, as its own record
        records[2].kind = '-';
        auto window = CreatedWindow(space, records);

        window->List->setCurrentRow(2);
        QCOMPARE(Fields(*window), Fields(records[2]));
        window->List->setCurrentRow(1);
        QCOMPARE(Fields(*window), Fields(records[1]));
        QCOMPARE(window->List->item(1)->text(), window->List->item(2)->text());

        window->Pending = std::make_unique<MyDir>();
        window->Pending->Set("", "new", '+', "*.*", 0, "", "");
        window->AppendLine("");
        window->List->setCurrentRow(3);
        QVERIFY(window->IsPendingLine(3));
        QCOMPARE(Fields(*window), (std::vector<std::string>{"", "new", "+", "*.*", "0", "", ""}));

        window->List->clearSelection();
        QCOMPARE(window->SelectedLine(), -1);
        QCOMPARE(Fields(*window), (std::vector<std::string>{"", "", "*", "", "0", "", ""}));
    }

    void selectingFromTheProgramLeavesTheFieldsUntilLoadSelection() {
        Workspace space;
        const std::vector<Record> records = space.MakeRecords(2);
        auto window = CreatedWindow(space, records);

        window->SelectLine(1);
        QCOMPARE(window->SelectedLine(), 1);
        QCOMPARE(Fields(*window), Fields(records[0]));
        window->LoadSelection();
        QCOMPARE(Fields(*window), Fields(records[1]));

        window->SelectLine(5);
        QCOMPARE(window->SelectedLine(), -1);
        window->DeleteLine(0);
        window->InsertLine(0, "first");
        window->SelectLine(0);
        QCOMPARE(window->List->item(0)->text(), QString("first"));
        QCOMPARE(Fields(*window), Fields(records[1]));
    }

    void theWatchRunsFromConstructionUntilTheTeardownWhichWritesNothing() {
        Workspace space;
        const std::vector<Record> records = space.MakeRecords(2);
        space.WriteConfig(records);
        const std::string config = ReadFile(space / "peer.cfg");
        const int threadsBefore = ThreadCount();
        auto tray = std::make_shared<TrayLog>();

        auto window = MakeWindow(tray);
        QVERIFY(uitest::ArrivalLogged(records[1].path, records[1].log, "arrived"));
        QVERIFY(ThreadCount() > threadsBefore);

        window->Create();
        QVERIFY(tray->iconShown);
        window.reset();
        QCOMPARE(ThreadCount(), threadsBefore);
        QVERIFY(!tray->iconShown);
        QCOMPARE(ReadFile(space / "peer.cfg"), config);
    }

    void aChangeOfTheListSavesItAndWatchesTheNewList() {
        Workspace space;
        const std::vector<Record> records = space.MakeRecords(3);
        auto window = CreatedWindow(space, records);

        window->ChangeList([&] { window->Watch.Dirs.Remove(0); });
        QCOMPARE(window->LastSaveError, 0);
        const std::string saved = ReadFile(space / "peer.cfg");
        QVERIFY(saved.find(records[0].path + '"') == std::string::npos);
        QVERIFY(saved.find(records[2].path + '"') != std::string::npos);
        QVERIFY(uitest::ArrivalLogged(records[2].path, records[2].log, "after-change"));

        // A save that fails is seen by the developer and the watch still runs.
        std::filesystem::remove(space / "peer.cfg");
        std::filesystem::create_directory(space / "peer.cfg");
        window->ChangeList([&] { window->Watch.Dirs.Remove(0); });
        QVERIFY(window->LastSaveError != 0);
        QVERIFY(uitest::ArrivalLogged(records[2].path, records[2].log, "after-failed-save"));
    }
};

QTEST_MAIN(DirWindowTest)
#include "DirWindowTest.moc"
