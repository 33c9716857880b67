#include "config/Configuration.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <sstream>

using testsupport::ReadFile;
using testsupport::TempDir;

namespace {

// peer.cfg as the POSIX build wrote it.
const std::string PosixConfiguration = std::string(PEERWELL_FIXTURES) + "/peer.cfg";

std::string Describe(const DirArray& dirs) {
    std::string out;
    for (const MyDir& d : dirs) {
        std::string path, alias, mask, log, wav;
        char kind = 0;
        std::int32_t attrib = 0;
        d.Get(path, alias, kind, mask, attrib, log, wav);
        out += path + "|" + alias + "|" + kind + "|" + mask + "|" + std::to_string(attrib) + "|" +
               log + "|" + wav + "\n";
    }
    return out;
}

} // namespace

TEST(FilesFromPosix, APeerCfgWrittenOnPosixReadsTheSameAndIsWrittenBackByteForByte) {
    const std::string posixBytes = ReadFile(PosixConfiguration);
    ASSERT_FALSE(posixBytes.empty()) << PosixConfiguration;
    DirArray dirs;
    std::ostringstream echo;
    const ConfigurationRead read = ReadConfiguration(dirs, PosixConfiguration, echo);
    EXPECT_EQ(read.error, 0);
    EXPECT_EQ(Describe(dirs),
              "C:\\Incoming|Mail drop|+|*.txt|18|C:\\Logs\\in.log|C:\\Sounds\\ding.wav\n"
              "D:\\Out going\\||-|*.*|0||\n"
              "E:\\B\xFC"
              "cher|B\xFC"
              "cher & \xC4rger|*|?ber*.doc|-1|E:\\log.txt|\n");

    TempDir dir;
    ASSERT_EQ(WriteConfiguration(dirs, dir / "peer.cfg"), 0);
    EXPECT_EQ(ReadFile(dir / "peer.cfg"), posixBytes);
}
