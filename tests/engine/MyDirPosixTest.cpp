// Filter cases that only POSIX systems have: hidden means a leading dot, and FIFOs count as
// system files.
#include "platform/DirSearch.h"
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
    MyDir plain = Watch(tmp, '*', "*.*", 0);
    MyDir dirs = Watch(tmp, '*', "*.*", platform::AttrDirectory);
    MyDir hidden = Watch(tmp, '*', "*.*", platform::AttrHidden);
    MyDir system = Watch(tmp, '*', "*.*", platform::AttrSystem);
    std::filesystem::create_directory(tmp / "sub");
    WriteFile(tmp / ".hidden");
    ASSERT_EQ(mkfifo((tmp / "pipe").c_str(), 0600), 0);
    for (MyDir* dir : {&plain, &dirs, &hidden, &system})
        dir->Rescan();
    EXPECT_EQ(Added(plain), Names{});
    EXPECT_EQ(Added(dirs), Names{"sub"});
    EXPECT_EQ(Added(hidden), Names{".hidden"});
    EXPECT_EQ(Added(system), Names{"pipe"});
}
