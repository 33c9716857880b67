// The watcher under load: writer processes changing watched directories at random while the
// watcher is paused now and then, and more changes than the kernel's queue holds. Afterwards
// every log must agree with its directory, and standard output must hold every logged line.
#include "tests/reliability/ChildProcess.h"

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <random>
#include <thread>

using namespace reliability;
using namespace std::chrono_literals;

namespace {

constexpr int Writers = 4;
constexpr int WatchedDirs = 9;
// Long enough for the directories to have reached their size, so memory must stay flat.
constexpr int FlatMemorySeconds = 120;

int ChurnSeconds() {
    const char* text = std::getenv("PEERWELL_CHURN_SECONDS");
    return text != nullptr && *text != '\0' ? std::atoi(text) : 20;
}

// Every log agrees with its directory; the number of lines checked.
std::size_t ExpectLogsAgree(const Watcher& tree) {
    std::size_t lines = 0;
    for (const std::string& alias : tree.Aliases()) {
        const testsupport::Replay replay = tree.Check(alias);
        EXPECT_TRUE(replay.Agrees()) << alias << ":\n" << replay.Describe();
        lines += replay.lines;
    }
    EXPECT_EQ(tree.EventLinesOut(), lines) << "every logged line is on standard output too";
    EXPECT_EQ(tree.Err(), "");
    return lines;
}

// Creates count files, renames the first half and deletes the third quarter: 2.25 x count
// events.
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

} // namespace

TEST(Churn, RandomChangesInNineDirectoriesAcrossPausesAreAllLoggedAndNothingElse) {
    const int seconds = ChurnSeconds();
    Watcher tree(WATCH_PROGRAM);
    const std::string outside = tree.Root() + "/outside";
    std::filesystem::create_directory(outside);
    for (int d = 0; d < WatchedDirs; ++d)
        tree.Add("w" + std::to_string(d), {.files = {"f00", "f01", "f02", "kept", "back\\slash"}});
    ASSERT_TRUE(tree.Start() && tree.Watching(tree.Aliases())) << tree.Err();

    std::vector<std::unique_ptr<ChildProcess>> writers;
    for (int i = 0; i < Writers; ++i) {
        std::vector<std::string> argv{CHURN_WRITER_PROGRAM, std::to_string(seconds),
                                      std::to_string(i + 1), outside};
        for (const std::string& alias : tree.Aliases())
            argv.push_back(tree.Path(alias));
        writers.push_back(std::make_unique<ChildProcess>(
            argv, ChildProcess::Options{.stdoutPath = tree.Root() + "/writer" + argv[2]}));
    }
    // Pauses the watcher for a moment every few seconds, so that its queue fills up.
    std::mt19937 random(7);
    int pauses = 0;
    const long firstRssKb = ResidentKb(tree.Process().Pid());
    for (const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
         std::chrono::steady_clock::now() < end; ++pauses) {
        std::this_thread::sleep_for(std::chrono::milliseconds(random() % 2500 + 500));
        ASSERT_TRUE(tree.Process().Pause());
        std::this_thread::sleep_for(std::chrono::milliseconds(random() % 500));
        tree.Process().Signal(SIGCONT);
    }
    unsigned long operations = 0;
    for (int i = 0; i < Writers; ++i) {
        const std::optional<int> status = writers[i]->Wait(60s);
        ASSERT_TRUE(status && WIFEXITED(*status) && WEXITSTATUS(*status) == 0) << "writer " << i;
        operations +=
            std::stoul(testsupport::ReadFile(tree.Root() + "/writer" + std::to_string(i + 1)));
    }
    ASSERT_TRUE(tree.Settle(tree.Aliases())) << "a directory was not served after the writers";
    const long lastRssKb = ResidentKb(tree.Process().Pid());
    EXPECT_EQ(tree.Terminate(), 0);

    const std::size_t lines = ExpectLogsAgree(tree);
    std::cout << "churn: " << seconds << " s, " << Writers << " writers, " << operations
              << " operations, " << pauses << " pauses, " << lines
              << " lines checked, watcher RSS first " << firstRssKb << " kB, last " << lastRssKb
              << " kB\n";
#if !defined(__SANITIZE_ADDRESS__) && !defined(__SANITIZE_THREAD__)
    if (seconds >= FlatMemorySeconds) {
        EXPECT_LE(lastRssKb, firstRssKb + firstRssKb / 10 + 1024);
    }
#endif
}

TEST(QueueOverflow, ChangesMadeWhileTheWatcherIsPausedAreAllFoundAfterTheOverflow) {
    long queue = 0;
    std::ifstream("/proc/sys/fs/inotify/max_queued_events") >> queue;
    if (queue <= 0 || queue > 100000)
        GTEST_SKIP() << "inotify queue limit " << queue << " is too large to overflow quickly";
    Watcher tree(WATCH_PROGRAM);
    const std::string a = tree.Add("a", {.files = {"old1", "old2"}});
    const std::string b = tree.Add("b", {.files = {"n0", "n1"}});
    tree.Add("quiet");
    ASSERT_TRUE(tree.Start() && tree.Watching(tree.Aliases())) << tree.Err();

    ASSERT_TRUE(tree.Process().Pause());
    Burst(a, queue);
    Burst(b, queue);
    std::filesystem::remove(a + "/old1");
    tree.Process().Signal(SIGCONT);

    ASSERT_TRUE(tree.Settle(tree.Aliases()));
    EXPECT_EQ(tree.Terminate(), 0);
    std::cout << "overflow: " << 2 * queue * 9 / 4 << " events against a queue of " << queue << ", "
              << ExpectLogsAgree(tree) << " lines checked\n";
}
