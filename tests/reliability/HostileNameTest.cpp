// File names a log line could be confused by: every byte value, invalid UTF-8, the longest names,
// names that hold line ends or look like log lines. Each event must stay one line that reads back
// as the name.
#include "tests/reliability/WatchedTree.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace reliability;
namespace fs = std::filesystem;

namespace {

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
    names.push_back(std::string(255, 'x'));
    names.push_back(std::string(255, '\\'));
    names.push_back(std::string(255, '\n'));
    names.push_back(std::string(254, '\xE4') + "\r");
    names.push_back("2001.03.05 14:07 [+] Inbox\\report.txt");
    names.push_back("x\r\n2001.03.05 14:07 [-] w\\kept");
    names.push_back("\\x0D\\x0A");
    return names;
}

} // namespace

TEST(HostileNames, EveryNameStaysOneLineThatReadsBackAsTheName) {
    WatchedTree tree;
    const std::string w = tree.Add("w", {.files = {"kept"}});
    ASSERT_TRUE(tree.Start());
    ASSERT_TRUE(tree.Settle("w"));

    const std::vector<std::string> names = HostileNames();
    for (const std::string& name : names)
        testsupport::WriteFile(w + "/" + name);
    testsupport::Replay replay = tree.WaitUntilAgrees("w");
    EXPECT_TRUE(replay.Agrees()) << "created:\n" << replay.Describe();

    for (std::size_t i = 0; i < names.size(); i += 2)
        fs::remove(w + "/" + names[i]);
    for (std::size_t i = 1; i < names.size(); i += 4)
        fs::rename(w + "/" + names[i], w + "/" + names[i].substr(0, 200) + "\n\\x");
    replay = tree.WaitUntilAgrees("w");
    EXPECT_TRUE(replay.Agrees()) << "deleted and renamed:\n" << replay.Describe();

    ASSERT_TRUE(tree.Settle("w"));
    EXPECT_EQ(tree.Stop(), 0);
    EXPECT_EQ(tree.Check("w").lines, tree.LinesSunk()) << "one line per event, no more";
}
