#include "platform/AtomicFile.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <filesystem>

using testsupport::ReadFile;
using testsupport::TempDir;
using testsupport::WriteFile;

TEST(ReplaceFileContentsWindows, KeepsAHiddenFileHiddenAndLeavesNoTemporaryFile) {
    TempDir dir;
    WriteFile(dir / "hidden.cfg", "old");
    ASSERT_TRUE(::SetFileAttributesA((dir / "hidden.cfg").c_str(), FILE_ATTRIBUTE_HIDDEN));
    EXPECT_EQ(platform::ReplaceFileContents(dir / "hidden.cfg", "new"), 0);
    EXPECT_EQ(ReadFile(dir / "hidden.cfg"), "new");
    EXPECT_TRUE(::GetFileAttributesA((dir / "hidden.cfg").c_str()) & FILE_ATTRIBUTE_HIDDEN);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()),
                            std::filesystem::directory_iterator()),
              1);
}
