// The watcher under load: writer threads change watched directories at random while the watcher
// is paused now and then, once with more changes than the kernel's queue holds. Afterwards every
// log must agree with its directory.
#include "tests/reliability/ChildProcess.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <future>
#include <iostream>
#include <random>
#include <thread>

using namespace reliability;

namespace {

constexpr int Writers = 4;
constexpr int WatchedDirs = 9;

int ChurnSeconds() {
    const char* text = std::getenv("PEERWELL_CHURN_SECONDS");
    return text != nullptr && *text != '\0' ? std::atoi(text) : 20;
}

// Until the end, creates, deletes and renames files at random in the directories, renames
// between them, and moves files in from and out to a directory outside them. Returns the number
// of operations.
unsigned long Churn(unsigned seed, std::chrono::steady_clock::time_point end,
                    const std::string& root) {
    std::mt19937 random(seed);
    const auto pick = [&](unsigned count) { return std::to_string(random() % count); };
    const auto path = [&] { return root + "/w" + pick(WatchedDirs) + "/f" + pick(48); };
    const auto touch = [](const std::string& file) {
        ::close(::open(file.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644));
    };
    const std::string parked = root + "/outside/parked-" + std::to_string(seed);
    unsigned long operations = 0;
    for (; std::chrono::steady_clock::now() < end; ++operations) {
        const unsigned roll = random() % 100;
        if (roll < 35) {
            touch(path());
        } else if (roll < 60) {
            ::unlink(path().c_str());
        } else if (roll < 77) {
            ::rename(path().c_str(), path().c_str());
        } else if (roll < 88) {
            touch(parked);
            ::rename(parked.c_str(), path().c_str());
        } else if (::rename(path().c_str(), parked.c_str()) == 0) {
            ::unlink(parked.c_str());
        }
    }
    return operations;
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

TEST(Churn, RandomChangesAndAQueueOverflowInNineDirectoriesAreAllLoggedAndNothingElse) {
    const int seconds = ChurnSeconds();
    long queue = 0;
    std::ifstream("/proc/sys/fs/inotify/max_queued_events") >> queue;
    Watcher tree;
    std::filesystem::create_directory(tree.Root() + "/outside");
    for (int d = 0; d < WatchedDirs; ++d)
        tree.Add("w" + std::to_string(d), {.files = {"f1", "f2", "kept"}});
    ASSERT_TRUE(tree.Start({WATCH_PROGRAM}) && tree.Settle(tree.Aliases())) << tree.Err();

    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    std::vector<std::future<unsigned long>> writers;
    for (unsigned i = 1; i <= Writers; ++i)
        writers.push_back(std::async(std::launch::async, Churn, i, end, tree.Root()));
    // Pauses the watcher for a moment every few seconds; in the first pause one directory gets
    // more events than its queue holds.
    std::mt19937 random(7);
    int pauses = 0;
    for (; std::chrono::steady_clock::now() < end; ++pauses) {
        std::this_thread::sleep_for(std::chrono::milliseconds(random() % 2500 + 500));
        ASSERT_TRUE(tree.Process().Pause());
        if (pauses == 0)
            Burst(tree.Path("w0"), std::min(queue, 100000L));
        std::this_thread::sleep_for(std::chrono::milliseconds(random() % 500));
        tree.Process().Signal(SIGCONT);
    }
    unsigned long operations = 0;
    for (auto& writer : writers)
        operations += writer.get();
    ASSERT_TRUE(tree.Settle(tree.Aliases())) << "a directory was not served after the writers";
    EXPECT_EQ(tree.Terminate(), 0);

    for (const std::string& alias : tree.Aliases())
        EXPECT_EQ(tree.Disagreements(alias), "") << alias;
    EXPECT_EQ(tree.Err(), "");
    std::cout << "churn: " << seconds << " s, " << Writers << " writers, " << operations
              << " operations, " << pauses << " pauses, an overflow of a queue of " << queue
              << "\n";
}
