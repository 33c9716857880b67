#include "platform/DirWatch.h"
#include "tests/watch/WatchFixture.h"

#include <gmock/gmock.h>

#include <cerrno>
#include <cstring>
#include <functional>
#include <future>

using testing::ElementsAre;
using testing::Pair;
using testsupport::WriteFile;
namespace fs = std::filesystem;

namespace {

// Drives the loop one step at a time on the test's own thread.
class WatchLoop : public watchtest::WatchFixture {
protected:
    void Open() { dirWatch_ = std::make_unique<platform::DirWatch>(watch_->Dirs.Watched()); }
    platform::WaitResult Step() { return watch_->Step(*dirWatch_); }
    std::size_t Passes() { return Step().ready.size(); }

    std::unique_ptr<platform::DirWatch> dirWatch_;
};

} // namespace

// One pass per directory for each change; a sound only for a pass that reported a name, once
// per pass, never without a Wav, and a list that Kind suppresses reports nothing.
TEST_F(WatchLoop, ReportsCreationsRenamesAndDeletionsWithOneSoundPerPassThatReportedAName) {
    const std::vector<std::string> aliases{"both", "in", "out", "mute"};
    AddDir("both", '*', "both.wav");
    AddDir("in", '+', "in.wav");
    AddDir("out", '-', "out.wav");
    AddDir("mute", '*', "");
    Open();
    const struct {
        std::function<void(const std::string& dir)> change;
        std::vector<std::string> played;
    } steps[] = {
        {[](const std::string& dir) { WriteFile(dir + "/a"), WriteFile(dir + "/x"); },
         {"both.wav", "in.wav"}},
        {[](const std::string& dir) { fs::rename(dir + "/a", dir + "/b"); },
         {"both.wav", "in.wav", "out.wav"}},
        {[](const std::string& dir) { fs::remove(dir + "/b"), fs::remove(dir + "/x"); },
         {"both.wav", "out.wav"}},
    };
    std::vector<std::string> played;
    for (const auto& step : steps) {
        for (const std::string& alias : aliases)
            step.change(root_ / alias);
        EXPECT_EQ(Passes(), aliases.size());
        played.insert(played.end(), step.played.begin(), step.played.end());
        EXPECT_EQ(Played(), played);
    }
    EXPECT_THAT(EventsOf("both"),
                testing::UnorderedElementsAre("[+] both\\a", "[+] both\\x", "[+] both\\b",
                                              "[-] both\\a", "[-] both\\b", "[-] both\\x"));
}

// The first pass of a watch lists each directory, under its mask.
TEST_F(WatchLoop, EveryDirectorySignalledTogetherIsServedBeforeTheNextWaitOrTheStop) {
    const std::string first = AddDir("first", '*', "", "a*");
    const std::string second = AddDir("second");
    Open();
    WriteFile(second + "/b");
    WriteFile(first + "/a");
    WriteFile(first + "/z");
    EXPECT_EQ(Passes(), 2u);
    EXPECT_THAT(Sunk(), ElementsAre("[+] first\\a", "[+] second\\b"));

    WriteFile(second + "/c");
    dirWatch_->RequestStop();
    const platform::WaitResult last = Step();
    EXPECT_THAT(last.ready, ElementsAre(1u));
    EXPECT_EQ(last.status, platform::WaitResult::Status::Stopped);
    EXPECT_THAT(EventsOf("second"), ElementsAre("[+] second\\b", "[+] second\\c"));
}

// Lines a log can't take wait; each directory logging there is told why and how many, also by
// Start. Once the log is back they go in at the next try, due after the period without a pass.
TEST_F(WatchLoop, LinesWaitingForALogGoInAtTheNextTryWithoutAPass) {
    Keep({.maxLines = 1, .retryEvery = std::chrono::seconds(2)});
    const std::string log = root_ / "gone/shared.log";
    for (const char* alias : {"a", "b"}) {
        fs::create_directory(root_ / alias);
        watch_->Dirs.Add(MyDir({root_ / alias, alias, '*', "*.*", 0, log, ""}));
    }
    Open();
    WriteFile(root_ / "a/old");
    EXPECT_EQ(Passes(), 1u);
    WriteFile(root_ / "b/new"); // a\old goes: one line waits at most
    EXPECT_EQ(Passes(), 1u);
    ASSERT_TRUE(watch_->Start());
    EXPECT_EQ(Told().size(), 4u) << "Start did not tell";
    watch_->Stop();
    fs::create_directory(root_ / "gone");
    // A wait that never ended for the try would hold up the test: a stop ends it.
    const std::future<void> watchdog = std::async(std::launch::async, [&] {
        if (!testsupport::WaitUntil([&] { return !Recovered().empty(); }))
            dirWatch_->RequestStop();
    });
    EXPECT_EQ(Step().status, platform::WaitResult::Status::TimedOut);
    EXPECT_THAT(Sunk(), ElementsAre("[+] b\\new"));
    EXPECT_THAT(Recovered(), ElementsAre(log + ": 1 late, 1 lost"));
    const DirState failing{DirState::Watch::Watched, "", std::strerror(ENOENT), 1};
    EXPECT_THAT(Told(), ElementsAre(Pair(0, failing), Pair(1, failing), Pair(0, failing),
                                    Pair(1, failing), Pair(0, DirState{}), Pair(1, DirState{})));
}
