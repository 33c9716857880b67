#include "platform/DirSearch.h"
#include "platform/posix/VolumeLabel.h"
#include "tests/platform/SearchNames.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <set>

using namespace platform;
using testsupport::TempDir;
using testsupport::WriteFile;
using Names = std::set<std::string>;
using searchtest::Search;
using searchtest::SearchSet;

namespace {

// One entry of every kind the attribute filter tells apart.
class MixedDirectory : public ::testing::Test {
protected:
    void SetUp() override {
        WriteFile(dir / "file.txt");
        WriteFile(dir / "notes.log");
        WriteFile(dir / ".hidden");
        std::filesystem::create_directory(dir / "sub");
        std::filesystem::create_directory(dir / ".hsub");
        ASSERT_EQ(mkfifo((dir / "fifo").c_str(), 0600), 0);
        std::filesystem::create_directory_symlink("sub", dir / "link-to-sub");
        std::filesystem::create_symlink("file.txt", dir / "link-to-file");
        std::filesystem::create_symlink("nowhere", dir / "dangling");
    }
    TempDir dir;
};

} // namespace

TEST_F(MixedDirectory, PlainEntriesAlwaysShowAndEachAttributeBitAddsItsKind) {
    const Names plain{"file.txt", "notes.log", "link-to-file", "dangling"};
    auto with = [&](Names extra) {
        extra.insert(plain.begin(), plain.end());
        return extra;
    };
    EXPECT_EQ(SearchSet(dir, "*.*", 0), plain);
    EXPECT_EQ(SearchSet(dir, "*.*", AttrHidden), with({".hidden", ".hsub"}));
    EXPECT_EQ(SearchSet(dir, "*.*", AttrSystem), with({"fifo"}));
    EXPECT_EQ(SearchSet(dir, "*.*", AttrDirectory),
              with({".", "..", "sub", ".hsub", "link-to-sub"}));
    EXPECT_EQ(SearchSet(dir, "*.*", AttrHidden | AttrSystem | AttrDirectory),
              with({".", "..", "sub", ".hsub", "link-to-sub", ".hidden", "fifo"}));
}

TEST_F(MixedDirectory, MaskIsAppliedBeforeTheAttributeFilter) {
    EXPECT_EQ(SearchSet(dir, "*.TXT", AttrDirectory), (Names{"file.txt"}));
    EXPECT_EQ(SearchSet(dir, "*.", AttrDirectory | AttrSystem),
              (Names{".", "..", "sub", "fifo", "link-to-sub", "link-to-file", "dangling"}));
    EXPECT_EQ(SearchSet(dir, "s?b", AttrDirectory), (Names{"sub"}));
}

TEST_F(MixedDirectory, CheckingOneNameAgreesWithTheListing) {
    const std::vector<std::string> names{"file.txt", "notes.log",  ".hidden",     "sub",
                                         ".hsub",    "fifo",       "link-to-sub", "link-to-file",
                                         "dangling", "missing.txt"};
    for (const char* mask : {"*.*", "*.txt", "*.", "?*b*", "link-to-?*"}) {
        for (const std::int32_t attrib : {0, 0x02, 0x04, 0x10, 0x16}) {
            const Names listed = SearchSet(dir, mask, attrib);
            for (const std::string& name : names) {
                const EntryCheck expected =
                    listed.count(name) ? EntryCheck::Listed : EntryCheck::NotListed;
                EXPECT_EQ(CheckEntry(dir.str(), name, mask, attrib), expected)
                    << name << " mask " << mask << " attrib " << attrib;
            }
        }
    }
}

TEST(DirSearch, TheLastComponentOfThePatternIsTheMask) {
    TempDir dir;
    std::filesystem::create_directory(dir / "sub");
    WriteFile(dir / "sub/inner.txt");
    WriteFile(dir / "outer.txt");
    EXPECT_EQ(Search(dir / "sub/*.txt", 0), std::vector<std::string>{"inner.txt"});
    EXPECT_EQ(Search(dir / "sub//*.txt", 0), std::vector<std::string>{"inner.txt"});
}

TEST(DirSearch, AMissingDirectoryListsNothingAndSaysSo) {
    TempDir dir;
    bool listed = true;
    EXPECT_TRUE(Search(dir / "missing/*.*", AttrDirectory, &listed).empty());
    EXPECT_FALSE(listed);
    WriteFile(dir / "plain");
    EXPECT_TRUE(Search(dir / "plain/*.*", 0, &listed).empty());
    EXPECT_FALSE(listed);
}

TEST(DirSearch, VolumeLabelComesFirstOrNothingIsListed) {
    TempDir dir;
    WriteFile(dir / "a.txt");
    const int fd = open(dir.str().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    ASSERT_GE(fd, 0);
    const std::optional<std::string> label = VolumeLabel(fd);
    close(fd);
    bool listed = false;
    const std::vector<std::string> names = Search(dir / "*.*", AttrVolumeLabel, &listed);
    if (label) {
        EXPECT_EQ(names, (std::vector<std::string>{*label, "a.txt"}));
    } else {
        EXPECT_TRUE(names.empty());
        EXPECT_FALSE(listed);
    }
}

TEST(VolumeLabel, IsTheUnescapedNameOfTheLinkToTheDirectorysDevice) {
    TempDir dir;
    struct stat own {};
    ASSERT_EQ(stat(dir.str().c_str(), &own), 0);
    std::filesystem::create_directory(dir / "by-label");
    std::filesystem::create_directory(dir / "dev");
    if (mknod((dir / "dev/other").c_str(), S_IFBLK | 0600, makedev(7, 250)) != 0)
        GTEST_SKIP() << "cannot create device nodes here";
    ASSERT_EQ(mknod((dir / "dev/disk").c_str(), S_IFBLK | 0600, own.st_dev), 0);
    std::filesystem::create_symlink("../dev/other", dir / "by-label/Other");
    const int fd = open(dir.str().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    ASSERT_GE(fd, 0);
    EXPECT_EQ(VolumeLabel(fd, dir / "by-label"), std::nullopt);
    std::filesystem::create_symlink("../dev/disk", dir / "by-label/My\\x20Disk");
    EXPECT_EQ(VolumeLabel(fd, dir / "by-label"), "My Disk");
    close(fd);
}

TEST(VolumeLabel, UnescapesOnlyWellFormedHexEscapes) {
    EXPECT_EQ(UnescapeLabel("a\\x2fb\\x5C"), "a/b\\");
    EXPECT_EQ(UnescapeLabel("a\\xZZ\\x2"), "a\\xZZ\\x2");
}
