// Saving cases that only POSIX systems have: permission bits, the umask, symbolic links, the
// file-size limit and folders that even their owner can't write.
#include "tests/config/ConfigFixture.h"

#include <cerrno>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <set>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

constexpr uid_t Nobody = 65534;

mode_t Permissions(const std::string& path) {
    struct stat st {};
    EXPECT_EQ(::stat(path.c_str(), &st), 0);
    return st.st_mode & 07777;
}

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

class ScopedUmask {
public:
    explicit ScopedUmask(mode_t mask) : saved_(::umask(mask)) {}
    ~ScopedUmask() { ::umask(saved_); }
    ScopedUmask(const ScopedUmask&) = delete;
    ScopedUmask& operator=(const ScopedUmask&) = delete;

private:
    mode_t saved_;
};

// Saves as this user or, when that is root (whom permission bits do not stop), in a child
// process running as "nobody". Returns the save's result.
int SaveWithoutPrivileges(const DirArray& dirs, const std::string& path) {
    if (::geteuid() != 0)
        return WriteConfiguration(dirs, path);
    const pid_t child = ::fork();
    if (child == 0) {
        if (::setgid(Nobody) != 0 || ::setuid(Nobody) != 0)
            ::_exit(255);
        ::_exit(WriteConfiguration(dirs, path));
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

} // namespace

using ConfigurationSavePosix = ConfigFixture;

TEST_F(ConfigurationSavePosix, KeepsTheOldFilesPermissionsAndGivesANewFileThoseTheUmaskAllows) {
    testsupport::WriteFile(file, OldContents);
    ASSERT_EQ(::chmod(file.c_str(), 0604), 0);
    ASSERT_EQ(WriteConfiguration(TwoRecords(), file), 0);
    EXPECT_EQ(Permissions(file), 0604u);

    ScopedUmask umask(027);
    const std::string fresh = dir / "fresh.cfg";
    ASSERT_EQ(WriteConfiguration(TwoRecords(), fresh), 0);
    EXPECT_EQ(Permissions(fresh), 0640u);
}

TEST_F(ConfigurationSavePosix, ASymbolicLinkStaysALinkAndItsTargetIsReplaced) {
    fs::create_directory(dir / "real");
    testsupport::WriteFile(dir / "real/peer.cfg", OldContents);
    fs::create_symlink("real/peer.cfg", dir / "middle.cfg");
    fs::create_symlink("middle.cfg", file);

    ASSERT_EQ(WriteConfiguration(TwoRecords(), file), 0);
    EXPECT_TRUE(fs::is_symlink(file));
    EXPECT_EQ(fs::read_symlink(file), "middle.cfg");
    EXPECT_EQ(fs::read_symlink(dir / "middle.cfg"), "real/peer.cfg");
    EXPECT_EQ(testsupport::ReadFile(dir / "real/peer.cfg"), FormatConfiguration(TwoRecords()));
    EXPECT_EQ(EntryNames(dir / "real"), std::set<std::string>{"peer.cfg"});

    // A link whose target does not exist yet: the target is created.
    const std::string dangling = dir / "dangling.cfg";
    fs::create_symlink(dir / "real/new.cfg", dangling);
    ASSERT_EQ(WriteConfiguration(TwoRecords(), dangling), 0);
    EXPECT_TRUE(fs::is_symlink(dangling));
    EXPECT_EQ(testsupport::ReadFile(dir / "real/new.cfg"), FormatConfiguration(TwoRecords()));
}

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

TEST_F(ConfigurationSavePosix, AFolderThatCannotBeWrittenLeavesTheOldFileWhole) {
    testsupport::WriteFile(file, OldContents);
    ASSERT_EQ(::chmod(dir.str().c_str(), 0555), 0);
    EXPECT_EQ(SaveWithoutPrivileges(TwoRecords(), file), EACCES);
    EXPECT_EQ(testsupport::ReadFile(file), OldContents);
    EXPECT_EQ(EntryNames(dir.path()), std::set<std::string>{"peer.cfg"});
}
