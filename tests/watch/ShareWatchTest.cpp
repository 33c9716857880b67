#include "platform/DirWatch.h"
#include "tests/watch/BindfsMount.h"
#include "tests/watch/WatchFixture.h"

#include <fstream>
#include <gmock/gmock.h>
#include <thread>

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

// A watch whose record "share" is a FUSE mount of the folder server.
class ShareWatch : public watchtest::WatchFixture {
protected:
    void SetUp() override {
        if (const auto reason = watchtest::BindfsMount::Unavailable())
            GTEST_SKIP() << *reason;
        mount_.emplace(root_.str());
        WriteFile(Behind("old"));
        ASSERT_TRUE(
            watch_->Dirs.Add(MyDir(mount_->Share(), "share", '*', "*.*", 0, Log("share"), "")));
    }
    ~ShareWatch() override {
        if (mount_)
            mount_->Thaw();
        Stop();
    }

    std::string Behind(const std::string& name) const { return mount_->Server() + "/" + name; }
    std::string Through(const std::string& name) const { return mount_->Share() + "/" + name; }
    void Start() {
        run_ = watch_->Start();
        ASSERT_TRUE(run_.joinable());
    }
    void Stop() {
        watch_->RequestStop();
        if (run_.joinable())
            run_.join();
    }

    std::optional<watchtest::BindfsMount> mount_;
    std::thread run_;
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
        // A later pass that reports nothing again of what came before.
        {[&] { WriteFile(Behind("last")); }, {"[+] share\\last"}, byTimer},
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
    mount_->Kill();
    EXPECT_GE(passes(), 3u) << "the share was not listed again after its server went";
    done = true;
    deadline.join();
    EXPECT_THAT(Sunk(), testing::IsEmpty());
    EXPECT_FALSE(fs::exists(Log("share")));
}

TEST_F(ShareWatch, AShareThatStopsAnsweringHoldsUpNeitherTheOtherDirectoriesNorTheStop) {
    const std::string local = AddDir("local");
    Start();
    mount_->Freeze();
    ASSERT_TRUE(WaitUntil(AThreadWaitsForFuse)) << "the share was never listed again";

    WriteFile(local + "/f");
    EXPECT_TRUE(Logged("local", "[+] local\\f"));
    watch_->RequestStop();
    std::atomic<bool> ended{false};
    std::thread joiner([&] {
        run_.join();
        ended = true;
    });
    EXPECT_TRUE(WaitUntil([&] { return ended.load(); })) << "the run waited for the share";
    mount_->Thaw();
    joiner.join();
}
