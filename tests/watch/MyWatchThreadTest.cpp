#include "tests/watch/WatchFixture.h"

#include <gmock/gmock.h>
#include <thread>

using testing::Contains;
using testing::Not;
using testsupport::WaitUntil;
using testsupport::WriteFile;
namespace fs = std::filesystem;

namespace {

class WatchThread : public watchtest::WatchFixture {
protected:
    ~WatchThread() override { Stop(); }
    void Start() {
        run_ = watch_->Start();
        ASSERT_TRUE(run_.joinable());
    }
    void Stop() {
        watch_->RequestStop();
        if (run_.joinable())
            run_.join();
    }
    // Creates probe files in the directory until one is reported: the run watches it then.
    bool Watching(const std::string& alias) {
        const std::string prefix = "probe" + std::to_string(++probes_) + "-";
        int probe = 0;
        return WaitUntil([&] {
            WriteFile(root_ / (alias + "/" + prefix + std::to_string(probe++)));
            const auto events = EventsOf(alias);
            return std::any_of(events.begin(), events.end(), [&](const std::string& event) {
                return event.find("\\" + prefix) != std::string::npos;
            });
        });
    }

    std::thread run_;
    int probes_ = 0;
};

} // namespace

TEST_F(WatchThread, AnEmptyListEndsAtTheFirstStopRequest) {
    Start();
    Stop();
    EXPECT_EQ(watch_->LastRunResult(), 0);
}

TEST_F(WatchThread, AStopRequestedBeforeTheRunWaitsIsNotLost) {
    for (int i = 0; i < 9; ++i)
        AddDir("d" + std::to_string(i));
    for (int round = 0; round < 20; ++round) {
        Start();
        Stop();
    }
    EXPECT_EQ(watch_->LastRunResult(), 0);
}

TEST_F(WatchThread, EveryRecordOfAFullListIsWatchedAsSoonAsStartReturns) {
    for (std::size_t i = 0; i < DirArray::Capacity; ++i)
        AddDir("d" + std::to_string(i));
    Start();
    for (std::size_t i = 0; i < DirArray::Capacity; ++i)
        WriteFile(root_ / ("d" + std::to_string(i) + "/f"));
    for (std::size_t i = 0; i < DirArray::Capacity; ++i) {
        const std::string alias = "d" + std::to_string(i);
        EXPECT_TRUE(Logged(alias, "[+] " + alias + "\\f")) << alias;
    }
}

TEST_F(WatchThread, AFileCreatedWhileStoppedIsReportedAtTheNextChangeNotAtRestart) {
    const std::string dir = AddDir("in");
    Start();
    ASSERT_TRUE(Watching("in"));
    Stop();

    WriteFile(dir + "/meanwhile");
    Start();
    Stop();
    EXPECT_THAT(EventsOf("in"), Not(Contains("[+] in\\meanwhile")));

    Start();
    ASSERT_TRUE(Watching("in"));
    WriteFile(dir + "/after");
    EXPECT_TRUE(Logged("in", "[+] in\\after"));
    EXPECT_THAT(EventsOf("in"), Contains("[+] in\\meanwhile"));
}
