// Filter cases that only POSIX systems have: hidden means a leading dot, and FIFOs count as
// system files.
#include "tests/engine/EngineTestSupport.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>

using namespace enginetest;
using testsupport::TempDir;
using testsupport::WriteFile;
using Names = std::vector<std::string>;

TEST(MyDirFilterPosix, SubdirectoriesHiddenFilesAndFifosNeedTheirAttributeBit) {
    TempDir tmp;
    AttributeWatches watches(tmp);
    std::filesystem::create_directory(tmp / "sub");
    WriteFile(tmp / ".hidden");
    ASSERT_EQ(mkfifo((tmp / "pipe").c_str(), 0600), 0);
    watches.Rescan();
    EXPECT_EQ(Added(watches.plain), Names{});
    EXPECT_EQ(Added(watches.dirs), Names{"sub"});
    EXPECT_EQ(Added(watches.hidden), Names{".hidden"});
    EXPECT_EQ(Added(watches.system), Names{"pipe"});
}
