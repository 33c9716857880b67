// Logs that can't be written: the watch must go on, never block, and never leave a broken line.
#include "tests/reliability/WatchedTree.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <optional>

using namespace reliability;
using testsupport::ReadFile;
using testsupport::WriteFile;
namespace fs = std::filesystem;

namespace {

// A tmpfs of a few pages mounted on a directory for the lifetime of the object, where the
// system lets this process mount one.
class SmallFileSystem {
public:
    explicit SmallFileSystem(const std::string& dir) : dir_(dir) {
        fs::create_directory(dir_);
        mounted_ = ::mount("tmpfs", dir_.c_str(), "tmpfs", 0, "size=64k,mode=0755") == 0;
    }
    ~SmallFileSystem() {
        if (mounted_)
            ::umount2(dir_.c_str(), MNT_DETACH);
    }
    SmallFileSystem(const SmallFileSystem&) = delete;
    SmallFileSystem& operator=(const SmallFileSystem&) = delete;

    bool Mounted() const { return mounted_; }
    // Writes a file until the file system is full.
    void Fill(const std::string& name) const {
        const int fd = ::open((dir_ + "/" + name).c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
        const std::string block(512, 'f');
        while (::write(fd, block.data(), block.size()) > 0) {
        }
        ::close(fd);
    }

private:
    std::string dir_;
    bool mounted_ = false;
};

// Lowers this process's file-size limit for the lifetime of the object: a write beyond it
// fails part-way with EFBIG.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        ::getrlimit(RLIMIT_FSIZE, &old_);
        ::signal(SIGXFSZ, SIG_IGN);
        const rlimit lower{bytes, old_.rlim_max};
        ::setrlimit(RLIMIT_FSIZE, &lower);
    }
    ~FileSizeLimit() { ::setrlimit(RLIMIT_FSIZE, &old_); }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit old_{};
};

constexpr std::size_t LogPage = 4096;

// Two lines of the directory labelled alias, "+" then "-" of one name, together size bytes.
std::string PaddingLines(const std::string& alias, std::size_t size) {
    const std::string stamp = "2001.01.01 00:00";
    const std::size_t frame = stamp.size() + 5 + alias.size() + 1 + 2;
    const std::string name((size - 2 * frame) / 2, 'p');
    return stamp + " [+] " + alias + "\\" + name + "\r\n" + stamp + " [-] " + alias + "\\" + name +
           "\r\n";
}

} // namespace

TEST(LogFaults, LogsThatCannotBeWrittenLoseTheirLinesButTheWatchGoesOnAndNeverBlocks) {
    WatchedTree tree;
    const std::string logs = tree.Root() + "/logs";
    ASSERT_EQ(::mkfifo((logs + "/fifo.log").c_str(), 0600), 0);
    fs::create_directory(logs + "/isdir.log");
    fs::create_directory(tree.Root() + "/elsewhere");
    fs::create_symlink(tree.Root() + "/elsewhere/real.log", logs + "/link.log");
    tree.Add("fifo");
    tree.Add("isdir");
    tree.Add("missing", {.log = tree.Root() + "/no-such-folder/missing.log"});
    tree.Add("devfull", {.log = "/dev/full"});
    tree.Add("link");
    tree.Add("good");
    ASSERT_TRUE(tree.Start());
    for (const char* alias : {"fifo", "isdir", "missing", "devfull", "link", "good"})
        WriteFile(tree.Path(alias) + "/new");
    ASSERT_TRUE(tree.SettleAll()) << "every directory is served: nothing blocked";
    EXPECT_EQ(tree.Stop(), 0);

    for (const char* alias : {"link", "good"}) {
        const testsupport::Replay replay = tree.Check(alias);
        EXPECT_TRUE(replay.Agrees()) << alias << ":\n" << replay.Describe();
        EXPECT_NE(ReadFile(tree.Log(alias)).find(std::string(" [+] ") + alias + "\\new\r\n"),
                  std::string::npos)
            << alias;
    }
    EXPECT_TRUE(fs::is_symlink(logs + "/link.log"));
    EXPECT_EQ(fs::status(logs + "/fifo.log").type(), fs::file_type::fifo);
    EXPECT_TRUE(fs::is_directory(logs + "/isdir.log"));
    EXPECT_FALSE(fs::exists(tree.Root() + "/no-such-folder"));
}

// Where no tmpfs can be mounted, a file-size limit makes the write fail part-way instead.
TEST(LogFaults, ALogOnAFullFileSystemKeepsWholeLinesOnly) {
    WatchedTree tree;
    const SmallFileSystem small(tree.Root() + "/small");
    const std::string log = tree.Root() + (small.Mounted() ? "/small/full.log" : "/full.log");
    // 30 bytes are left in the log's page (or below the size limit): a line fits only in part.
    WriteFile(log, PaddingLines("full", LogPage - 30));
    std::optional<FileSizeLimit> limit;
    if (small.Mounted())
        small.Fill("filler");
    else
        limit.emplace(LogPage);
    const std::string full = tree.Add("full", {.log = log});
    ASSERT_TRUE(tree.Start());

    WriteFile(full + "/a-name-longer-than-what-is-left");
    ASSERT_TRUE(tree.Settle("full"));
    fs::remove(tree.Root() + "/small/filler");
    limit.reset();
    WriteFile(full + "/after");
    ASSERT_TRUE(tree.Settle("full"));
    EXPECT_EQ(tree.Stop(), 0);

    const testsupport::Replay replay = testsupport::ReplayLog(ReadFile(log), "full", {});
    EXPECT_TRUE(replay.Agrees()) << replay.Describe();
    EXPECT_NE(ReadFile(log).find(" [+] full\\after\r\n"), std::string::npos);
}
