// Saves that meet what only POSIX systems have: the file-size limit, symbolic links.
#include "tests/config/ConfigFixture.h"

#include <cerrno>
#include <csignal>
#include <sys/resource.h>

namespace fs = std::filesystem;
using ConfigurationSavePosix = ConfigFixture;

// A file-size limit makes the write fail part-way (EFBIG once SIGXFSZ is ignored).
TEST_F(ConfigurationSavePosix, AWriteFailingHalfWayLeavesTheOldFileWhole) {
    testsupport::WriteFile(file, OldContents);
    DirArray many;
    for (int i = 0; i < 11; ++i)
        many.Add(MyDir("/srv/dir" + std::to_string(i), "", '*', "*.*", 0, "", ""));
    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    const rlimit lowered{OldContents.size() + 10, saved.rlim_max};
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &lowered), 0);
    const int error = WriteConfiguration(many, file);
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);
    EXPECT_EQ(error, EFBIG);
    EXPECT_EQ(testsupport::ReadFile(file), OldContents);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), {}), 1) << "a file left behind";
}

TEST_F(ConfigurationSavePosix, ALinkedPeerCfgStaysALinkAndItsTargetIsReplacedWithItsMode) {
    const std::string target = dir / "kept.cfg";
    testsupport::WriteFile(target, OldContents);
    const fs::perms mode = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read;
    fs::permissions(target, mode);
    fs::create_symlink("kept.cfg", file);
    EXPECT_EQ(WriteConfiguration(DirArray(), file), 0);
    EXPECT_TRUE(fs::is_symlink(file));
    EXPECT_EQ(testsupport::ReadFile(target), Header);
    EXPECT_EQ(fs::status(target).permissions(), mode);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), {}), 2) << "a file left behind";
}
