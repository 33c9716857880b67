#include "engine/MyDir.h"
#include "tests/engine/EngineTestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace enginetest;
using testsupport::TempDir;
using testsupport::WriteFile;
using Names = std::vector<std::string>;
namespace fs = std::filesystem;

TEST(MyDirBaseline, NamesPresentWhenTheRecordIsMadeOrSetAreNeverReported) {
    TempDir tmp;
    WriteFile(tmp / "a.txt");
    WriteFile(tmp / "old.txt");
    MyDir dir({tmp.str(), "alias", '*', "*.txt", 0, "log", ""});
    dir.Rescan();
    EXPECT_EQ(Added(dir), Names{});
    WriteFile(tmp / "new.txt");
    fs::remove(tmp / "old.txt");
    // The same settings again still take a new baseline.
    dir.Set({tmp.str(), "alias", '*', "*.txt", 0, "log", ""});
    dir.Rescan();
    EXPECT_EQ(Added(dir), Names{});
    EXPECT_EQ(Removed(dir), Names{});
    EXPECT_EQ(dir.Files().size(), 2u);
}
