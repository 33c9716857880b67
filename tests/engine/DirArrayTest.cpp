#include "engine/DirArray.h"
#include "tests/engine/EngineTestSupport.h"

#include <gtest/gtest.h>

using enginetest::Watch;
using testsupport::TempDir;
using testsupport::WriteFile;

TEST(DirArray, HoldsElevenRecordsAndRefusesATwelfthUnchanged) {
    DirArray dirs;
    for (int i = 0; i < 11; ++i)
        EXPECT_TRUE(dirs.Add(MyDir("/dir" + std::to_string(i), "", '*', "*.*", 0, "", "")));
    EXPECT_FALSE(dirs.Add(MyDir("/twelfth", "", '*', "*.*", 0, "", "")));
    ASSERT_EQ(dirs.Count(), 11u);
    for (std::size_t i = 0; i < dirs.Count(); ++i)
        EXPECT_EQ(dirs[i].Path(), "/dir" + std::to_string(i));
}

TEST(DirArray, RemovingARecordMovesTheLaterOnesDownWithTheirSnapshots) {
    TempDir first, second, third;
    WriteFile(second / "in-second");
    WriteFile(third / "in-third");
    DirArray dirs;
    for (const TempDir* tmp : {&first, &second, &third})
        ASSERT_TRUE(dirs.Add(Watch(*tmp)));
    WriteFile(second / "added-later");
    dirs.Remove(0);
    ASSERT_EQ(dirs.Count(), 2u);
    EXPECT_EQ(dirs[0].Path(), second.str());
    EXPECT_EQ(dirs[1].Path(), third.str());
    EXPECT_NE(dirs[1].Files().Find("in-third"), nullptr);
    dirs[0].Rescan();
    EXPECT_EQ(enginetest::Added(dirs[0]), std::vector<std::string>{"added-later"});
}
