#include "platform/DirSearch.h"
#include "tests/platform/SearchNames.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <filesystem>
#include <set>

using namespace platform;
using testsupport::TempDir;
using testsupport::WriteFile;
using Names = std::set<std::string>;
using searchtest::SearchSet;

namespace {

void SetAttributes(const std::string& path, DWORD attributes) {
    ASSERT_TRUE(::SetFileAttributesA(path.c_str(), attributes)) << path;
}

} // namespace

// One entry of every kind the attribute filter tells apart, made with the real attribute bits.
// The mask is matched without regard to case; each attribute bit adds the entries that carry it.
TEST(DirSearchWindows, MaskAndAttributeFilterMatrix) {
    TempDir dir;
    WriteFile(dir / "plain.txt");
    WriteFile(dir / "readonly.txt");
    SetAttributes(dir / "readonly.txt", FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE);
    WriteFile(dir / "hidden.txt");
    SetAttributes(dir / "hidden.txt", FILE_ATTRIBUTE_HIDDEN);
    WriteFile(dir / "system.sys");
    SetAttributes(dir / "system.sys", FILE_ATTRIBUTE_SYSTEM);
    std::filesystem::create_directory(dir / "sub");
    std::filesystem::create_directory(dir / "hsub");
    SetAttributes(dir / "hsub", FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN);

    const Names plain{"plain.txt", "readonly.txt"};
    auto with = [&](Names extra) {
        extra.insert(plain.begin(), plain.end());
        return extra;
    };
    const struct {
        const char* mask;
        std::int32_t attrib;
        Names expected;
    } cases[] = {
        {"*.*", 0, plain},
        {"*.*", AttrHidden, with({"hidden.txt", "hsub"})},
        {"*.*", AttrSystem, with({"system.sys"})},
        {"*.*", AttrDirectory, with({".", "..", "sub", "hsub"})},
        {"*.*", AttrHidden | AttrSystem | AttrDirectory,
         with({".", "..", "sub", "hsub", "hidden.txt", "system.sys"})},
        {"*.TXT", AttrHidden, {"plain.txt", "readonly.txt", "hidden.txt"}},
        {"s?b", AttrDirectory, {"sub"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SearchSet(dir, c.mask, c.attrib), c.expected) << c.mask << " " << c.attrib;
    // A read-only file would outlive the folder.
    SetAttributes(dir / "readonly.txt", FILE_ATTRIBUTE_NORMAL);
}

// Only a folder that can't be listed fails, not a mask that matches nothing, and only such a
// folder, not a drive's root ("C:\", or "\" on the current drive), is refused as a Path. A volume
// label asked for comes first, the label of the folder's drive; a drive without one lists nothing.
TEST(DirSearchWindows, OnlyWhatCannotBeListedFailsAndTheDrivesLabelComesFirst) {
    TempDir dir;
    WriteFile(dir / "a.txt");
    const std::string root = dir.str().substr(0, 3);
    const std::string top = std::next(dir.path().begin(), 2)->string(); // the folder in root
    const testsupport::ScopedWorkingDirectory onTheDrive(dir.path());
    char label[MAX_PATH + 1] = {};
    ::GetVolumeInformationA(root.c_str(), label, sizeof label, nullptr, nullptr, nullptr, nullptr,
                            0);
    const bool labelled = label[0] != '\0';
    using Listing = std::vector<std::string>;
    const struct {
        std::string folder;
        const char* mask;
        std::int32_t attrib;
        Listing names;
        bool listed;
        bool listable;
    } cases[] = {
        {dir.str(), "*.log", AttrDirectory, {}, true, true},
        {root, top.c_str(), AttrDirectory, {top}, true, true},
        {"\\", top.c_str(), AttrDirectory, {top}, true, true},
        {dir / "missing", "*.log", AttrDirectory, {}, false, false},
        {dir / "a.txt", "*.log", AttrDirectory, {}, false, false},
        {dir.str(), "*.txt", AttrVolumeLabel, labelled ? Listing{label, "a.txt"} : Listing{},
         labelled, true},
    };
    for (const auto& c : cases) {
        const DirListing listing = ListDirectory(c.folder, c.mask, c.attrib);
        EXPECT_EQ(listing.names, c.names) << c.folder;
        EXPECT_EQ(listing.error == 0, c.listed) << c.folder << " " << c.mask;
        EXPECT_EQ(CanListDirectory(c.folder), c.listable) << c.folder;
    }
}
