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

TEST(EventLogFormat, TimeStampIsZeroPaddedYearMonthDayHourMinute) {
    std::tm time{};
    time.tm_year = 2002 - 1900;
    time.tm_mon = 0;
    time.tm_mday = 1;
    time.tm_hour = 8;
    time.tm_min = 9;
    EXPECT_EQ(FormatTimeStamp(time), "2002.01.01 08:09");
}

TEST(EventLogFormat, LineIsStampTagLabelBackslashName) {
    EXPECT_EQ(FormatLogLine(Stamp, '+', "Inbox", "report.txt"),
              "2001.03.05 14:07 [+] Inbox\\report.txt");
    EXPECT_EQ(FormatLogLine(Stamp, '-', "/srv/in", "a b"), "2001.03.05 14:07 [-] /srv/in\\a b");
}

TEST(EventLogFormat, ControlBytesAndBackslashesInNamesAreEscaped) {
    EXPECT_EQ(FormatLogLine(Stamp, '+', "in\tbox\\x", "a\\b\x7F\x1F\xE4.txt"),
              "2001.03.05 14:07 [+] in\\x09box\\x\\a\\x5Cb\\x7F\\x1F\xE4.txt");
}

TEST(WriteLog, OneNotificationWritesAddedLinesFirstAllWithItsStamp) {
    TempDir tmp, logs;
    WriteFile(tmp / "old");
    MyDir dir = Watch(tmp, '*', "*.*", 0, logs / "in.log", "Inbox");
    for (const char* name : {"one", "two", "three"})
        WriteFile(tmp / name);
    std::filesystem::remove(tmp / "old");
    const LogWrite written = Pass(dir);
    EXPECT_EQ(written.error, 0);
    std::string expected;
    for (const std::string& name : *dir.GetAdded())
        expected += std::string(Stamp) + " [+] Inbox\\" + name + "\r\n";
    expected += std::string(Stamp) + " [-] Inbox\\old\r\n";
    EXPECT_EQ(ReadFile(logs / "in.log"), expected);
    EXPECT_EQ(written.lines.size(), 4u);
}

TEST(WriteLog, LabelIsThePathOnlyWhenTheAliasIsEmpty) {
    TempDir tmp, logs;
    MyDir withAlias = Watch(tmp, '*', "*.*", 0, logs / "a.log", "Inbox");
    MyDir withoutAlias = Watch(tmp, '*', "*.*", 0, logs / "b.log");
    WriteFile(tmp / "f");
    Pass(withAlias);
    Pass(withoutAlias);
    EXPECT_EQ(ReadFile(logs / "a.log"), std::string(Stamp) + " [+] Inbox\\f\r\n");
    EXPECT_EQ(ReadFile(logs / "b.log"), std::string(Stamp) + " [+] " + tmp.str() + "\\f\r\n");
}

TEST(WriteLog, APassWithNothingToReportStillCreatesTheLog) {
    TempDir tmp, logs;
    MyDir dir = Watch(tmp, '-', "*.*", 0, logs / "out.log");
    WriteFile(tmp / "inbound-only");
    const LogWrite written = Pass(dir);
    EXPECT_EQ(written.error, 0);
    EXPECT_TRUE(written.lines.empty());
    EXPECT_TRUE(std::filesystem::exists(logs / "out.log"));
    EXPECT_EQ(ReadFile(logs / "out.log"), "");
}

TEST(WriteLog, AnUnwritableLogLosesTheLinesAndSaysWhy) {
    TempDir tmp, logs;
    MyDir missingFolder = Watch(tmp, '*', "*.*", 0, logs / "missing/x.log");
    MyDir directory = Watch(tmp, '*', "*.*", 0, logs.str());
    MyDir none = Watch(tmp);
    WriteFile(tmp / "f");
    EXPECT_EQ(Pass(missingFolder).error, ENOENT);
    EXPECT_EQ(Pass(directory).error, EISDIR);
    const LogWrite noLog = Pass(none);
    EXPECT_EQ(noLog.error, 0);
    EXPECT_EQ(noLog.lines.size(), 1u);
    missingFolder.Rescan();
    missingFolder.GetAdded();
    std::filesystem::create_directory(logs / "missing");
    missingFolder.WriteLog(Stamp);
    EXPECT_EQ(ReadFile(logs / "missing/x.log"), "");
}

TEST(WriteLog, TwoDirectoriesShareOneLogToldApartByTheirLabels) {
    TempDir first, second, logs;
    MyDir a = Watch(first, '*', "*.*", 0, logs / "shared.log", "A");
    MyDir b = Watch(second, '*', "*.*", 0, logs / "shared.log", "B");
    WriteFile(first / "x");
    WriteFile(second / "x");
    Pass(a, "2001.01.01 10:00");
    Pass(b, "2001.01.01 10:01");
    EXPECT_EQ(ReadFile(logs / "shared.log"),
              "2001.01.01 10:00 [+] A\\x\r\n2001.01.01 10:01 [+] B\\x\r\n");
}
