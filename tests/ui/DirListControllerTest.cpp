// The list commands run on the controller against the real watch and a real peer.cfg in a
// temporary working directory, with the user's answers given in advance.
#include "ui/DirListController.h"
#include "tests/support/RecordingSoundPlayer.h"
#include "tests/ui/Workspace.h"
#include "ui/CommandTable.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <set>
#include <sstream>
#include <utility>

using testsupport::ReadFile;
using testsupport::WriteFile;
using Lines = std::vector<std::string>;

namespace {

// Answers every question as told beforehand and keeps what was shown.
struct ScriptedPrompts : UserPrompts {
    bool Confirm(const std::string& text) override { return Shown("Confirm", text), yes; }
    void ShowError(const std::string& text, ErrorIcon) override { Shown("Error", text); }
    void ShowInformation(const std::string& text) override { Shown("Information", text); }
    void ShowWarning(const std::string& text) override { Shown("Warning", text); }
    // Returns the next file even where the request refuses it, as a dialog that can't refuse
    // inside would; keeps what the request said of it.
    std::optional<std::string> ChooseFile(const FileRequest& request) override {
        if (nextFile)
            offeredRefusal = request.refusal(*nextFile);
        return std::exchange(nextFile, std::nullopt);
    }
    bool EditDirectory(DirSettings& settings) override {
        settings.Path = nextPath;
        settings.Alias = "Fresh";
        return ok;
    }
    bool ViewLog(const std::string&) override { return true; }
    void Shown(const std::string& caption, const std::string& text) {
        shown.push_back(caption + ": " + text);
    }

    std::vector<std::string> shown;
    std::optional<std::string> nextFile; // nothing: the file dialog is cancelled
    std::string offeredRefusal;          // the request's refusal of the last file chosen
    std::string nextPath;                // typed into the Directory dialog, then OK
    bool ok = true;                      // false: that OK is refused, then Cancel
    bool yes = true;                     // the answer to every Confirm
};

// The tray icon's tip and notifications, the timer and the preferences of a view, on a clock
// of its own.
struct FakeDesktop : DesktopShell, Preferences {
    using Time = std::chrono::steady_clock::time_point;
    void ShowTrayTip(const std::string& text) override { tip = text; }
    void Notify(const std::string&, const std::string& text, Notice) override {
        notices.push_back(text);
    }
    void StartTimer(std::chrono::milliseconds delay) override { timerAt = now + delay; }
    Time Now() const override { return now; }
    bool NotifyOnArrival() const override { return notify; }
    void SetNotifyOnArrival(bool on) override { notify = on; }

    std::string tip;
    std::vector<std::string> notices;
    Time now{};
    std::optional<Time> timerAt;
    bool notify = false;
};

// Creates files name.1, name.2, ... in the record's directory until its log reports one: a run
// that has just started reports only what happens after it has set up its notifications.
bool Reported(const DirSettings& record, const std::string& name) {
    int created = 0;
    return testsupport::WaitUntil([&] {
        if (ReadFile(record.Log).find(name) != std::string::npos)
            return true;
        WriteFile(record.Path + "/" + name + "." + std::to_string(++created), "x");
        return false;
    });
}

struct ListFixture : ::testing::Test {
    uitest::Workspace space;
    ScriptedPrompts prompts;
    FakeDesktop desktop;
    std::ostringstream echo;
    std::unique_ptr<DirListController> list;

    // peer.cfg holds the records, then moreLines.
    void Start(const std::vector<DirSettings>& records, const std::string& moreLines = {}) {
        WriteFile(space / "peer.cfg", space.ConfigText(records) + moreLines);
        list = std::make_unique<DirListController>(
            prompts, echo, std::make_unique<testsupport::RecordingSoundPlayer>());
        list->SetDesktop(&desktop, &desktop);
        list->Create();
    }
};

} // namespace

