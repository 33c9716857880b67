#include "engine/EventLog.h"
#include "engine/MyDir.h"
#include "tests/engine/EngineTestSupport.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <tuple>
#include <utility>

using namespace enginetest;
using testsupport::ReadFile;
using testsupport::TempDir;
using testsupport::WriteFile;

TEST(EventLogFormat, LineIsStampTagLabelBackslashEscapedName) {
    std::tm time{};
    time.tm_year = 2002 - 1900;
    time.tm_mday = 1;
    time.tm_hour = 8;
    time.tm_min = 9;
    EXPECT_EQ(FormatTimeStamp(time), "2002.01.01 08:09");
    EXPECT_EQ(FormatLogLine(Stamp, '-', "/srv/in", "a b"), "2001.03.05 14:07 [-] /srv/in\\a b");
    EXPECT_EQ(FormatLogLine(Stamp, '+', "in\tbox\\x", "a\\b\x7F\x1F\xE4\r\n[+] x"),
              "2001.03.05 14:07 [+] in\\x09box\\x\\a\\x5Cb\\x7F\\x1F\xE4\\x0D\\x0A[+] x");
}

TEST(WriteLog, OneNotificationWritesAddedLinesFirstAllWithItsStamp) {
    TempDir tmp, logs;
    LogBacklog backlog;
    WriteFile(tmp / "old");
    MyDir dir = MyDir({tmp.str(), "Inbox", '*', "*.*", 0, logs / "in.log", ""});
    Pass(dir, backlog); // nothing changed: no line, but the log is made
    EXPECT_TRUE(std::filesystem::exists(logs / "in.log"));
    for (const char* name : {"one", "two", "three"})
        WriteFile(tmp / name);
    std::filesystem::remove(tmp / "old");
    const LogAppend written = Pass(dir, backlog);
    EXPECT_EQ(written.error, 0);
    std::string expected;
    for (const std::string& name : Added(dir))
        expected += std::string(Stamp) + " [+] Inbox\\" + name + "\r\n";
    expected += std::string(Stamp) + " [-] Inbox\\old\r\n";
    EXPECT_EQ(ReadFile(logs / "in.log"), expected);
    EXPECT_EQ(written.appended.size(), 4u);
}

// Lines a log can't take wait in order and go in before newer ones once it can; past the bound
// the oldest of all logs go, counted. Without an alias the path labels the lines.
TEST(WriteLog, LinesALogCantTakeWaitAndGoInFirstOnceItCan) {
    TempDir a, b, logs;
    LogBacklog backlog({.maxLines = 2});
    MyDir toA({a.str(), "", '*', "*.*", 0, logs / "gone/a.log", ""});
    MyDir toB({b.str(), "b", '*', "*.*", 0, logs / "gone/b.log", ""});
    const auto pass = [&](MyDir& dir, const TempDir& in, const char* name) {
        WriteFile(in / name);
        return Pass(dir, backlog);
    };
    const LogAppend failed = pass(toA, a, "f1");
    EXPECT_EQ(failed.episode, LogAppend::Episode::Began);
    EXPECT_EQ(failed.error, ENOENT);
    pass(toB, b, "g1");
    EXPECT_EQ(pass(toB, b, "g2").episode, LogAppend::Episode::Same); // f1 goes: the oldest
    EXPECT_EQ(backlog.Status(logs / "gone/b.log"), std::pair(ENOENT, std::size_t{2}));
    std::filesystem::create_directory(logs / "gone");
    const LogAppend toANow = pass(toA, a, "f2");
    EXPECT_EQ(std::tuple(toANow.episode, toANow.late, toANow.lost),
              std::tuple(LogAppend::Episode::Ended, 0u, 1u));
    const LogAppend toBNow = pass(toB, b, "g3");
    EXPECT_EQ(std::tuple(toBNow.episode, toBNow.late, toBNow.lost),
              std::tuple(LogAppend::Episode::Ended, 2u, 0u));
    EXPECT_EQ(ReadFile(logs / "gone/a.log"), std::string(Stamp) + " [+] " + a.str() + "\\f2\r\n");
    std::string expected;
    for (const char* name : {"g1", "g2", "g3"})
        expected += std::string(Stamp) + " [+] b\\" + name + "\r\n";
    EXPECT_EQ(ReadFile(logs / "gone/b.log"), expected);
    EXPECT_EQ(toBNow.appended.size(), 3u);
}
