#include "tests/config/ConfigFixture.h"

#include <cerrno>
#include <filesystem>

namespace fs = std::filesystem;

using ConfigurationSave = ConfigFixture;

TEST_F(ConfigurationSave, ReplacesTheFileInTheWorkingDirectoryAndLeavesNoTemporaryFile) {
    testsupport::WriteFile(file, OldContents);
    testsupport::ScopedWorkingDirectory cwd(dir.path());
    ASSERT_EQ(WriteConfiguration(TwoRecords(), "peer.cfg"), 0);
    EXPECT_EQ(testsupport::ReadFile(file), FormatConfiguration(TwoRecords()));
    EXPECT_EQ(EntryNames(dir.path()), std::set<std::string>{"peer.cfg"});
    EXPECT_EQ(Describe(Read(testsupport::ReadFile(file))), Describe(TwoRecords()));
}

TEST_F(ConfigurationSave, ADirectoryInThePlaceOfTheFileIsLeftAlone) {
    fs::create_directory(file);
    EXPECT_EQ(WriteConfiguration(TwoRecords(), file), EISDIR);
    EXPECT_TRUE(fs::is_directory(file));
    EXPECT_EQ(EntryNames(dir.path()), std::set<std::string>{"peer.cfg"});
}
