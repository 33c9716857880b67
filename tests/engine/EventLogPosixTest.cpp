// Log cases that only POSIX systems have: FIFOs, and control characters in file names.
#include "tests/engine/EngineTestSupport.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cerrno>

using namespace enginetest;
using testsupport::ReadFile;
using testsupport::TempDir;
using testsupport::WriteFile;

TEST(WriteLogPosix, AFifoWithoutReaderLosesTheLinesWithoutBlocking) {
    TempDir tmp, logs;
    ASSERT_EQ(mkfifo((logs / "fifo").c_str(), 0600), 0);
    MyDir fifo = Watch(tmp, '*', "*.*", 0, logs / "fifo");
    WriteFile(tmp / "f");
    EXPECT_EQ(Pass(fifo).error, ENXIO);
}

TEST(WriteLogPosix, ANameHoldingALineBreakStaysOneLine) {
    TempDir tmp, logs;
    MyDir dir = Watch(tmp, '*', "*.*", 0, logs / "in.log", "In");
    WriteFile(tmp / "x\n2001.01.01 00:00 [+] fake");
    Pass(dir);
    EXPECT_EQ(ReadFile(logs / "in.log"),
              std::string(Stamp) + " [+] In\\x\\x0A2001.01.01 00:00 [+] fake\r\n");
}
