#include "platform/DirSearch.h"
#include "tests/engine/EngineTestSupport.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <filesystem>

using namespace enginetest;
using testsupport::TempDir;
using testsupport::WriteFile;
using Names = std::vector<std::string>;

TEST(MyDirFilterWindows, SubdirectoriesHiddenAndSystemFilesNeedTheirAttributeBit) {
    TempDir tmp;
    MyDir plain = Watch(tmp, '*', "*.*", 0);
    MyDir dirs = Watch(tmp, '*', "*.*", platform::AttrDirectory);
    MyDir hidden = Watch(tmp, '*', "*.*", platform::AttrHidden);
    MyDir system = Watch(tmp, '*', "*.*", platform::AttrSystem);
    std::filesystem::create_directory(tmp / "sub");
    WriteFile(tmp / "hidden");
    ASSERT_TRUE(::SetFileAttributesA((tmp / "hidden").c_str(), FILE_ATTRIBUTE_HIDDEN));
    WriteFile(tmp / "system");
    ASSERT_TRUE(::SetFileAttributesA((tmp / "system").c_str(), FILE_ATTRIBUTE_SYSTEM));
    WriteFile(tmp / "plain");
    for (MyDir* dir : {&plain, &dirs, &hidden, &system})
        dir->Rescan();
    EXPECT_EQ(Added(plain), Names{"plain"});
    EXPECT_EQ(Sorted(Added(dirs)), (Names{"plain", "sub"}));
    EXPECT_EQ(Sorted(Added(hidden)), (Names{"hidden", "plain"}));
    EXPECT_EQ(Sorted(Added(system)), (Names{"plain", "system"}));
}