TEST_F(ListFixture, CommandsAreEnabledByTheirRules) {
    const struct {
        const char* name;
        int records;
        bool pending;
        bool emptyLog;
        std::set<int> disabled;
    } cases[] = {
        {"empty list", 0, false, false, {CM_VIEW, CM_DELETE, CM_OPTIONS, CM_LOGFILE, CM_WAVFILE}},
        {"eight records", 8, false, false, {}},
        {"nine records", 9, false, false, {CM_ADD}},
        {"eight and a pending one", 8, true, false, {CM_ADD, CM_VIEW}},
        {"record without log", 1, false, true, {CM_VIEW}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto records = space.MakeRecords(c.records);
        if (c.emptyLog)
            records[0].Log.clear();
        Start(records);
        if (c.pending)
            list->Command(CM_ADD);
        std::set<int> disabled;
        for (const CommandInfo& command : Commands)
            if (!list->CommandEnabled(command.id))
                disabled.insert(command.id);
        EXPECT_EQ(disabled, c.disabled);
    }
}

TEST_F(ListFixture, ThePendingRecordLivesUntilOptionsGivesItAPath) {
    const std::vector<DirSettings> records = space.MakeRecords(2);
    Start(records);
    std::filesystem::remove(space / "peer.cfg");

    list->Command(CM_ADD);
    EXPECT_EQ(list->Lines(), (Lines{records[0].Path, records[1].Path, ""}));
    prompts.nextFile = space / "fresh.log";
    list->Command(CM_LOGFILE);
    WriteFile(space / "ding.wav", "RIFF");
    prompts.nextFile = space / "ding.wav";
    list->Command(CM_WAVFILE);
    list->Command(CM_OPTIONS); // no path yet: still pending
    EXPECT_EQ(list->Lines(), (Lines{records[0].Path, records[1].Path, ""}));
    EXPECT_FALSE(std::filesystem::exists(space / "peer.cfg"));
    list->Select(1);
    list->Command(CM_DELETE); // a listed record: the pending one stays, last
    EXPECT_EQ(ReadFile(space / "peer.cfg"), space.ConfigText({records[0]}));
    list->Select(1);
    EXPECT_EQ(list->Current().Alias, "Fresh");

    const DirSettings fresh{space.MakeDir("fresh"), "Fresh",           '*', "*.*", 0,
                            space / "fresh.log",    space / "ding.wav"};
    prompts.nextPath = fresh.Path;
    list->Command(CM_OPTIONS);
    EXPECT_EQ(list->Lines(), (Lines{records[0].Path, fresh.Path}));
    EXPECT_EQ(ReadFile(space / "peer.cfg"), space.ConfigText({records[0], fresh}));
    EXPECT_TRUE(Reported(fresh, "after.txt"));
    EXPECT_TRUE(Reported(records[0], "still-watched.txt"));
    EXPECT_EQ(prompts.shown.size(), 1u); // the question of the Delete, no error
}

// The file dialog is asked to refuse the file; one that comes back anyway is refused here. Like
// a refused file, a cancelled Directory dialog and a No change nothing.
TEST_F(ListFixture, RefusalsCancelsAndNoesChangeNothing) {
    const std::vector<DirSettings> records = space.MakeRecords(3);
    Start(records);
    prompts.ok = false;
    prompts.nextPath = space / "refused";
    list->Command(CM_OPTIONS);
    WriteFile(space / "read-only.log", "");
    std::filesystem::permissions(space / "read-only.log", std::filesystem::perms::owner_read);
    const struct {
        int command;
        std::string file;
        std::string reason;
    } cases[] = {
        {CM_LOGFILE, space / "no/such.log", "The folder of this file does not exist:\n"},
        {CM_LOGFILE, space / "read-only.log", "This file is read-only:\n"},
        {CM_LOGFILE, space / "a\"b.log", "A file name can't contain a double quote (\")."},
        {CM_WAVFILE, space / "missing.wav", "This file does not exist:\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        prompts.shown.clear();
        prompts.nextFile = c.file;
        list->Command(c.command);
        EXPECT_EQ(prompts.offeredRefusal.rfind(c.reason, 0), 0u) << prompts.offeredRefusal;
        EXPECT_EQ(prompts.shown, Lines{"Error: " + prompts.offeredRefusal});
        EXPECT_EQ(list->Current(), records[0]);
    }
    prompts.yes = false;
    list->Command(CM_DELETE);
    EXPECT_FALSE(list->QueryClose());
    prompts.yes = true;
    list->Command(CM_DELETE);
    EXPECT_EQ(ReadFile(space / "peer.cfg"), space.ConfigText({records[1], records[2]}));
    prompts.shown.clear(); // a Yes is asked for once
    EXPECT_TRUE(list->QueryClose() && list->QueryClose());
    EXPECT_EQ(prompts.shown.size(), 1u);
}

// A folder in the place of peer.cfg fails every save.
TEST_F(ListFixture, AFailedSaveIsReportedAndTheChangeHoldsInMemory) {
    std::filesystem::create_directory(space / "peer.cfg");
    Start({});
    const DirSettings added{space.MakeDir("added"), "Fresh", '*', "*.*", 0, space / "a.log", ""};
    list->Command(CM_ADD);
    prompts.nextPath = added.Path;
    list->Command(CM_OPTIONS);
    prompts.nextFile = added.Log;
    list->Command(CM_LOGFILE);
    EXPECT_EQ(list->Lines(), Lines{added.Path});
    ASSERT_EQ(prompts.shown.size(), 2u);
    for (const std::string& part : Lines{"Error: ", space / "peer.cfg", strerror(EISDIR)})
        EXPECT_NE(prompts.shown[0].find(part), std::string::npos) << prompts.shown[0];
    EXPECT_TRUE(Reported(added, "watched.txt"));
}

// What the watch tells of a directory, as its user meets it: its line's mark and tool tip, the
// tray icon's tip, a notification when it goes from well to failing, the close question.
TEST_F(ListFixture, EachDirectorysStateShowsOnItsLineInTheTrayTipAndOnceAsANotification) {
    const std::vector<DirSettings> records = space.MakeRecords(3);
    Start(records);
    using Watch = DirState::Watch;
    const std::string waiting = ", which can't be written.";
    const struct {
        const char* name;
        DirState state; // of d1
        std::string problem;
        std::string trayTip;
        bool notifies;
        std::string closeAdds;
    } cases[] = {
        {"not watched",
         {Watch::NotWatched, "No space", {}, 0},
         "d1 is not watched: No space",
         "Peerwell: 1 of 3 directories not watched",
         true,
         ""},
        {"told again",
         {Watch::NotWatched, "No space", {}, 0},
         "d1 is not watched: No space",
         "Peerwell: 1 of 3 directories not watched",
         false,
         ""},
        {"well", {}, "", "Peerwell", false, ""},
        {"not answering",
         {Watch::NotAnswering, "Timed out", {}, 0},
         "d1 does not answer: Timed out",
         "Peerwell: 1 of 3 directories not answering",
         true,
         ""},
        {"its log failing",
         {Watch::Watched, {}, "Disk full", 12},
         "The log of d1 can't be written: Disk full",
         "Peerwell: 1 log can't be written",
         false,
         "\n\n12 lines wait for " + records[1].Log + waiting},
        {"both",
         {Watch::NotWatched, "Gone", "Disk full", 1},
         "d1 is not watched: Gone\nThe log of d1 can't be written: Disk full",
         "Peerwell: 1 of 3 directories need attention",
         false,
         "\n\n1 line waits for " + records[1].Log + waiting},
    };
    prompts.yes = false;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        desktop.notices.clear();
        prompts.shown.clear();
        list->StateChanged(1, c.state);
        list->ApplyWatchEvents();
        EXPECT_EQ(list->LineMarked(1), !c.problem.empty());
        EXPECT_EQ(list->LineToolTip(1),
                  records[1].Path + (c.problem.empty() ? "" : "\n") + c.problem);
        EXPECT_EQ(desktop.tip, c.trayTip);
        EXPECT_EQ(desktop.notices, c.notifies ? Lines{c.problem} : Lines{});
        EXPECT_FALSE(list->QueryClose());
        EXPECT_EQ(
            prompts.shown,
            Lines{"Confirm: Do you really want to terminate Peerwell program?" + c.closeAdds});
    }
    EXPECT_FALSE(list->LineMarked(0) || list->LineMarked(2));
}

// With "Notify on arrival" ticked, a pass that reported names is told at once, unless its
// directory was told less than 5 s ago: then it waits, merged, for the view's timer.
TEST_F(ListFixture, ArrivalsAreNotifiedWhenAskedAtMostOncePerDirectoryIn5s) {
    using namespace std::chrono_literals;
    Start(space.MakeRecords(2));
    const auto start = desktop.now;
    list->Reported(0, {"early.txt"}, {});
    list->ApplyWatchEvents();
    EXPECT_FALSE(list->CommandChecked(CM_NOTIFY));
    list->Command(CM_NOTIFY);
    EXPECT_TRUE(list->CommandChecked(CM_NOTIFY) && desktop.notify);
    const struct {
        std::chrono::seconds at;
        int slot; // -1: the timer runs out
        Lines added, removed, shown;
    } steps[] = {
        {0s, 0, {"report.txt"}, {}, {"report.txt arrived in d0"}},
        {1s, 0, {"a", "b"}, {}, {}},
        {2s, 0, {"c"}, {"x", "y"}, {}},
        {2s, 1, {}, {"old.txt"}, {"old.txt left d1"}},
        {5s, -1, {}, {}, {"3 files arrived in d0, 2 left"}},
        {9s, 0, {}, {"p", "q"}, {}},
        {10s, -1, {}, {}, {"2 left d0"}},
        {16s, 0, {"n"}, {"m"}, {"n arrived in d0, m left"}},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.at.count());
        desktop.notices.clear();
        desktop.now = start + step.at;
        if (step.slot < 0) {
            EXPECT_EQ(desktop.timerAt, desktop.now);
            list->TimerElapsed();
        } else {
            list->Reported(static_cast<std::size_t>(step.slot), step.added, step.removed);
            list->ApplyWatchEvents();
        }
        EXPECT_EQ(desktop.notices, step.shown);
    }
    list->Command(CM_NOTIFY);
    desktop.now += 60s;
    list->Reported(0, {"late.txt"}, {});
    list->ApplyWatchEvents();
    EXPECT_EQ(desktop.notices, Lines{"n arrived in d0, m left"});
    EXPECT_FALSE(desktop.notify);
}

