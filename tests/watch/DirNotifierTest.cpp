#include "platform/DirNotifier.h"
#include "tests/support/TempDir.h"

#include <fstream>
#include <functional>
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

// The inotify watches this process holds, over all its inotify instances.
int InotifyWatches() {
    int watches = 0;
    for (const auto& fd : fs::directory_iterator("/proc/self/fd")) {
        std::error_code error;
        if (fs::read_symlink(fd.path(), error) != "anon_inode:inotify")
            continue;
        std::ifstream info("/proc/self/fdinfo/" + fd.path().filename().string());
        for (std::string line; std::getline(info, line);)
            watches += line.rfind("inotify wd:", 0) == 0;
    }
    return watches;
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

// The path stops leading to a directory for a while, in each way it can: whatever it is
// meanwhile, once it leads to a directory again that directory's changes signal.
TEST(DirNotifierPath, IsWaitedForWhateverItIsMeanwhile) {
    using Step = std::function<void(const std::string& path, const std::string& target)>;
    const struct {
        const char* meanwhile;
        bool link; // path is a link to target
        std::vector<Step> steps;
    } cases[] = {
        {"a file",
         false,
         {[](auto& p, auto&) { fs::remove_all(p); }, [](auto& p, auto&) { WriteFile(p); },
          [](auto& p, auto&) { fs::remove(p), fs::create_directory(p); }}},
        {"a dangling link",
         false,
         {[](auto& p, auto&) { fs::remove_all(p); },
          [](auto& p, auto&) { fs::create_directory_symlink(p + ".nowhere", p); },
          [](auto& p, auto&) { fs::remove(p), fs::create_directory(p); }}},
        {"a link whose target is deleted and made again",
         true,
         {[](auto&, auto& t) { fs::remove_all(t); },
          [](auto&, auto& t) { fs::create_directory(t); }}},
        {"a link pointed at another directory", true, {[](auto& p, auto& t) {
             fs::create_directory(t + "2");
             fs::create_directory_symlink(t + "2", p + ".new");
             fs::rename(p + ".new", p);
         }}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.meanwhile);
        TempDir root;
        const std::string path = root / "watched", target = root / "target";
        fs::create_directory(c.link ? target : path);
        if (c.link)
            fs::create_directory_symlink(target, path);
        DirNotifier notifier(path);
        for (const Step& step : c.steps) {
            step(path, target);
            notifier.Drain();
        }
        notifier.TakeChanges();
        WriteFile(path + "/back");
        EXPECT_EQ(notifier.Drain(), Changed);
        EXPECT_THAT(notifier.TakeChanges().names, ElementsAre("back"));
        EXPECT_EQ(notifier.Error(), 0);
    }
}

TEST(DirNotifierPath, RenamingTheAncestorAwaitedLeavesNoWatchBehind) {
    TempDir root;
    const std::string parent = root / "parent";
    fs::create_directory(parent);
    DirNotifier notifier(parent + "/missing");
    const int before = InotifyWatches();
    for (int i = 0; i < 12; ++i) {
        fs::rename(parent, parent + std::to_string(i));
        notifier.Drain();
        fs::create_directory(parent);
        notifier.Drain();
    }
    EXPECT_EQ(InotifyWatches(), before);
}
