#include "platform/DirWatch.h"
#include "tests/reliability/ChildProcess.h"
#include "tests/watch/WatchFixture.h"

#include <csignal>
#include <future>
#include <gmock/gmock.h>
#include <linux/magic.h>
#include <list>
#include <map>
#include <sys/vfs.h>
#include <unistd.h>

using platform::DescribeWatchError;
using testing::Pair;
using testsupport::WaitUntil;
using testsupport::WriteFile;
namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

// How many threads of this process wait for a FUSE daemon's answer.
int ThreadsWaitingForFuse() {
    int waiting = 0;
    for (const auto& task : fs::directory_iterator("/proc/self/task"))
        waiting += testsupport::ReadFile(task.path() / "wchan") == "request_wait_answer";
    return waiting;
}

// A watch whose record "share" is a FUSE mount standing in for a network share: bindfs shows
// the folder "server" at "share". What is done in the server folder happens behind the local
// kernel's back, as a file server's changes do; stopping the daemon makes the share stop
// answering, killing it makes every access fail.
class ShareWatch : public watchtest::WatchFixture {
protected:
    void SetUp() override {
        if (::access("/dev/fuse", R_OK | W_OK) != 0)
            GTEST_SKIP() << "no FUSE here (/dev/fuse is missing or not usable)";
        daemon_ = &Mount(root_ / "server", root_ / "share");
        WriteFile(Behind("old"));
        ASSERT_TRUE(
            watch_->Dirs.Add(MyDir({root_ / "share", "share", '*', "*.*", 0, Log("share"), ""})));
    }
    ~ShareWatch() override {
        for (reliability::ChildProcess& daemon : daemons_)
            daemon.Signal(SIGCONT);
        watch_->Stop();
        for (const char* mount :
             {"server/deep", "share", "share2"}) // the tests' mounts, inner first
            reliability::ChildProcess({"/bin/fusermount", "-uz", root_ / mount}, {}).Wait(10s);
    }

    // Shows the folder source at target through bindfs; returns its daemon. Its output goes to
    // files of its own, so that a test that crashes leaves no daemon holding the test's.
    reliability::ChildProcess& Mount(const std::string& source, const std::string& target) {
        fs::create_directories(source);
        fs::create_directories(target);
        reliability::ChildProcess& daemon = daemons_.emplace_back(
            std::vector<std::string>{"/usr/bin/bindfs", "-f", "--multithreaded", source, target},
            reliability::ChildProcess::Options{root_.str()});
        struct statfs mounted {};
        EXPECT_TRUE(WaitUntil([&] {
            return ::statfs(target.c_str(), &mounted) == 0 && mounted.f_type == FUSE_SUPER_MAGIC;
        })) << "bindfs did not mount "
            << target;
        return daemon;
    }
    std::string Behind(const std::string& name) const { return root_ / ("server/" + name); }
    std::string Through(const std::string& name) const { return root_ / ("share/" + name); }

    std::list<reliability::ChildProcess> daemons_;
    reliability::ChildProcess* daemon_ = nullptr; // the share's
};

} // namespace

TEST_F(ShareWatch, ChangesBehindTheShareAreLoggedOnceEachAndChangesThroughItAtOnce) {
    Start();
    // A change through the mount comes right after a listing has been logged, so it is logged
    // well before the next timed listing could run.
    const std::chrono::milliseconds byTimer = 10s, atOnce = 500ms;
    struct Step {
        std::function<void()> change;
        std::vector<std::string> events; // what the change adds to the log
        std::chrono::milliseconds deadline;
    } steps[] = {
        {[&] { WriteFile(Behind("new")); }, {"[+] share\\new"}, byTimer},
        {[&] { WriteFile(Through("near")); }, {"[+] share\\near"}, atOnce},
        {[&] { fs::rename(Behind("new"), Behind("moved")); },
         {"[+] share\\moved", "[-] share\\new"},
         byTimer},
        {[&] { fs::remove(Through("near")); }, {"[-] share\\near"}, atOnce},
        {[&] { fs::remove(Behind("old")); }, {"[-] share\\old"}, byTimer},
    };
    std::vector<std::string> expected;
    for (const Step& step : steps) {
        step.change();
        expected.insert(expected.end(), step.events.begin(), step.events.end());
        ASSERT_TRUE(WaitUntil([&] { return EventsOf("share") == expected; }, step.deadline))
            << "after " << expected.back() << " the log holds "
            << testing::PrintToString(EventsOf("share"));
    }
}

