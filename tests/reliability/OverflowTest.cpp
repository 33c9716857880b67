// More changes than the kernel's event queue holds, made while the watcher can't read them: the
// rescan after the overflow must find what the lost events were about.
#include "tests/reliability/ProgramTree.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>

using namespace reliability;

namespace {

long QueueLimit() {
    std::ifstream in("/proc/sys/fs/inotify/max_queued_events");
    long limit = 0;
    in >> limit;
    return limit;
}

// Creates count files, renames the first half and deletes the third quarter: 2.25 x count
// events, 1.75 x count operations.
void Burst(const std::string& dir, long count) {
    const auto name = [&](const char* prefix, long i) {
        return dir + "/" + prefix + std::to_string(i);
    };
    for (long i = 0; i < count; ++i)
        testsupport::WriteFile(name("n", i));
    for (long i = 0; i < count / 2; ++i)
        std::filesystem::rename(name("n", i), name("r", i));
    for (long i = count / 2; i < count * 3 / 4; ++i)
        std::filesystem::remove(name("n", i));
}

// Lines of standard output that are event lines (the configuration's echo is there too).
std::size_t EventLines(const std::string& out) {
    std::size_t lines = 0;
    for (std::size_t at = 0; at < out.size();) {
        const std::size_t end = std::min(out.find('\n', at), out.size());
        const std::string_view line = std::string_view(out).substr(at, end - at);
        lines += line.substr(16, 5) == " [+] " || line.substr(16, 5) == " [-] ";
        at = end + 1;
    }
    return lines;
}

} // namespace

TEST(QueueOverflow, ChangesMadeWhileTheWatcherIsPausedAreAllFoundAfterTheOverflow) {
    const long queue = QueueLimit();
    if (queue <= 0 || queue > 100000)
        GTEST_SKIP() << "inotify queue limit " << queue << " is too large to overflow quickly";
    ProgramTree tree;
    const std::string a = tree.Add("a", {"old1", "old2"});
    const std::string b = tree.Add("b", {"n0", "n1"});
    tree.Add("quiet");
    ASSERT_TRUE(tree.Start()) << tree.Err();
    for (const char* alias : {"a", "b", "quiet"})
        ASSERT_TRUE(tree.Watching(alias)) << tree.Err();

    tree.Process().Signal(SIGSTOP);
    ASSERT_TRUE(testsupport::WaitUntil([&] { return tree.Process().IsStopped(); }));
    Burst(a, queue);
    Burst(b, queue);
    std::filesystem::remove(a + "/old1");
    tree.Process().Signal(SIGCONT);

    ASSERT_TRUE(tree.Settle({"a", "b", "quiet"}));
    EXPECT_EQ(tree.Terminate(), 0);
    std::size_t lines = 0;
    for (const char* alias : {"a", "b", "quiet"}) {
        const testsupport::Replay replay = tree.Check(alias);
        EXPECT_TRUE(replay.Agrees()) << alias << ":\n" << replay.Describe();
        lines += replay.lines;
    }
    EXPECT_EQ(EventLines(tree.Out()), lines) << "every logged line is on standard output too";
    EXPECT_EQ(tree.Err(), "");
    std::cout << "overflow: " << 2 * queue * 7 / 4 << " operations (" << 2 * queue * 9 / 4
              << " events) against a queue of " << queue << ", " << lines << " lines checked\n";
}
