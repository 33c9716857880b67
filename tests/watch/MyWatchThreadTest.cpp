#include "tests/watch/WatchFixture.h"

using testsupport::WriteFile;
using WatchThread = watchtest::WatchFixture;

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
        ASSERT_TRUE(Logged(alias, "[+] " + alias + "\\f")) << alias;
    }
}