// Listings the watch takes on its own make passes that leave the log alone when they find
// nothing. A share whose listing hangs (its server stopped) or fails (its server gone) while it is
// still mounted makes no pass and is told not answering, and answering again once a listing
// returns.
TEST_F(ShareWatch, AShareThatStopsAnsweringIsToldSoUntilItAnswersAndWritesNothing) {
    reliability::ChildProcess& gone = Mount(root_ / "server2", root_ / "share2");
    WriteFile(root_ / "server2/old");
    ASSERT_TRUE(
        watch_->Dirs.Add(MyDir({root_ / "share2", "share2", '*', "*.*", 0, Log("share2"), ""})));
    platform::DirWatch dirWatch(watch_->Dirs.Watched(), 2s);
    std::atomic<bool> done{false};
    const std::future<void> stopper = std::async(std::launch::async, [&] {
        WaitUntil([&] { return done.load(); }, 30s);
        dirWatch.RequestStop();
    });
    const auto stepUntil = [&](const std::function<bool()>& condition) {
        while (!condition() &&
               watch_->Step(dirWatch).status == platform::WaitResult::Status::Ready) {
        }
    };
    const auto toldBySlot = [&] {
        std::map<std::size_t, std::vector<std::pair<DirState::Watch, std::string>>> bySlot;
        for (const auto& [slot, state] : Told())
            bySlot[slot].emplace_back(state.watch, state.watchReason);
        return bySlot;
    };
    for (int quiet = 0; quiet < 4; ++quiet)
        EXPECT_FALSE(watch_->Step(dirWatch).ready.empty()) << "not listed again by itself";
    daemon_->Signal(SIGSTOP);
    gone.Signal(SIGKILL);
    stepUntil([&] { return toldBySlot().size() == 2; });
    daemon_->Signal(SIGCONT);
    stepUntil([&] { return toldBySlot()[0].size() >= 2; });
    done = true;
    auto bySlot = toldBySlot();
    using Watch = DirState::Watch;
    EXPECT_THAT(bySlot[0],
                testing::ElementsAre(Pair(Watch::NotAnswering, DescribeWatchError(ETIMEDOUT)),
                                     Pair(Watch::Watched, "")));
    // A listing under way when its daemon dies fails otherwise than the ones after it.
    EXPECT_THAT(bySlot[1], testing::AllOf(testing::Not(testing::IsEmpty()),
                                          testing::Each(Pair(Watch::NotAnswering, testing::_))));
    EXPECT_THAT(Sunk(), testing::IsEmpty());
    for (const char* alias : {"share", "share2"})
        EXPECT_FALSE(fs::exists(Log(alias))) << alias;
}

// The share's listing reaches into a second mount, whose daemon stops: the share itself still
// answers, so its watch is set up again at each restart, while its listing hangs. Each run lists
// the share once its first period (a second) is over, and takes over the listing still waiting:
// one thread waits for the share however often the watch restarts, and nothing else waits. The
// last run's mask is another: the listing it took over is thrown away when it returns.
TEST_F(ShareWatch, AListingThatHangsHoldsUpNoOtherDirectoryNorStopNorMoreThanOneThread) {
    reliability::ChildProcess& deep = Mount(root_ / "deep", Behind("deep"));
    WriteFile(root_ / "deep/x");
    watch_->Dirs[0].Set({root_ / "share", "share", '*', "deep/*.*", 0, Log("share"), ""});
    const std::string local = AddDir("local");
    Start();
    Start(); // ends the run still going first
    deep.Signal(SIGSTOP);
    ASSERT_TRUE(WaitUntil([] { return ThreadsWaitingForFuse() == 1; }))
        << "the share was never listed again";
    std::vector<std::string> expected;
    for (int restart = 0; restart < 3; ++restart) {
        if (restart == 2) { // another mask for the last run
            watch_->Stop();
            watch_->Dirs[0].Set({root_ / "share", "share", '*', "*.*", 0, Log("share"), ""});
        }
        // Start ends the run still going first.
        std::future<bool> started = std::async(std::launch::async, [&] { return watch_->Start(); });
        const bool ended = started.wait_for(10s) == std::future_status::ready;
        if (!ended)
            deep.Signal(SIGCONT);
        ASSERT_TRUE(ended && started.get()) << "the restart waited for the share";
        expected.push_back("[+] local\\f" + std::to_string(restart));
        WriteFile(local + "/f" + std::to_string(restart));
        EXPECT_TRUE(WaitUntil([&] { return EventsOf("local") == expected; }));
        EXPECT_FALSE(WaitUntil([] { return ThreadsWaitingForFuse() > 1; }, 2s));
    }
    deep.Signal(SIGCONT);
    EXPECT_FALSE(WaitUntil([&] { return fs::exists(Log("share")); }, 1s));
}
