#include "engine/EventLog.h"
#include "engine/MyDir.h"
#include "tests/engine/EngineTestSupport.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>

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
    WriteFile(tmp / "old");
    MyDir dir = MyDir({tmp.str(), "Inbox", '*', "*.*", 0, logs / "in.log", ""});
    Pass(dir); // nothing changed: no line, but the log is made
    EXPECT_TRUE(std::filesystem::exists(logs / "in.log"));
    for (const char* name : {"one", "two", "three"})
        WriteFile(tmp / name);
    std::filesystem::remove(tmp / "old");
    const LogWrite written = Pass(dir);
    EXPECT_EQ(written.error, 0);
    std::string expected;
    for (const std::string& name : Added(dir))
        expected += std::string(Stamp) + " [+] Inbox\\" + name + "\r\n";
    expected += std::string(Stamp) + " [-] Inbox\\old\r\n";
    EXPECT_EQ(ReadFile(logs / "in.log"), expected);
    EXPECT_EQ(written.appended, 4u);
}

// Lines that could not be written are lost, not written by a later pass; without an alias the
// path labels the lines.
TEST(WriteLog, AnUnopenableLogLosesTheLinesAndSaysWhy) {
    TempDir tmp, logs;
    MyDir missingFolder = MyDir({tmp.str(), "", '*', "*.*", 0, logs / "missing/x.log", ""});
    WriteFile(tmp / "f");
    EXPECT_EQ(Pass(missingFolder).error, ENOENT);
    std::filesystem::create_directory(logs / "missing");
    WriteFile(tmp / "g");
    Pass(missingFolder);
    EXPECT_EQ(ReadFile(logs / "missing/x.log"),
              std::string(Stamp) + " [+] " + tmp.str() + "\\g\r\n");
}
