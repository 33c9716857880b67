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
