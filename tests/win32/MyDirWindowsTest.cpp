#include "tests/engine/EngineTestSupport.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <filesystem>

using namespace enginetest;
using Names = std::vector<std::string>;

TEST(MyDirFilterWindows, SubdirectoriesHiddenAndSystemFilesNeedTheirAttributeBit) {
    testsupport::TempDir tmp;
    AttributeWatches watches(tmp);
    std::filesystem::create_directory(tmp / "sub");
    for (const auto& [name, attributes] :
         {std::pair{"hidden", FILE_ATTRIBUTE_HIDDEN}, std::pair{"system", FILE_ATTRIBUTE_SYSTEM}}) {
        testsupport::WriteFile(tmp / name);
        ASSERT_TRUE(::SetFileAttributesA((tmp / name).c_str(), attributes));
    }
    testsupport::WriteFile(tmp / "plain");
    watches.Rescan();
    EXPECT_EQ(Added(watches.plain), Names{"plain"});
    EXPECT_EQ(Sorted(Added(watches.dirs)), (Names{"plain", "sub"}));
    EXPECT_EQ(Sorted(Added(watches.hidden)), (Names{"hidden", "plain"}));
    EXPECT_EQ(Sorted(Added(watches.system)), (Names{"plain", "system"}));
}
