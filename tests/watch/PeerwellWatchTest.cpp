#include "tests/reliability/ChildProcess.h"
#include "tests/support/TempDir.h"
#include "tests/watch/WatchFixture.h"

#include <csignal>
#include <gmock/gmock.h>
#include <sys/wait.h>

using testsupport::ReadFile;
using testsupport::TempDir;
using testsupport::WaitUntil;
using testsupport::WriteFile;
namespace fs = std::filesystem;

namespace {

const std::string Header = "**************************************\r\n"
                           "***   Do not change this file!!!   ***\r\n"
                           "**************************************\r\n";

std::string Record(const std::string& path, const std::string& alias, const std::string& log) {
    return "\"" + path + "\" \"" + alias + "\" \"*\" \"*.*\" \"0\" \"" + log + "\" \"\"\r\n";
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
    const std::string out = root / "stdout", err = root / "stderr";

    reliability::ChildProcess::Options options;
    options.workingDirectory = root.str();
    options.stdoutPath = out;
    options.stderrPath = err;
    reliability::ChildProcess watcher({PEERWELL_WATCH_PROGRAM}, options);
    const auto outHolds = [&](const std::string& text) {
        return WaitUntil([&] { return ReadFile(out).find(text) != std::string::npos; });
    };
    EXPECT_TRUE(outHolds("Path = " + inbox + "| Alias = Inbox\n"));
    // Probe files until one is reported: the directories are watched from then on.
    int probe = 0;
    ASSERT_TRUE(WaitUntil([&] {
        WriteFile(inbox + "/probe" + std::to_string(probe++));
        return ReadFile(out).find("[+] Inbox\\probe") != std::string::npos;
    }));
    WriteFile(inbox + "/report.txt");
    fs::remove(outbox + "/leaving.txt");
    EXPECT_TRUE(outHolds("[+] Inbox\\report.txt\n"));
    EXPECT_TRUE(outHolds("[-] " + outbox + "\\leaving.txt\n"));

    watcher.Signal(SIGTERM);
    const std::optional<int> status = watcher.Wait(std::chrono::seconds(30));
    ASSERT_TRUE(status.has_value());
    EXPECT_TRUE(WIFEXITED(*status) && WEXITSTATUS(*status) == 0) << *status;
    EXPECT_THAT(watchtest::Events(root / "inbox.log"), testing::Contains("[+] Inbox\\report.txt"));
    EXPECT_THAT(watchtest::Events(root / "outbox.log"),
                testing::ElementsAre("[-] " + outbox + "\\leaving.txt"));
    EXPECT_EQ(ReadFile(root / "peer.cfg"), config);
    EXPECT_EQ(ReadFile(err), "");
}
