#include "platform/DirNotifier.h"
#include "tests/support/TempDir.h"

#include <fstream>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

using platform::DirNotifier;
using testing::ElementsAre;
using testing::IsEmpty;
using testsupport::TempDir;
using testsupport::WriteFile;
namespace fs = std::filesystem;

namespace {

constexpr auto Changed = DirNotifier::DrainResult::Changed;
constexpr auto Quiet = DirNotifier::DrainResult::Quiet;

// A notifier on a fresh directory whose first (incomplete) collection has been taken.
struct Watched {
    TempDir root;
    std::string dir = root / "watched";
    std::string other = root / "other";
    std::unique_ptr<DirNotifier> notifier;

    Watched() {
        fs::create_directory(dir);
        fs::create_directory(other);
        notifier = std::make_unique<DirNotifier>(dir);
        notifier->TakeChanges();
    }
    std::string In(const std::string& name) const { return dir + "/" + name; }
};

int MaxQueuedEvents() {
    int events = 16384;
    std::ifstream("/proc/sys/fs/inotify/max_queued_events") >> events;
    return events;
}

} // namespace

TEST(DirNotifierSignals, NameChangesSignalAndTheirNamesAreCollectedOnceInArrivalOrder) {
    Watched w;
    WriteFile(w.In("a"));
    WriteFile(w.In("b"));
    fs::remove(w.In("a"));
    fs::rename(w.In("b"), w.In("c"));
    WriteFile(w.other + "/d");
    fs::rename(w.other + "/d", w.In("d"));
    fs::rename(w.In("c"), w.other + "/c");

    EXPECT_EQ(w.notifier->Drain(), Changed);
    const platform::ChangeSet changes = w.notifier->TakeChanges();
    EXPECT_TRUE(changes.complete);
    EXPECT_THAT(changes.names, ElementsAre("a", "b", "c", "d"));
    EXPECT_EQ(w.notifier->Drain(), Quiet);
    EXPECT_THAT(w.notifier->TakeChanges().names, IsEmpty());
}

TEST(DirNotifierSignals, ContentsAttributesAndChangesInsideSubdirectoriesDoNotSignal) {
    TempDir root;
    const std::string dir = root / "watched";
    fs::create_directories(dir + "/sub");
    WriteFile(dir + "/existing", "old");
    DirNotifier notifier(dir);

    WriteFile(dir + "/existing", "new contents");
    fs::permissions(dir + "/existing", fs::perms::owner_read);
    fs::last_write_time(dir + "/existing", fs::file_time_type::clock::now());
    WriteFile(dir + "/sub/inner");
    fs::remove(dir + "/sub/inner");

    EXPECT_EQ(notifier.Drain(), Quiet);
    EXPECT_THAT(notifier.TakeChanges().names, IsEmpty());
}

TEST(DirNotifierSignals, SubdirectoryNamesCauseNoPassButAreKeptForTheNextOne) {
    Watched w;
    fs::create_directory(w.In("sub"));
    fs::create_directory(w.In("gone"));
    fs::remove(w.In("gone"));
    EXPECT_EQ(w.notifier->Drain(), Quiet);

    WriteFile(w.In("file"));
    EXPECT_EQ(w.notifier->Drain(), Changed);
    EXPECT_THAT(w.notifier->TakeChanges().names, ElementsAre("sub", "gone", "file"));
}

TEST(DirNotifierSignals, TheFirstPassAfterTheWatchBeganIsIncomplete) {
    TempDir root;
    DirNotifier notifier(root.str());
    WriteFile(root / "early");
    EXPECT_EQ(notifier.Drain(), Changed);
    EXPECT_FALSE(notifier.TakeChanges().complete);

    WriteFile(root / "later");
    EXPECT_EQ(notifier.Drain(), Changed);
    EXPECT_TRUE(notifier.TakeChanges().complete);
}