// A path with a name longer than any file system takes can't be watched, here and on Windows.
// The watch's news wait for the view's thread; those of a run that a change of the list stopped
// are dropped, and its new run tells the failure again without a second notification.
TEST_F(ListFixture, TheWatchsNewsWaitForTheViewAndARestartForgetsTheStoppedRun) {
    std::vector<DirSettings> records = space.MakeRecords(2);
    records[1].Path = space / std::string(300, 'x');
    Start(records);
    std::atomic<int> wakes = 0;
    list->SetWatchWake([&] { ++wakes; });
    EXPECT_EQ(wakes, 1); // the start told of d1
    list->ApplyWatchEvents();
    EXPECT_TRUE(list->LineMarked(1) && !list->LineMarked(0));
    EXPECT_EQ(desktop.tip, "Peerwell: 1 of 2 directories not watched");
    EXPECT_EQ(desktop.notices.size(), 1u);

    list->Command(CM_NOTIFY);
    testsupport::WriteFile(records[0].Path + "/arrived.txt");
    EXPECT_TRUE(testsupport::WaitUntil([&] { return wakes == 2; }));
    list->ApplyWatchEvents();
    EXPECT_EQ(desktop.notices.back(), "arrived.txt arrived in d0");

    desktop.notices.clear();
    list->StateChanged(0, {DirState::Watch::NotWatched, "of the stopped run", {}, 0});
    prompts.nextFile = space / "other.log";
    list->Command(CM_LOGFILE); // on d0: the watch restarts
    list->ApplyWatchEvents();
    EXPECT_TRUE(list->LineMarked(1) && !list->LineMarked(0));
    EXPECT_EQ(desktop.notices, Lines{});
}

