#include "platform/DirSearch.h"
#include "tests/platform/SearchNames.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>

using namespace platform;
using testsupport::WriteFile;
using Names = std::set<std::string>;
namespace fs = std::filesystem;

// One entry of every kind the attribute filter tells apart; the mask is applied before the
// filter, and checking one name agrees with the listing.
TEST(DirSearch, MaskAndAttributeFilterMatrix) {
    testsupport::TempDir dir;
    WriteFile(dir / "file.txt");
    WriteFile(dir / "notes.log");
    WriteFile(dir / ".hidden");
    fs::create_directory(dir / "sub");
    fs::create_directory(dir / ".hsub");
    ASSERT_EQ(mkfifo((dir / "fifo").c_str(), 0600), 0);
    fs::create_directory_symlink("sub", dir / "link-to-sub");
    fs::create_symlink("file.txt", dir / "link-to-file");
    fs::create_symlink("nowhere", dir / "dangling");
    const Names plain{"file.txt", "notes.log", "link-to-file", "dangling"};
    const Names dirs{".", "..", "sub", ".hsub", "link-to-sub"};
    auto with = [&](Names all, const Names& extra) {
        all.insert(extra.begin(), extra.end());
        return all;
    };
    const struct {
        const char* mask;
        std::int32_t attrib;
        Names expected;
    } cases[] = {
        {"*.*", 0, plain},
        {"*.*", AttrHidden, with(plain, {".hidden", ".hsub"})},
        {"*.*", AttrSystem, with(plain, {"fifo"})},
        {"*.*", AttrDirectory, with(plain, dirs)},
        {"*.*", AttrHidden | AttrSystem | AttrDirectory,
         with(with(plain, dirs), {".hidden", "fifo"})},
        {"*.TXT", AttrDirectory, {"file.txt"}},
        {"*.",
         AttrDirectory | AttrSystem,
         {".", "..", "sub", "fifo", "link-to-sub", "link-to-file", "dangling"}},
        {"s?b", AttrDirectory, {"sub"}},
        {"link-to-?*", AttrDirectory, {"link-to-sub", "link-to-file"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string("mask ") + c.mask + " attrib " + std::to_string(c.attrib));
        EXPECT_EQ(searchtest::SearchSet(dir, c.mask, c.attrib), c.expected);
        const std::vector<std::string_view> names{"file.txt", ".hidden",    "sub",
                                                  ".hsub",    "fifo",       "link-to-sub",
                                                  "dangling", "missing.txt"};
        std::vector<bool> expected;
        for (const std::string_view name : names)
            expected.push_back(c.expected.count(std::string(name)) > 0);
        EXPECT_EQ(CheckEntries(dir.str(), names, c.mask, c.attrib), expected);
    }
    // No block device holds /proc, so no volume label can be read there: nothing is listed.
    const DirListing proc = ListDirectory("/proc/self", "*.*", AttrVolumeLabel | AttrDirectory);
    EXPECT_TRUE(proc.names.empty() && proc.error != 0);
}
