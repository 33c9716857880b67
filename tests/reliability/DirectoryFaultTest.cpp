// What the watcher meets in the directories: directories that leave their path and come back,
// and file names a log line could be confused by. The log must follow what the path holds, one
// line per event that reads back as the name, and the other directories stay watched.
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

std::vector<std::string> HostileNames() {
    std::vector<std::string> names;
    for (int byte = 0x01; byte <= 0xFF; ++byte) {
        const char c = static_cast<char>(byte);
        if (c == '/')
            continue;
        names.push_back(std::string("b") + c + "z");
        if (c != '.')
            names.push_back(std::string(1, c));
    }
    for (const char* invalidUtf8 :
         {"\xC3\x28", "\xE2\x82", "\xF0\x28\x8C\xBC", "\xC0\xAF", "\xED\xA0\x80", "\xFF\xFE\xFD"})
        names.push_back(invalidUtf8);
    for (const char c : {'x', '\\', '\n'})
        names.push_back(std::string(255, c));
    names.push_back(std::string(254, '\xE4') + "\r");
    names.push_back("2001.03.05 14:07 [+] Inbox\\report.txt");
    names.push_back("x\r\n2001.03.05 14:07 [-] w\\kept");
    names.push_back("\\x0D\\x0A");
    return names;
}

} // namespace

TEST_P(DirectoryFault, TheLogFollowsThePath) {
    Watcher tree(WATCH_PROGRAM);
    const std::string w =
        tree.Add("w", {.files = {"a", "b"}, .path = tree.Root() + "/" + GetParam().path});
    tree.Add("other");
    ASSERT_TRUE(tree.Start() && tree.Watching(tree.Aliases())) << tree.Err();
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

TEST(HostileNames, EveryNameStaysOneLineThatReadsBackAsTheName) {
    Watcher tree(WATCH_PROGRAM);
    const std::string w = tree.Add("w", {.files = {"kept"}});
    ASSERT_TRUE(tree.Start() && tree.Watching({"w"})) << tree.Err();

    const std::vector<std::string> names = HostileNames();
    for (const std::string& name : names)
        WriteFile(w + "/" + name);
    testsupport::Replay replay = tree.WaitUntilAgrees("w");
    EXPECT_TRUE(replay.Agrees()) << "created:\n" << replay.Describe();

    for (std::size_t i = 0; i < names.size(); i += 2)
        fs::remove(w + "/" + names[i]);
    for (std::size_t i = 1; i < names.size(); i += 4)
        fs::rename(w + "/" + names[i], w + "/" + names[i].substr(0, 200) + "\n\\x");
    replay = tree.WaitUntilAgrees("w");
    EXPECT_TRUE(replay.Agrees()) << "deleted and renamed:\n" << replay.Describe();

    ASSERT_TRUE(tree.Settle({"w"}));
    EXPECT_EQ(tree.Terminate(), 0);
    EXPECT_EQ(tree.Check("w").lines, tree.EventLinesOut()) << "one line per event, no more";
}
