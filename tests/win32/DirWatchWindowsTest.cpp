#include "tests/watch/DirWatchFixture.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <windows.h>

#include <cerrno>
#include <filesystem>

namespace fs = std::filesystem;
using platform::DirWatch;
using platform::WaitResult;
using testing::ElementsAre;
using testing::IsEmpty;
using testsupport::WriteFile;
using watchtest::Watched;

TEST(DirWatchWindows, OnlyCreatingDeletingAndRenamingAFileSignalOncePerReArm) {
    Watched w;
    WriteFile(w.In("existing"), "old");
    w.Watch(w.dir);
    ASSERT_EQ(w.watch->Error(0), 0);
    WriteFile(w.In("existing"), "new contents");
    ::SetFileAttributesA(w.In("existing").c_str(), FILE_ATTRIBUTE_HIDDEN);
    fs::create_directory(w.In("sub"));
    WriteFile(w.In("sub\\inner"));
    // Notifications come in the order of the changes: once the marker's has signalled, any of
    // these would have signalled too.
    EXPECT_THAT(w.Due(), IsEmpty());

    WriteFile(w.In("a"));
    EXPECT_THAT(w.Due(), ElementsAre(0));
    EXPECT_THAT(w.Due(), IsEmpty());
    fs::rename(w.In("a"), w.In("b"));
    EXPECT_THAT(w.Due(), ElementsAre(0));
    fs::remove(w.In("b"));
    EXPECT_THAT(w.Due(), ElementsAre(0));
    // A notification only says that something changed: a pass lists the whole directory.
    const platform::ChangeSet changes = w.Take();
    EXPECT_FALSE(changes.complete);
    EXPECT_THAT(changes.names, IsEmpty());
}

// A path that leads to no directory, a file or nothing at all, is waited for; changes on the
// way to it don't signal, the directory's coming does.
TEST(DirWatchWindows, APathThatLeadsToNoDirectoryIsWaitedForUntilADirectoryIsThere) {
    for (const bool file : {true, false}) {
        Watched w;
        const std::string path = file ? w.root / "plain" : w.root / "a\\b\\c";
        if (file)
            WriteFile(path);
        w.Watch(path);
        EXPECT_EQ(w.watch->Error(0), 0) << path;
        fs::create_directories(w.root / "a\\b");
        WriteFile(w.root / "a\\unrelated");
        EXPECT_THAT(w.Due(), IsEmpty()) << path;
        fs::remove(path);
        fs::create_directory(path);
        EXPECT_THAT(w.Due(), ElementsAre(0)) << path;
        WriteFile(path + "\\file");
        EXPECT_THAT(w.Due(), ElementsAre(0)) << path;
    }
    EXPECT_EQ(DirWatch({""}).Error(0), ENOENT);
}

TEST(DirWatchWindows, ADirectoryMovedAwayOrReplacedIsLetGoAndItsPathIsWatched) {
    Watched w;
    w.Watch(w.dir);

    // The moved directory still signals its notification once; then its path is waited for.
    fs::rename(w.dir, w.root / "away");
    WriteFile(w.root / "away\\moved");
    EXPECT_THAT(w.Due(), ElementsAre(0));
    fs::create_directory(w.dir);
    EXPECT_THAT(w.Due(), ElementsAre(0));
    WriteFile(w.In("new"));
    EXPECT_THAT(w.Due(), ElementsAre(0));

    // A new directory in the place of the watched one is watched from its first change on.
    fs::rename(w.dir, w.root / "away2");
    fs::create_directory(w.dir);
    WriteFile(w.root / "away2\\old");
    EXPECT_THAT(w.Due(), ElementsAre(0));
    WriteFile(w.In("newer"));
    EXPECT_THAT(w.Due(), ElementsAre(0));
    EXPECT_EQ(w.watch->Error(0), 0);
}

TEST(DirWatchWindows, MoreDirectoriesThanTheWaitHasSlotsForAreRefused) {
    Watched w;
    std::vector<std::string> paths(MAXIMUM_WAIT_OBJECTS - 1, w.dir);
    DirWatch fitting(paths);
    fitting.RequestStop();
    EXPECT_EQ(fitting.Wait().status, WaitResult::Status::Stopped);
    paths.push_back(w.dir);
    DirWatch tooMany(paths);
    const WaitResult refused = tooMany.Wait();
    EXPECT_EQ(refused.status, WaitResult::Status::Failed);
    EXPECT_EQ(refused.error, E2BIG);
}
