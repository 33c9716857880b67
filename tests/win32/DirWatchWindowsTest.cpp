#include "tests/watch/DirWatchFixture.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <windows.h>

#include <cerrno>
#include <filesystem>

namespace fs = std::filesystem;
using platform::DirWatch;
using testing::ElementsAre;
using testing::IsEmpty;
using testsupport::WriteFile;
using watchtest::Watched;

// A path that leads to no directory, a file or nothing at all, is waited for; changes on the
// way to it don't signal, the directory's coming does. Then only a name changed in it signals,
// once: not a write to a file nor a change of its attributes.
TEST(DirWatchWindows, APathIsWaitedForUntilADirectoryIsThereWhereOnlyANameChangeSignals) {
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
        WriteFile(path + "\\file", "new contents");
        ::SetFileAttributesA((path + "\\file").c_str(), FILE_ATTRIBUTE_HIDDEN);
        EXPECT_THAT(w.Due(), IsEmpty()) << path;
    }
    EXPECT_EQ(DirWatch({{""}}).Error(0), ENOENT);
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

    // A new directory in the place of the watched one is watched from its first change on.
    fs::rename(w.dir, w.root / "away2");
    fs::create_directory(w.dir);
    WriteFile(w.root / "away2\\old");
    EXPECT_THAT(w.Due(), ElementsAre(0));
    WriteFile(w.In("newer"));
    EXPECT_THAT(w.Due(), ElementsAre(0));
    EXPECT_EQ(w.watch->Error(0), 0);
}
