#include "tests/support/TempDir.h"
#include "tests/watch/ChildProcess.h"
#include "tests/watch/WatchFixture.h"

#include <csignal>
#include <gmock/gmock.h>

using testing::HasSubstr;
using testing::IsEmpty;
using testsupport::ReadFile;
using testsupport::TempDir;
using testsupport::WaitUntil;
using testsupport::WriteFile;
using watchtest::ChildProcess;
namespace fs = std::filesystem;

namespace {

const std::string Program = PEERWELL_WATCH_PROGRAM;
const std::string Header = "**************************************\r\n"
                           "***   Do not change this file!!!   ***\r\n"
                           "**************************************\r\n";

std::string Record(const std::string& path, const std::string& alias, const std::string& log) {
    return "\"" + path + "\" \"" + alias + "\" \"*\" \"*.*\" \"0\" \"" + log + "\" \"\"\r\n";
}

// Creates probe files in dir until the watcher reports one on its standard output.
bool Watching(ChildProcess& watcher, const std::string& dir, const std::string& alias) {
    int probe = 0;
    return WaitUntil([&] {
        WriteFile(dir + "/probe" + std::to_string(probe++));
        return watcher.Out().find("[+] " + alias + "\\probe") != std::string::npos;
    });
}

} // namespace

TEST(PeerwellWatch, WatchesTheDirectoriesOfPeerCfgUntilSigterm) {
    TempDir root;
    const std::string inbox = root / "inbox";
    const std::string outbox = root / "outbox";
    fs::create_directory(inbox);
    fs::create_directory(outbox);
    WriteFile(outbox + "/leaving.txt");
    const std::string config = Header + Record(inbox, "Inbox", root / "inbox.log") +
                               Record(outbox, "", root / "outbox.log");
    WriteFile(root / "peer.cfg", config);

    ChildProcess watcher(root.str(), {Program});
    EXPECT_TRUE(watcher.OutHolds("Path = " + inbox + "| Alias = Inbox\n"));
    ASSERT_TRUE(Watching(watcher, inbox, "Inbox"));
    WriteFile(inbox + "/report.txt");
    fs::remove(outbox + "/leaving.txt");
    EXPECT_TRUE(watcher.OutHolds("[+] Inbox\\report.txt\n"));
    EXPECT_TRUE(watcher.OutHolds("[-] " + outbox + "\\leaving.txt\n"));

    EXPECT_EQ(watcher.Wait(SIGTERM), 0);
    EXPECT_THAT(watchtest::Events(root / "inbox.log"), testing::Contains("[+] Inbox\\report.txt"));
    EXPECT_THAT(watchtest::Events(root / "outbox.log"),
                testing::ElementsAre("[-] " + outbox + "\\leaving.txt"));
    EXPECT_EQ(ReadFile(root / "peer.cfg"), config);
    EXPECT_THAT(watcher.Err(), IsEmpty());
}

TEST(PeerwellWatch, WithoutPeerCfgItWatchesNothingAndSigintEndsIt) {
    TempDir root;
    ChildProcess watcher(root.str(), {Program});
    // Said once the stop signals are in the program's hands.
    ASSERT_TRUE(
        WaitUntil([&] { return watcher.Err().find("cannot read peer.cfg") != std::string::npos; }));
    EXPECT_EQ(watcher.Wait(SIGINT), 0);
    EXPECT_FALSE(fs::exists(root / "peer.cfg"));
    EXPECT_THAT(watcher.Out(), IsEmpty());
}

TEST(PeerwellWatch, AnswersHelpAndVersionAndRefusesAnyOtherArgument) {
    TempDir root;
    ChildProcess version(root.str(), {Program, "--version"});
    EXPECT_EQ(version.Wait(), 0);
    EXPECT_EQ(version.Out(), "peerwell-watch 2.5\n");

    ChildProcess help(root.str(), {Program, "--help"});
    EXPECT_EQ(help.Wait(), 0);
    EXPECT_THAT(help.Out(), HasSubstr("Usage: peerwell-watch"));

    ChildProcess wrong(root.str(), {Program, "peer.cfg"});
    EXPECT_EQ(wrong.Wait(), 2);
    EXPECT_THAT(wrong.Out(), IsEmpty());
    EXPECT_THAT(wrong.Err(), HasSubstr("Usage: peerwell-watch"));
}
