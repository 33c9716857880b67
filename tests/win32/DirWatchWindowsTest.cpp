#include "platform/DirNotifier.h"
#include "platform/StopEvent.h"
#include "platform/Wait.h"
#include "tests/support/TempDir.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <windows.h>

#include <cerrno>
#include <filesystem>

namespace fs = std::filesystem;
using platform::DirNotifier;
using platform::WaitForChanges;
using testing::IsEmpty;
using testsupport::TempDir;
using testsupport::WaitUntil;
using testsupport::WriteFile;

namespace {

constexpr DirNotifier::DrainResult Changed = DirNotifier::DrainResult::Changed;
constexpr DirNotifier::DrainResult Quiet = DirNotifier::DrainResult::Quiet;

// The system signals a notification a little after the change: wait for it with a deadline.
bool Signals(DirNotifier& notifier) {
    return WaitUntil([&] { return notifier.Drain() == Changed; });
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
    TempDir root, other;
    WriteFile(root / "existing", "old");
    DirNotifier notifier(root.str());
    DirNotifier marker(other.str());

    WriteFile(root / "existing", "new contents");
    ::SetFileAttributesA((root / "existing").c_str(), FILE_ATTRIBUTE_HIDDEN);
    fs::create_directory(root / "sub");
    WriteFile(root / "sub\\inner");
    // Notifications come in the order of the changes: once a later change elsewhere has
    // signalled, any of these would have signalled too.
    WriteFile(other / "marker");
    EXPECT_TRUE(Signals(marker));
    EXPECT_EQ(notifier.Drain(), Quiet);
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
