// The replay checker must agree with a faithful log and catch every kind of lost, doubled or
// forged line; otherwise the reliability tests that rely on it prove nothing.
#include "tests/support/LogReplay.h"
#include "engine/EventLog.h"
#include "tests/support/TempDir.h"

#include <gmock/gmock.h>

#include <filesystem>

#include <sys/stat.h>

using testing::HasSubstr;
using namespace testsupport;

namespace {

constexpr const char* Stamp = "2024.02.29 23:59";

std::string Line(char sign, const std::string& name, const std::string& label = "in") {
    return FormatLogLine(Stamp, sign, label, name) + "\r\n";
}

} // namespace

TEST(LogReplay, AFaithfulLogWithEscapedNamesReplaysToTheListing) {
    const std::string hostile = "a\\x41\r\n\x01\x7F\xFF\\";
    const std::string log = Line('+', hostile) + Line('-', "old") + Line('+', "new") +
                            Line('-', "new") + Line('+', "new");
    const Replay replay = CheckLog(log, "in", {"old", "kept"}, {"kept", "new", hostile});
    EXPECT_TRUE(replay.Agrees()) << replay.Describe();
    EXPECT_EQ(replay.lines, 5u);
    EXPECT_EQ(replay.added, 3u);
}

TEST(LogReplay, EveryKindOfDisagreementIsReported) {
    const struct {
        std::string log;
        std::set<std::string> listing;
        std::string fault;
    } cases[] = {
        {Line('+', "a") + Line('+', "a"), {"a"}, "added again without a removal: a"},
        {Line('-', "ghost"), {}, "removed but not there: ghost"},
        {"", {"unseen"}, "there but never reported added: unseen"},
        {Line('+', "gone"), {}, "reported but not there: gone"},
        {"2024.02.29 23:59 [+] in\\broken\nname\r\n", {}, "broken by a line end"},
        {Line('+', "a").substr(0, 25), {"a"}, "the last line has no line end"},
        {Line('+', "a", "other"), {"a"}, "not an event of this directory"},
        {"2024.02.29 23:59 [+] in\\bad\\x4\r\n", {}, "not an event of this directory"},
        {"2024.02.29 23:59 [*] in\\a\r\n", {"a"}, "not an event of this directory"},
        {"2024.02.29 2359 [+] in\\a\r\n", {"a"}, "not an event of this directory"},
    };
    for (const auto& c : cases) {
        const Replay replay = CheckLog(c.log, "in", {}, c.listing);
        EXPECT_THAT(replay.Describe(), HasSubstr(c.fault)) << Printable(c.log);
    }
}

TEST(LogReplay, APlainFileListingLeavesOutHiddenNamesDirectoriesAndSpecialFiles) {
    TempDir dir;
    WriteFile(dir / "plain");
    WriteFile(dir / ".hidden");
    std::filesystem::create_directory(dir / "sub");
    std::filesystem::create_symlink("plain", dir / "link");
    std::filesystem::create_symlink("sub", dir / "dirlink");
    std::filesystem::create_symlink("missing", dir / "dangling");
    ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0600), 0);
    EXPECT_EQ(ListPlainFiles(dir.str()), (std::set<std::string>{"plain", "link", "dangling"}));
}
