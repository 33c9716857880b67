#include "platform/StopEvent.h"
#include "tests/watch/WatchFixture.h"

#include <gmock/gmock.h>

using testing::ElementsAre;
using testsupport::WriteFile;
namespace fs = std::filesystem;

namespace {

// Drives the loop one step at a time on the test's own thread.
class WatchLoop : public watchtest::WatchFixture {
protected:
    void Open() { table_ = watch_->OpenWatches(); }
    MyWatchThread::StepResult Step() { return watch_->Step(table_, stop_); }

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

TEST_F(WatchLoop, ADeletedDirectoryReportsItsNamesGoneAndIsWatchedAgainWhenItReturns) {
    const std::string doomed = AddDir("doomed", {"x"});
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
