#include "tests/watch/WatchFixture.h"

#include <thread>

using testsupport::WriteFile;

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
    std::thread run_;
};

} // namespace

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
