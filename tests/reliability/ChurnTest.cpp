// Four writer processes change nine watched directories at random while the watch is stopped and
// restarted every few seconds; afterwards every log must agree with its directory.
#include "tests/reliability/ChildProcess.h"
#include "tests/reliability/WatchedTree.h"

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <filesystem>
#include <iostream>
#include <random>

using namespace reliability;
using namespace std::chrono_literals;

namespace {

constexpr int Writers = 4;
constexpr int WatchedDirs = 9;
// Long enough for the directories to have reached their size, so memory must stay flat.
constexpr int FlatMemorySeconds = 120;

struct Figures {
    unsigned long operations = 0;
    int restarts = 0;
    long firstRssKb = 0, lastRssKb = 0;
};

std::vector<std::unique_ptr<ChildProcess>> StartWriters(const WatchedTree& tree, int seconds,
                                                        const std::string& outside) {
    std::vector<std::unique_ptr<ChildProcess>> writers;
    for (int i = 0; i < Writers; ++i) {
        std::vector<std::string> argv{CHURN_WRITER_PROGRAM, std::to_string(seconds),
                                      std::to_string(i + 1), outside};
        for (int d = 0; d < WatchedDirs; ++d)
            argv.push_back(tree.Path("w" + std::to_string(d)));
        writers.push_back(std::make_unique<ChildProcess>(
            argv, ChildProcess::Options{.stdoutPath =
                                            tree.Root() + "/writer" + std::to_string(i) + ".out"}));
    }
    return writers;
}

// Stops and restarts the watch at random intervals of a few seconds until the time is up.
void RestartUntil(WatchedTree& tree, std::chrono::steady_clock::time_point end, Figures& figures) {
    std::mt19937 random(7);
    while (std::chrono::steady_clock::now() < end) {
        const auto pause =
            std::chrono::milliseconds(std::uniform_int_distribution<int>(500, 3000)(random));
        std::this_thread::sleep_for(
            std::min<std::chrono::nanoseconds>(pause, end - std::chrono::steady_clock::now()));
        ASSERT_TRUE(tree.Restart()) << "result " << tree.Watch().LastRunResult();
        ++figures.restarts;
        figures.lastRssKb = ResidentKb();
        if (figures.firstRssKb == 0)
            figures.firstRssKb = figures.lastRssKb;
    }
}

void CollectWriters(std::vector<std::unique_ptr<ChildProcess>>& writers, const WatchedTree& tree,
                    Figures& figures) {
    for (std::size_t i = 0; i < writers.size(); ++i) {
        const std::optional<int> status = writers[i]->Wait(60s);
        ASSERT_TRUE(status.has_value()) << "writer " << i << " did not end";
        EXPECT_TRUE(WIFEXITED(*status) && WEXITSTATUS(*status) == 0) << "writer " << i;
        const std::string out =
            testsupport::ReadFile(tree.Root() + "/writer" + std::to_string(i) + ".out");
        figures.operations += out.empty() ? 0 : std::stoul(out);
    }
}

} // namespace

TEST(Churn, RandomChangesInNineDirectoriesAcrossRestartsAreAllLoggedAndNothingElse) {
    const int seconds = EnvironmentNumber("PEERWELL_CHURN_SECONDS", 20);
    WatchedTree tree;
    const std::string outside = tree.Root() + "/outside";
    std::filesystem::create_directory(outside);
    for (int d = 0; d < WatchedDirs; ++d)
        tree.Add("w" + std::to_string(d), {.files = {"f00", "f01", "f02", "kept", "back\\slash"}});
    ASSERT_TRUE(tree.Start());

    Figures figures;
    auto writers = StartWriters(tree, seconds, outside);
    RestartUntil(tree, std::chrono::steady_clock::now() + std::chrono::seconds(seconds), figures);
    CollectWriters(writers, tree, figures);
    ASSERT_TRUE(tree.SettleAll()) << "a directory was not served after the writers ended";
    ASSERT_EQ(tree.Stop(), 0);

    std::size_t linesChecked = 0, added = 0;
    for (int d = 0; d < WatchedDirs; ++d) {
        const std::string alias = "w" + std::to_string(d);
        const testsupport::Replay replay = tree.Check(alias);
        EXPECT_TRUE(replay.Agrees()) << alias << ":\n" << replay.Describe();
        linesChecked += replay.lines;
        added += replay.added;
    }
    EXPECT_EQ(linesChecked, tree.LinesSunk());
    std::cout << "churn: " << seconds << " s, " << Writers << " writers, " << figures.operations
              << " operations, " << figures.restarts << " restarts, " << tree.Passes()
              << " passes that reported, " << linesChecked << " lines checked (" << added
              << " added, " << linesChecked - added << " removed), watcher RSS first "
              << figures.firstRssKb << " kB, last " << figures.lastRssKb << " kB\n";
#if !defined(__SANITIZE_ADDRESS__) && !defined(__SANITIZE_THREAD__)
    if (seconds >= FlatMemorySeconds) {
        EXPECT_LE(figures.lastRssKb, figures.firstRssKb + figures.firstRssKb / 10 + 1024);
    }
#endif
}
