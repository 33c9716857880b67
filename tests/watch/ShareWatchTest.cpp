#include "platform/DirWatch.h"
#include "tests/reliability/ChildProcess.h"
#include "tests/watch/WatchFixture.h"

#include <csignal>
#include <fstream>
#include <gmock/gmock.h>
#include <linux/magic.h>
#include <sys/vfs.h>
#include <unistd.h>

using testsupport::WaitUntil;
using testsupport::WriteFile;
namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

// Whether a thread of this process waits for a FUSE daemon's answer.
bool AThreadWaitsForFuse() {
    for (const auto& task : fs::directory_iterator("/proc/self/task")) {
        std::string where;
        std::ifstream(task.path() / "wchan") >> where;
        if (where == "request_wait_answer")
            return true;
    }
    return false;
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
        fs::create_directories(root_ / "server");
        fs::create_directories(root_ / "share");
        daemon_.emplace(
            std::vector<std::string>{"/usr/bin/bindfs", "-f", root_ / "server", root_ / "share"},
            reliability::ChildProcess::Options{});
        struct statfs share {};
        ASSERT_TRUE(WaitUntil([&] {
            return ::statfs((root_ / "share").c_str(), &share) == 0 &&
                   share.f_type == FUSE_SUPER_MAGIC;
        })) << "bindfs did not mount";
        WriteFile(Behind("old"));
        ASSERT_TRUE(
            watch_->Dirs.Add(MyDir(root_ / "share", "share", '*', "*.*", 0, Log("share"), "")));
    }
    ~ShareWatch() override {
        if (!daemon_)
            return;
        daemon_->Signal(SIGCONT);
        Stop();
        reliability::ChildProcess({"/bin/fusermount", "-uz", root_ / "share"}, {}).Wait(10s);
        daemon_->Wait(10s);
    }

    std::string Behind(const std::string& name) const { return root_ / ("server/" + name); }
    std::string Through(const std::string& name) const { return root_ / ("share/" + name); }

    std::optional<reliability::ChildProcess> daemon_;
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

TEST_F(ShareWatch, AShareListedAgainAndAgainWritesNothingWhileQuietOrWhileItsServerIsGone) {
    platform::DirWatch dirWatch(watch_->Dirs.Watched());
    std::atomic<bool> done{false};
    std::thread deadline([&] {
        WaitUntil([&] { return done.load(); }, 20s);
        dirWatch.RequestStop();
    });
    const auto passes = [&] {
        std::size_t count = 0;
        for (platform::WaitResult step; count < 3 && step.status == step.Status::Ready;) {
            step = watch_->Step(dirWatch);
            count += step.ready.size();
        }
        return count;
    };
    EXPECT_GE(passes(), 3u) << "the quiet share was not listed again by itself";
    daemon_->Signal(SIGKILL);
    EXPECT_GE(passes(), 3u) << "the share was not listed again after its server went";
    done = true;
    deadline.join();
    EXPECT_THAT(Sunk(), testing::IsEmpty());
    EXPECT_FALSE(fs::exists(Log("share")));
}

TEST_F(ShareWatch, AShareThatStopsAnsweringHoldsUpNeitherTheOtherDirectoriesNorTheStop) {
    const std::string local = AddDir("local");
    Start();
    daemon_->Signal(SIGSTOP);
    ASSERT_TRUE(WaitUntil(AThreadWaitsForFuse)) << "the share was never listed again";

    WriteFile(local + "/f");
    EXPECT_TRUE(
        WaitUntil([&] { return EventsOf("local") == std::vector<std::string>{"[+] local\\f"}; }));
    watch_->RequestStop();
    std::atomic<bool> ended{false};
    std::thread joiner([&] {
        run_.join();
        ended = true;
    });
    EXPECT_TRUE(WaitUntil([&] { return ended.load(); })) << "the run waited for the share";
    daemon_->Signal(SIGCONT);
    joiner.join();
}
