#include "platform/AppendFile.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>

using platform::AppendLines;
using testsupport::ReadFile;
using testsupport::TempDir;

TEST(AppendLines, CreatesAMissingFileAndAppendsToAnExistingOne) {
    TempDir dir;
    EXPECT_EQ(AppendLines(dir / "log", {}), 0);
    EXPECT_TRUE(std::filesystem::exists(dir / "log"));
    EXPECT_EQ(AppendLines(dir / "log", {"one", "two"}), 0);
    EXPECT_EQ(AppendLines(dir / "log", {"three"}), 0);
    EXPECT_EQ(ReadFile(dir / "log"), "one\r\ntwo\r\nthree\r\n");
}

TEST(AppendLines, ReportsWhatKeptTheFileFromOpening) {
    TempDir dir;
    EXPECT_EQ(AppendLines(dir / "missing/log", {"x"}), ENOENT);
    EXPECT_EQ(AppendLines(dir.str(), {"x"}), EISDIR);
    EXPECT_EQ(AppendLines("", {"x"}), ENOENT);
}
