#include "platform/StopEvent.h"
#include "tests/watch/WatchFixture.h"

#include <gmock/gmock.h>

using testing::ElementsAre;
using testing::IsEmpty;
using testing::UnorderedElementsAre;
using testsupport::WriteFile;
namespace fs = std::filesystem;

namespace {

// Drives the loop one step at a time on the test's own thread.
class WatchLoop : public watchtest::WatchFixture {
protected:
    void Open() { table_ = watch_->OpenWatches(); }
    MyWatchThread::StepResult Step() { return watch_->Step(table_, stop_); }
    // A step that a stop ends, to show that nothing else was signalled.
    MyWatchThread::StepResult StepUntilStop() {
        platform::StopEvent stop;
        stop.Signal();
        return watch_->Step(table_, stop);
    }

    MyWatchThread::WatchTable table_;
    platform::StopEvent stop_;
};

} // namespace

TEST_F(WatchLoop, ReportsCreationsDeletionsAndRenamesOnePassEach) {
    const std::string dir = AddDir("in");
    Open();
    WriteFile(dir + "/a");
    EXPECT_EQ(Step().passes, 1u);
    fs::rename(dir + "/a", dir + "/b");
    EXPECT_EQ(Step().passes, 1u);
    fs::remove(dir + "/b");
    EXPECT_EQ(Step().passes, 1u);

    const std::vector<std::string> expected{"[+] in\\a", "[+] in\\b", "[-] in\\a", "[-] in\\b"};
    EXPECT_EQ(EventsOf("in"), expected);
    EXPECT_EQ(Sunk(), expected);
}

TEST_F(WatchLoop, ARenameThatChangesOnlyTheCaseIsOnePassReportingBothNames) {
    const std::string dir = AddDir("in", {.files = {"b"}});
    Open();
    fs::rename(dir + "/b", dir + "/B");
    if (!testsupport::HasEntryNamed(dir, "B"))
        GTEST_SKIP() << "this file system does not rename by case alone (Wine's)";
    EXPECT_EQ(Step().passes, 1u);
    EXPECT_THAT(EventsOf("in"), ElementsAre("[+] in\\B", "[-] in\\b"));
}

TEST_F(WatchLoop, FilesArrivingTogetherAreEachReportedOnce) {
    const std::string dir = AddDir("in");
    Open();
    WriteFile(dir + "/1");
    WriteFile(dir + "/2");
    WriteFile(dir + "/3");
    Step();
    WriteFile(dir + "/4");
    WriteFile(dir + "/5");
    Step();
    EXPECT_THAT(EventsOf("in"), UnorderedElementsAre("[+] in\\1", "[+] in\\2", "[+] in\\3",
                                                     "[+] in\\4", "[+] in\\5"));
}

TEST_F(WatchLoop, WritingToAFileOrMakingASubdirectoryCausesNoPass) {
    const std::string dir = AddDir("in", {.attrib = 0x10, .files = {"existing"}});
    Open();
    WriteFile(dir + "/existing", "new");
    fs::create_directory(dir + "/sub");
    EXPECT_EQ(StepUntilStop().passes, 0u);
    EXPECT_FALSE(fs::exists(Log("in")));

    // The subdirectory is found by the next pass that a file causes.
    WriteFile(dir + "/file");
    EXPECT_EQ(Step().passes, 1u);
    EXPECT_THAT(EventsOf("in"), UnorderedElementsAre("[+] in\\sub", "[+] in\\file"));
}

TEST_F(WatchLoop, ASubdirectoryIsNotReportedWithoutTheDirectoryFilter) {
    const std::string dir = AddDir("in");
    Open();
    fs::create_directory(dir + "/sub");
    WriteFile(dir + "/file");
    Step();
    EXPECT_THAT(EventsOf("in"), ElementsAre("[+] in\\file"));
}

TEST_F(WatchLoop, TheSoundPlaysOncePerPassThatReportedSomething) {
    const std::string inbound =
        AddDir("inbound", {.kind = '+', .wav = "/sounds/in.wav", .files = {"old"}});
    const std::string silent = AddDir("silent");
    Open();

    fs::remove(inbound + "/old");
    EXPECT_EQ(Step().passes, 1u);
    EXPECT_THAT(sound_->Played(), IsEmpty());
    EXPECT_THAT(EventsOf("inbound"), IsEmpty());
    EXPECT_TRUE(fs::exists(Log("inbound")));

    WriteFile(inbound + "/1");
    WriteFile(inbound + "/2");
    WriteFile(silent + "/3");
    EXPECT_EQ(Step().passes, 2u);
    EXPECT_THAT(sound_->Played(), ElementsAre("/sounds/in.wav"));
}

TEST_F(WatchLoop, EveryDirectorySignalledTogetherIsServedBeforeTheNextWaitOrTheStop) {
    const std::string first = AddDir("first");
    const std::string second = AddDir("second");
    Open();
    WriteFile(second + "/b");
    WriteFile(first + "/a");
    EXPECT_EQ(Step().passes, 2u);
    EXPECT_THAT(Sunk(), ElementsAre("[+] first\\a", "[+] second\\b"));

    WriteFile(second + "/c");
    stop_.Signal();
    const MyWatchThread::StepResult last = Step();
    EXPECT_EQ(last.passes, 1u);
    EXPECT_TRUE(last.stopped);
    EXPECT_THAT(EventsOf("second"), ElementsAre("[+] second\\b", "[+] second\\c"));
}

TEST_F(WatchLoop, ADirectoryThatCannotBeWatchedStaysOutAndTheOthersGoOn) {
    WriteFile(root_ / "plain");
    ASSERT_TRUE(watch_->Dirs.Add(MyDir(root_ / "plain", "plain", '*', "*.*", 0, Log("plain"), "")));
    const std::string good = AddDir("good");
    std::vector<std::pair<std::string, int>> errors;
    watch_->SetWatchErrorSink(
        [&](const std::string& path, int error) { errors.emplace_back(path, error); });
    Open();
    EXPECT_THAT(errors, ElementsAre(std::pair(root_ / "plain", ENOTDIR)));
    EXPECT_EQ(table_[0], nullptr);

    WriteFile(good + "/file");
    EXPECT_EQ(Step().passes, 1u);
    EXPECT_THAT(EventsOf("good"), ElementsAre("[+] good\\file"));
}

TEST_F(WatchLoop, ADeletedDirectoryReportsItsNamesGoneAndIsWatchedAgainWhenItReturns) {
    const std::string doomed = AddDir("doomed", {.files = {"x"}});
    const std::string other = AddDir("other");
    Open();

    fs::remove_all(doomed);
    EXPECT_EQ(Step().passes, 1u);
    EXPECT_THAT(EventsOf("doomed"), ElementsAre("[-] doomed\\x"));
    WriteFile(other + "/y");
    EXPECT_EQ(Step().passes, 1u);
    EXPECT_THAT(EventsOf("other"), ElementsAre("[+] other\\y"));

    fs::create_directory(doomed);
    WriteFile(doomed + "/z");
    Step();
    EXPECT_THAT(EventsOf("doomed"), ElementsAre("[-] doomed\\x", "[+] doomed\\z"));
}

TEST_F(WatchLoop, ADirectoryMissingAtTheStartIsReportedWhenItAppears) {
    const std::string later = AddDir("later", {.create = false});
    Open();
    fs::create_directory(later);
    WriteFile(later + "/early");
    Step();
    EXPECT_THAT(EventsOf("later"), ElementsAre("[+] later\\early"));
}