TEST(DirNotifierSignals, LostEventsMakeThePassIncomplete) {
    Watched w;
    const int files = MaxQueuedEvents() + 16;
    for (int i = 0; i < files; ++i)
        WriteFile(w.In("f" + std::to_string(i)));

    EXPECT_EQ(w.notifier->Drain(), Changed);
    EXPECT_FALSE(w.notifier->TakeChanges().complete);
    WriteFile(w.In("after"));
    EXPECT_EQ(w.notifier->Drain(), Changed);
    EXPECT_TRUE(w.notifier->TakeChanges().complete);
}

TEST(DirNotifierFollowsItsPath, ADeletedDirectorySignalsAndIsWatchedAgainWhenItIsRecreated) {
    Watched w;
    WriteFile(w.In("file"));
    fs::remove_all(w.dir);
    EXPECT_EQ(w.notifier->Drain(), Changed);
    EXPECT_FALSE(w.notifier->TakeChanges().complete);
    EXPECT_EQ(w.notifier->Error(), 0);
    EXPECT_EQ(w.notifier->Drain(), Quiet);

    fs::create_directory(w.dir);
    EXPECT_EQ(w.notifier->Drain(), Changed);
    EXPECT_FALSE(w.notifier->TakeChanges().complete);

    WriteFile(w.In("new"));
    EXPECT_EQ(w.notifier->Drain(), Changed);
    const platform::ChangeSet changes = w.notifier->TakeChanges();
    EXPECT_TRUE(changes.complete);
    EXPECT_THAT(changes.names, ElementsAre("new"));
}

TEST(DirNotifierFollowsItsPath, ADirectoryRenamedAwayIsNotFollowedAndSignalsWhenItComesBack) {
    Watched w;
    const std::string away = w.root / "away";
    fs::rename(w.dir, away);
    EXPECT_EQ(w.notifier->Drain(), Changed);
    w.notifier->TakeChanges();

    WriteFile(away + "/elsewhere");
    EXPECT_EQ(w.notifier->Drain(), Quiet);

    fs::rename(away, w.dir);
    EXPECT_EQ(w.notifier->Drain(), Changed);
    EXPECT_FALSE(w.notifier->TakeChanges().complete);
}

TEST(DirNotifierFollowsItsPath, ADirectoryMissingWithItsParentsSignalsOnceItExists) {
    TempDir root;
    const std::string path = root / "a/b/c";
    DirNotifier notifier(path);
    EXPECT_EQ(notifier.Error(), 0);

    fs::create_directory(root / "a");
    WriteFile(root / "a/unrelated");
    EXPECT_EQ(notifier.Drain(), Quiet);
    fs::create_directory(root / "a/b");
    EXPECT_EQ(notifier.Drain(), Quiet);
    fs::create_directory(path);
    EXPECT_EQ(notifier.Drain(), Changed);
    EXPECT_FALSE(notifier.TakeChanges().complete);

    WriteFile(path + "/file");
    EXPECT_EQ(notifier.Drain(), Changed);
    EXPECT_THAT(notifier.TakeChanges().names, ElementsAre("file"));
}

TEST(DirNotifierFollowsItsPath, ARenamedParentTakesTheDirectoryAwayFromItsPath) {
    TempDir root;
    fs::create_directories(root / "parent/w");
    DirNotifier notifier(root / "parent/w");
    notifier.TakeChanges();

    fs::rename(root / "parent", root / "moved");
    EXPECT_EQ(notifier.Drain(), Changed);
    EXPECT_FALSE(notifier.TakeChanges().complete);
    WriteFile(root / "moved/w/elsewhere");
    EXPECT_EQ(notifier.Drain(), Quiet);

    fs::create_directories(root / "parent/w");
    EXPECT_EQ(notifier.Drain(), Changed);
}

TEST(DirNotifierRefuses, PathsThatCannotBeWatchedSayWhy) {
    TempDir root;
    WriteFile(root / "plain");
    EXPECT_EQ(DirNotifier(root / "plain").Error(), ENOTDIR);
    EXPECT_EQ(DirNotifier("").Error(), ENOENT);

    DirNotifier failed(root / "plain");
    EXPECT_EQ(failed.Drain(), Quiet);
}
