#include "platform/DirNotifier.h"
#include "platform/StopEvent.h"
#include "platform/Wait.h"
#include "tests/support/TempDir.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <windows.h>

#include <cerrno>
#include <filesystem>
#include <thread>

using platform::DirNotifier;
using platform::WaitForChanges;
using testing::ElementsAre;
using testing::IsEmpty;
using testsupport::TempDir;
using testsupport::WaitUntil;
using testsupport::WriteFile;
namespace fs = std::filesystem;

namespace {

constexpr auto Changed = DirNotifier::DrainResult::Changed;
constexpr auto Quiet = DirNotifier::DrainResult::Quiet;

// The system signals a notification a little after the change: wait for it with a deadline.
bool Signals(DirNotifier& notifier) {
    return WaitUntil([&] { return notifier.Drain() == Changed; });
}

// Waits once with the stop already requested: the notifications signalled by then.
std::vector<std::size_t> SignalledNow(const std::vector<std::unique_ptr<DirNotifier>>& table) {
    platform::StopEvent stop;
    stop.Signal();
    return WaitForChanges(table, stop).signalled;
}

} // namespace

TEST(DirNotifierWindows, CreatingDeletingAndRenamingAFileSignalOncePerReArm) {
    TempDir root;
    DirNotifier notifier(root.str());
    ASSERT_EQ(notifier.Error(), 0);
    WriteFile(root / "a");
    EXPECT_TRUE(Signals(notifier));
    EXPECT_EQ(notifier.Drain(), Quiet);
    fs::rename(root / "a", root / "b");
    EXPECT_TRUE(Signals(notifier));
    fs::remove(root / "b");
    EXPECT_TRUE(Signals(notifier));
    // A notification only says that something changed: a pass lists the whole directory.
    const platform::ChangeSet changes = notifier.TakeChanges();
    EXPECT_FALSE(changes.complete);
    EXPECT_THAT(changes.names, IsEmpty());
}

TEST(DirNotifierWindows, ContentsAttributesAndSubdirectoriesDoNotSignal) {
    TempDir root;
    WriteFile(root / "existing", "old");
    std::vector<std::unique_ptr<DirNotifier>> table;
    table.push_back(std::make_unique<DirNotifier>(root.str()));

    WriteFile(root / "existing", "new contents");
    ::SetFileAttributesA((root / "existing").c_str(), FILE_ATTRIBUTE_HIDDEN);
    fs::create_directory(root / "sub");
    WriteFile(root / "sub\\inner");
    // A file created afterwards signals; had anything before it signalled, so would the wait.
    EXPECT_THAT(SignalledNow(table), IsEmpty());
    WriteFile(root / "file");
    EXPECT_TRUE(Signals(*table[0]));
}

TEST(DirNotifierWindows, PathsThatCannotBeWatchedSayWhyAndStayQuiet) {
    TempDir root;
    WriteFile(root / "plain");
    DirNotifier plain(root / "plain");
    EXPECT_EQ(plain.Error(), ENOTDIR);
    EXPECT_EQ(plain.Drain(), Quiet);
    EXPECT_EQ(DirNotifier("").Error(), ENOENT);
    EXPECT_EQ(DirNotifier(root / "plain\\below").Error(), ENOTDIR);
}

TEST(DirNotifierWindows, ADirectoryMissingWithItsParentsSignalsOnceItExists) {
    TempDir root;
    const std::string path = root / "a\\b\\c";
    DirNotifier notifier(path);
    ASSERT_EQ(notifier.Error(), 0);
    fs::create_directories(root / "a\\b");
    WriteFile(root / "a\\unrelated");
    EXPECT_FALSE(
        WaitUntil([&] { return notifier.Drain() == Changed; }, std::chrono::milliseconds(500)));
    fs::create_directory(path);
    EXPECT_TRUE(Signals(notifier));
    WriteFile(path + "\\file");
    EXPECT_TRUE(Signals(notifier));
}

TEST(DirNotifierWindows, ADirectoryMovedAwayOrReplacedIsLetGoAndItsPathIsWatched) {
    TempDir root;
    const std::string dir = root / "watched";
    fs::create_directory(dir);
    DirNotifier notifier(dir);

    // The moved directory still signals its notification once; then its path is waited for.
    fs::rename(dir, root / "away");
    WriteFile(root / "away\\moved");
    EXPECT_TRUE(Signals(notifier));
    fs::create_directory(dir);
    EXPECT_TRUE(Signals(notifier));
    WriteFile(dir + "\\new");
    EXPECT_TRUE(Signals(notifier));

    // A new directory in the place of the watched one is watched from its first change on.
    fs::rename(dir, root / "away2");
    fs::create_directory(dir);
    WriteFile(root / "away2\\old");
    EXPECT_TRUE(Signals(notifier));
    WriteFile(dir + "\\newer");
    EXPECT_TRUE(Signals(notifier));
    EXPECT_EQ(notifier.Error(), 0);
}

TEST(WaitForChangesWindows, ReportsEverySignalledNotificationInSlotOrderAndSkipsEmptySlots) {
    TempDir root;
    fs::create_directory(root / "0");
    fs::create_directory(root / "2");
    std::vector<std::unique_ptr<DirNotifier>> table;
    table.push_back(std::make_unique<DirNotifier>(root / "0"));
    table.push_back(nullptr);
    table.push_back(std::make_unique<DirNotifier>(root / "2"));
    WriteFile(root / "2\\x");
    WriteFile(root / "0\\x");
    EXPECT_TRUE(WaitUntil([&] { return SignalledNow(table).size() == 2; }));
    EXPECT_THAT(SignalledNow(table), ElementsAre(0u, 2u));
}

TEST(WaitForChangesWindows, AStopWakesAWaitThatHasBegunAndEveryLaterOne) {
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

    // The first wait consumed the automatic-reset event; the request still ends this one.
    const platform::WaitResult later = WaitForChanges(table, stop);
    EXPECT_EQ(later.error, 0);
    EXPECT_THAT(later.signalled, IsEmpty());
}

TEST(WaitForChangesWindows, MoreDirectoriesThanTheWaitHasSlotsForAreRefused) {
    TempDir root;
    std::vector<std::unique_ptr<DirNotifier>> table;
    for (int i = 0; i < MAXIMUM_WAIT_OBJECTS - 1; ++i)
        table.push_back(std::make_unique<DirNotifier>(root.str()));
    platform::StopEvent stop;
    stop.Signal();
    EXPECT_EQ(WaitForChanges(table, stop).error, 0);
    table.push_back(std::make_unique<DirNotifier>(root.str()));
    EXPECT_EQ(WaitForChanges(table, stop).error, E2BIG);
}