// A line the reader skipped is named once, when the view asks. Before the first save the file is
// kept as it was as peer.cfg.bak; a copy that fails stops that save, and a saved list is not
// copied again.
TEST_F(ListFixture, SkippedLinesAreNamedOnceAndTheFileIsKeptBeforeTheFirstSaveOnly) {
    const std::vector<DirSettings> records = space.MakeRecords(3);
    const std::string sixFields = "\"/six\" \"\" \"*\" \"*.*\" \"0\" \"\"";
    const std::string original = space.ConfigText(records) + sixFields + "\r\n";
    const std::string backup = space / "peer.cfg.bak";
    std::filesystem::create_directory(backup);
    Start(records, sixFields + "\r\n");
    EXPECT_TRUE(prompts.shown.empty());
    list->WarnOfSkippedLines();
    list->WarnOfSkippedLines();
    ASSERT_EQ(prompts.shown.size(), 1u);
    for (const std::string& part :
         Lines{"Warning: ", space / "peer.cfg",
               "line 7 (six quoted fields, seven needed): " + sixFields, "peer.cfg.bak"})
        EXPECT_NE(prompts.shown[0].find(part), std::string::npos) << prompts.shown[0];

    list->Command(CM_DELETE);
    EXPECT_EQ(ReadFile(space / "peer.cfg"), original);
    ASSERT_EQ(prompts.shown.size(), 3u);
    for (const std::string& part : Lines{"Error: ", backup, strerror(EISDIR)})
        EXPECT_NE(prompts.shown[2].find(part), std::string::npos) << prompts.shown[2];
    std::filesystem::remove(backup);
    list->Command(CM_DELETE);
    EXPECT_EQ(ReadFile(space / "peer.cfg"), space.ConfigText({records[2]}));
    list->Command(CM_DELETE);
    EXPECT_EQ(ReadFile(space / "peer.cfg"), space.ConfigText({}));
    EXPECT_EQ(ReadFile(backup), original);
}
