// Writes that meet what only POSIX systems have: the file-size limit, symbolic links.
#include "platform/AppendFile.h"
#include "platform/AtomicFile.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <sys/resource.h>

#include <cerrno>
#include <csignal>
#include <filesystem>
#include <functional>

using testsupport::ReadFile;
using testsupport::WriteFile;
namespace fs = std::filesystem;

namespace {

// The result of write, run while files may grow to only 10 bytes more than file holds (a write
// beyond fails part-way, with EFBIG once SIGXFSZ is ignored, as on a full disk).
int WhenAlmostFull(const std::string& file, const std::function<int()>& write) {
    rlimit saved{};
    ::getrlimit(RLIMIT_FSIZE, &saved);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    const rlimit lowered{fs::file_size(file) + 10, saved.rlim_max};
    ::setrlimit(RLIMIT_FSIZE, &lowered);
    const int error = write();
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);
    return error;
}

} // namespace

// A replaced file stays whole, and a log's cut line goes again, or the next would continue it.
TEST(FileWritesPosix, AWriteCutShortLeavesWholeFilesAndLines) {
    testsupport::TempDir dir;
    const std::string cfg = dir / "peer.cfg", log = dir / "peer.log", line = "a whole line\r\n";
    WriteFile(cfg, line);
    WriteFile(log, line);
    EXPECT_NE(WhenAlmostFull(cfg, [&] { return platform::ReplaceFileContents(cfg, line + line); }),
              0);
    EXPECT_NE(
        WhenAlmostFull(log, [&] { return platform::AppendLines(log, {"a longer line"}).error; }),
        0);
    EXPECT_EQ(ReadFile(cfg), line);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), {}), 2) << "a file left behind";
    EXPECT_EQ(platform::AppendLines(log, {"after"}).error, 0);
    EXPECT_EQ(ReadFile(log), line + "after\r\n");
}

TEST(FileWritesPosix, ALinkedFileStaysALinkAndItsTargetIsReplacedWithItsMode) {
    testsupport::TempDir dir;
    WriteFile(dir / "kept.cfg", "old");
    const fs::perms mode = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read;
    fs::permissions(dir / "kept.cfg", mode);
    fs::create_symlink("kept.cfg", dir / "peer.cfg");
    EXPECT_EQ(platform::ReplaceFileContents(dir / "peer.cfg", "new"), 0);
    EXPECT_TRUE(fs::is_symlink(dir / "peer.cfg"));
    EXPECT_EQ(ReadFile(dir / "kept.cfg"), "new");
    EXPECT_EQ(fs::status(dir / "kept.cfg").permissions(), mode);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), {}), 2) << "a file left behind";
}

// chmod a-w keeps peer.cfg as it is, even from root, although its folder would let it go.
TEST(FileWritesPosix, AFileWithoutWritePermissionIsNotReplaced) {
    testsupport::TempDir dir;
    WriteFile(dir / "peer.cfg", "old");
    fs::permissions(dir / "peer.cfg", fs::perms::owner_read | fs::perms::group_read);
    EXPECT_EQ(platform::ReplaceFileContents(dir / "peer.cfg", "new"), EACCES);
    EXPECT_EQ(ReadFile(dir / "peer.cfg"), "old");
}
