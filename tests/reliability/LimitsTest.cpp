// The per-user inotify limits, lowered for the watcher alone in a user namespace of its own: the
// directory beyond the limit is not watched, the others are, and the watcher says which directory
// and which limit, and how to raise it.
#include "tests/reliability/ProgramTree.h"

#include <gmock/gmock.h>

#include <algorithm>
#include <filesystem>

using namespace reliability;
using testing::HasSubstr;

namespace {

class InotifyLimits : public testing::Test {
protected:
    void SetUp() override {
        if (!CanLimitInotify())
            GTEST_SKIP() << "this system gives a process no user namespace of its own";
        tree_.Add("a");
        tree_.Add("b");
        tree_.Add("c");
    }
    // a and b are watched, c is named on standard error and never served.
    void ExpectOnlyCIsLeftOut(const std::string& sysctl) {
        EXPECT_TRUE(tree_.Watching("a")) << tree_.Err();
        EXPECT_TRUE(tree_.Watching("b")) << tree_.Err();
        testsupport::WriteFile(tree_.Path("c") + "/unseen");
        EXPECT_TRUE(tree_.Settle({"a", "b"}));
        EXPECT_EQ(tree_.Terminate(), 0);
        EXPECT_FALSE(std::filesystem::exists(tree_.Log("c")));
        EXPECT_THAT(tree_.Err(), HasSubstr("not watching \"" + tree_.Path("c") + "\""));
        EXPECT_THAT(tree_.Err(), HasSubstr("sysctl " + sysctl));
    }

    ProgramTree tree_;
};

} // namespace

TEST_F(InotifyLimits, TheInstanceLimitLeavesOutTheDirectoryBeyondIt) {
    ASSERT_TRUE(tree_.Start({.inotifyInstances = 2})) << tree_.Err();
    ExpectOnlyCIsLeftOut("fs.inotify.max_user_instances");
}

TEST_F(InotifyLimits, TheWatchLimitLeavesOutTheDirectoryBeyondIt) {
    // A directory takes one watch for itself and one for each ancestor.
    const std::string path = tree_.Path("a");
    const long perDirectory = 1 + std::count(path.begin(), path.end(), '/');
    ASSERT_TRUE(tree_.Start({.inotifyWatches = 2 * perDirectory})) << tree_.Err();
    ExpectOnlyCIsLeftOut("fs.inotify.max_user_watches");
}
