// Watched directories that vanish from their path and come back: the log must follow what the
// path holds, and the other directories must go on being watched.
#include "tests/reliability/WatchedTree.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>

using namespace reliability;
using testsupport::WriteFile;
namespace fs = std::filesystem;

namespace {

class DirectoryFault : public testing::Test {
protected:
    void SetUp() override { tree_.Add("other"); }
    void TearDown() override {
        if (IsSkipped())
            return;
        EXPECT_TRUE(tree_.Settle("other")) << "the other directory is still watched";
        EXPECT_EQ(tree_.Stop(), 0);
    }
    // Waits until the log of alias agrees with what its path holds.
    void ExpectAgrees(const std::string& alias, const char* step) {
        const testsupport::Replay replay = tree_.WaitUntilAgrees(alias);
        EXPECT_TRUE(replay.Agrees()) << step << ":\n" << replay.Describe();
    }

    // Watches w, renames moved (w or an ancestor) to moved + ".old", changes the directory
    // there and makes a new w: the log must follow the path, not the directory renamed away.
    void MoveAwayAndReplace(const std::string& w, const std::string& moved) {
        ASSERT_TRUE(tree_.Start());
        ASSERT_TRUE(tree_.Settle("w"));
        fs::rename(moved, moved + ".old");
        ExpectAgrees("w", "renamed away");
        WriteFile(moved + ".old" + w.substr(moved.size()) + "/not-watched");
        fs::create_directories(w);
        WriteFile(w + "/new");
        ExpectAgrees("w", "a new directory at its path");
    }

    WatchedTree tree_;
};

} // namespace

TEST_F(DirectoryFault, ADeletedDirectoryIsWatchedAgainEachTimeItIsRecreated) {
    const std::string w = tree_.Add("w", {.files = {"a", "b"}});
    ASSERT_TRUE(tree_.Start());
    ASSERT_TRUE(tree_.Settle("w"));
    for (const char* name : {"c", "d"}) {
        fs::remove_all(w);
        ExpectAgrees("w", "deleted");
        fs::create_directory(w);
        WriteFile(w + "/" + name);
        ExpectAgrees("w", "recreated");
    }
}

TEST_F(DirectoryFault, ADirectoryRenamedAwayIsNotFollowedAndWhatComesToItsPathIsReported) {
    const std::string w = tree_.Add("w", {.files = {"a"}});
    MoveAwayAndReplace(w, w);
    fs::remove_all(w);
    fs::rename(w + ".old", w);
    ExpectAgrees("w", "the old directory renamed back");
}

TEST_F(DirectoryFault, ADirectoryWhoseParentIsRenamedIsReportedGoneAndWatchedAtItsPathAgain) {
    const std::string parent = tree_.Root() + "/parent";
    MoveAwayAndReplace(tree_.Add("w", {.files = {"a"}, .path = parent + "/w"}), parent);
}

TEST_F(DirectoryFault, ADirectoryWhosePermissionsAreWithdrawnIsWatchedAgainOnceTheyAreBack) {
    if (::geteuid() == 0)
        GTEST_SKIP() << "permission bits don't stop root";
    const std::string w = tree_.Add("w", {.files = {"a"}});
    std::vector<std::pair<std::string, int>> errors;
    tree_.Watch().SetWatchErrorSink(
        [&](const std::string& path, int error) { errors.emplace_back(path, error); });
    ASSERT_TRUE(tree_.Start());
    ASSERT_TRUE(tree_.Settle("w"));

    ASSERT_EQ(::chmod(w.c_str(), 0), 0);
    ASSERT_TRUE(tree_.Restart());
    ASSERT_TRUE(tree_.Settle("other"));
    ASSERT_EQ(::chmod(w.c_str(), 0755), 0);
    WriteFile(w + "/while-unwatched");
    ASSERT_TRUE(tree_.Restart());
    EXPECT_EQ(errors, (std::vector<std::pair<std::string, int>>{{w, EACCES}}));
    ASSERT_TRUE(tree_.Settle("w"));
    ExpectAgrees("w", "permissions given back");
}
