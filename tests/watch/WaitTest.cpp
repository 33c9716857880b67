#include "platform/Wait.h"
#include "platform/DirNotifier.h"
#include "platform/StopEvent.h"
#include "tests/support/TempDir.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <thread>

using platform::DirNotifier;
using platform::WaitForChanges;
using testing::ElementsAre;
using testing::IsEmpty;
using testsupport::TempDir;
using testsupport::WriteFile;
namespace fs = std::filesystem;

namespace {

// One wait with the stop already requested: the notifications signalled by then.
std::vector<std::size_t> SignalledNow(const std::vector<std::unique_ptr<DirNotifier>>& table) {
    platform::StopEvent stop;
    stop.Signal();
    return WaitForChanges(table, stop).signalled;
}

} // namespace

TEST(WaitForChanges, ReportsEverySignalledNotificationInSlotOrderAndSkipsEmptySlots) {
    TempDir root;
    fs::create_directory(root / "0");
    fs::create_directory(root / "2");
    std::vector<std::unique_ptr<DirNotifier>> table;
    table.push_back(std::make_unique<DirNotifier>(root / "0"));
    table.push_back(nullptr);
    table.push_back(std::make_unique<DirNotifier>(root / "2"));
    platform::StopEvent stop;

    WriteFile(root / "2/x");
    WriteFile(root / "0/x");
    const platform::WaitResult first = WaitForChanges(table, stop);
    EXPECT_EQ(first.error, 0);
    EXPECT_FALSE(first.signalled.empty());
    EXPECT_FALSE(stop.Requested());
    // Windows signals a notification a moment after the change: both are signalled soon.
    EXPECT_TRUE(testsupport::WaitUntil([&] { return SignalledNow(table).size() == 2; }));
    EXPECT_THAT(SignalledNow(table), ElementsAre(0u, 2u));
}

TEST(WaitForChanges, AStopWakesAWaitThatHasAlreadyBegunAndOneThatComesLater) {
    TempDir root;
    std::vector<std::unique_ptr<DirNotifier>> table;
    table.push_back(std::make_unique<DirNotifier>(root.str()));
    platform::StopEvent stop;

    platform::WaitResult during;
    std::thread waiter([&] { during = WaitForChanges(table, stop); });
    stop.Signal();
    waiter.join();
    EXPECT_EQ(during.error, 0);
    EXPECT_THAT(during.signalled, IsEmpty());
    EXPECT_TRUE(stop.Requested());

    // On Windows the first wait consumed the automatic-reset event; the request still counts.
    const platform::WaitResult later = WaitForChanges(table, stop);
    EXPECT_EQ(later.error, 0);
    EXPECT_THAT(later.signalled, IsEmpty());
}
