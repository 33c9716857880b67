// Appending cases that only POSIX systems have: symbolic links, FIFOs, and several processes
// appending at once (Wine, which runs the Windows suite, loses lines there).
#include "platform/AppendFile.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <sstream>

using platform::AppendLines;
using testsupport::ReadFile;
using testsupport::TempDir;
using testsupport::WriteFile;

TEST(AppendLinesPosix, FollowsASymbolicLink) {
    TempDir dir;
    WriteFile(dir / "real.log", "old\r\n");
    std::filesystem::create_symlink("real.log", dir / "link.log");
    EXPECT_EQ(AppendLines(dir / "link.log", {"new"}), 0);
    EXPECT_EQ(ReadFile(dir / "real.log"), "old\r\nnew\r\n");
    EXPECT_TRUE(std::filesystem::is_symlink(dir / "link.log"));
}

TEST(AppendLinesPosix, NeverBlocksOnAFifoWithoutReader) {
    TempDir dir;
    ASSERT_EQ(mkfifo((dir / "fifo").c_str(), 0600), 0);
    EXPECT_EQ(AppendLines(dir / "fifo", {"x"}), ENXIO);
}

TEST(AppendLinesPosix, LinesOfConcurrentWritersNeverInterleave) {
    TempDir dir;
    const std::string log = dir / "shared.log";
    constexpr int writers = 4;
    constexpr int linesEach = 500;
    std::vector<pid_t> children;
    for (int w = 0; w < writers; ++w) {
        const pid_t pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            const std::string line =
                "writer " + std::to_string(w) + " " + std::string(300, 'a' + w);
            int failures = 0;
            for (int i = 0; i < linesEach; ++i)
                failures += AppendLines(log, {line}) != 0;
            _exit(failures == 0 ? 0 : 1);
        }
        children.push_back(pid);
    }
    for (const pid_t pid : children) {
        int status = 0;
        ASSERT_EQ(waitpid(pid, &status, 0), pid);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    std::istringstream text(ReadFile(log));
    std::vector<int> counts(writers);
    for (std::string line; std::getline(text, line, '\n');) {
        ASSERT_EQ(line.size(), 310u);
        const int w = line[7] - '0';
        ASSERT_EQ(line, "writer " + std::to_string(w) + " " + std::string(300, 'a' + w) + "\r");
        ++counts[static_cast<std::size_t>(w)];
    }
    EXPECT_EQ(counts, std::vector<int>(writers, linesEach));
}
