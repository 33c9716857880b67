#include "tests/watch/WatchFixture.h"

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
