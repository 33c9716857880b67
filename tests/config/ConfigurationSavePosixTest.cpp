// Saves that meet what only POSIX systems have: the file-size limit, symbolic links.
#include "tests/config/ConfigFixture.h"

#include <cerrno>
#include <csignal>
#include <filesystem>
#include <set>
#include <sys/resource.h>

namespace {

// Files written by this process may not grow beyond limit bytes while the object lives; a
// write past it fails with EFBIG instead of raising SIGXFSZ.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t limit) {
        ::getrlimit(RLIMIT_FSIZE, &saved_);
        previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit lowered = saved_;
        lowered.rlim_cur = limit;
        ::setrlimit(RLIMIT_FSIZE, &lowered);
    }
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, previousHandler_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit saved_{};
    void (*previousHandler_)(int) = nullptr;
};

} // namespace

using ConfigurationSavePosix = ConfigFixture;

TEST_F(ConfigurationSavePosix, AWriteFailingHalfWayLeavesTheOldFileWhole) {
    testsupport::WriteFile(file, OldContents);
    DirArray many;
    for (int i = 0; i < 11; ++i)
        many.Add(MyDir("/srv/dir" + std::to_string(i), "", '*', "*.*", 0, "", ""));
    {
        FileSizeLimit limit(OldContents.size() + 10);
        EXPECT_EQ(WriteConfiguration(many, file), EFBIG);
    }
    EXPECT_EQ(testsupport::ReadFile(file), OldContents);
    EXPECT_EQ(EntryNames(dir.path()), std::set<std::string>{"peer.cfg"});
}

TEST_F(ConfigurationSavePosix, ALinkedPeerCfgStaysALinkAndItsTargetIsReplaced) {
    const std::string target = dir / "kept.cfg";
    testsupport::WriteFile(target, OldContents);
    std::filesystem::create_symlink("kept.cfg", file);
    EXPECT_EQ(WriteConfiguration(DirArray(), file), 0);
    EXPECT_TRUE(std::filesystem::is_symlink(file));
    EXPECT_EQ(testsupport::ReadFile(target), Header);
    EXPECT_EQ(EntryNames(dir.path()), (std::set<std::string>{"kept.cfg", "peer.cfg"}));
}
