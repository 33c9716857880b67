// Watched directories that leave their path and come back: the log must follow what the path
// holds, and the other directories stay watched.
#include "tests/reliability/ChildProcess.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

using namespace reliability;
using testsupport::WriteFile;
namespace fs = std::filesystem;

namespace {

using Step = std::function<void(const std::string& w)>;

struct DirectoryCase {
    const char* name;
    const char* path;        // of the watched directory, under the root
    std::vector<Step> steps; // the log must agree after each
};

void Recreate(const std::string& w, const char* file) {
    fs::create_directories(w);
    WriteFile(w + "/" + file);
}

// Renames w's ancestor (or w) at depth up from w to ".old" and changes the directory there.
Step MoveAway(int up) {
    return [up](const std::string& w) {
        fs::path moved = w;
        for (int i = 0; i < up; ++i)
            moved = moved.parent_path();
        fs::rename(moved, moved.string() + ".old");
        WriteFile(moved.string() + ".old" + w.substr(moved.string().size()) + "/not-watched");
    };
}

const DirectoryCase DirectoryCases[] = {
    {"DeletedAndRecreatedTwice",
     "w",
     {[](auto& w) { fs::remove_all(w); }, [](auto& w) { Recreate(w, "c"); },
      [](auto& w) { fs::remove_all(w); }, [](auto& w) { Recreate(w, "d"); }}},
    {"RenamedAwayReplacedAndRenamedBack",
     "w",
     {MoveAway(0), [](auto& w) { Recreate(w, "new"); },
      [](auto& w) {
          fs::remove_all(w);
          fs::rename(w + ".old", w);
      }}},
    {"ParentRenamedAndReplaced", "parent/w", {MoveAway(1), [](auto& w) { Recreate(w, "new"); }}},
};

void PrintTo(const DirectoryCase& directoryCase, std::ostream* out) {
    *out << directoryCase.name;
}

class DirectoryFault : public testing::TestWithParam<DirectoryCase> {};

} // namespace

TEST_P(DirectoryFault, TheLogFollowsThePath) {
    Watcher tree(WATCH_PROGRAM);
    const std::string w =
        tree.Add("w", {.files = {"a", "b"}, .path = tree.Root() + "/" + GetParam().path});
    tree.Add("other");
    ASSERT_TRUE(tree.Start() && tree.Settle(tree.Aliases())) << tree.Err();
    for (std::size_t i = 0; i < GetParam().steps.size(); ++i) {
        GetParam().steps[i](w);
        const testsupport::Replay replay = tree.WaitUntilAgrees("w");
        EXPECT_TRUE(replay.Agrees()) << "after step " << i << ":\n" << replay.Describe();
    }
    EXPECT_TRUE(tree.Settle({"other"})) << "the other directory is still watched";
    EXPECT_EQ(tree.Terminate(), 0);
}

INSTANTIATE_TEST_SUITE_P(Cases, DirectoryFault, testing::ValuesIn(DirectoryCases),
                         [](const auto& param) { return param.param.name; });
