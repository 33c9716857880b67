#include "tests/config/ConfigFixture.h"

using testsupport::ReadFile;

namespace {

// peer.cfg as the POSIX build wrote it.
const std::string PosixConfiguration = std::string(PEERWELL_FIXTURES) + "/peer.cfg";

} // namespace

using FilesFromPosix = ConfigFixture;

TEST_F(FilesFromPosix, APeerCfgWrittenOnPosixReadsTheSameAndIsWrittenBackByteForByte) {
    const std::string posixBytes = ReadFile(PosixConfiguration);
    ASSERT_FALSE(posixBytes.empty()) << PosixConfiguration;
    DirArray dirs;
    EXPECT_EQ(ReadConfiguration(dirs, PosixConfiguration, echo).error, 0);
    const std::vector<DirSettings> expected = {
        {"C:\\Incoming", "Mail drop", '+', "*.txt", 18, "C:\\Logs\\in.log", "C:\\Sounds\\ding.wav"},
        {"D:\\Out going\\", "", '-', "*.*", 0, "", ""},
        {"E:\\B\xFC"
         "cher",
         "B\xFC"
         "cher & \xC4rger",
         '*', "?ber*.doc", -1, "E:\\log.txt", ""}};
    std::vector<DirSettings> read;
    for (const MyDir& record : dirs)
        read.push_back(record.Settings());
    EXPECT_EQ(read, expected);

    ASSERT_EQ(WriteConfiguration(dirs, file), 0);
    EXPECT_EQ(ReadFile(file), posixBytes);
}
