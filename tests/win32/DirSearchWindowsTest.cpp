#include "platform/DirSearch.h"
#include "platform/ListableDirectory.h"
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
using searchtest::Search;
using searchtest::SearchSet;

namespace {

void SetAttributes(const std::string& path, DWORD attributes) {
    ASSERT_TRUE(::SetFileAttributesA(path.c_str(), attributes)) << path;
}

// One entry of every kind the attribute filter tells apart, made with the real attribute bits.
class AttributeDirectory : public ::testing::Test {
protected:
    void SetUp() override {
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
    }
    void TearDown() override { SetAttributes(dir / "readonly.txt", FILE_ATTRIBUTE_NORMAL); }
    TempDir dir;
};

std::string LabelOf(const std::string& root) {
    char label[MAX_PATH + 1] = {};
    ::GetVolumeInformationA(root.c_str(), label, sizeof label, nullptr, nullptr, nullptr, nullptr,
                            0);
    return label;
}

// Labels the drive for the life of the object, where the system lets a test do that.
class ScopedVolumeLabel {
public:
    ScopedVolumeLabel(std::string root, const std::string& label)
        : root_(std::move(root)), old_(LabelOf(root_)) {
        set_ = ::SetVolumeLabelA(root_.c_str(), label.c_str()) && LabelOf(root_) == label;
    }
    ~ScopedVolumeLabel() {
        if (set_)
            ::SetVolumeLabelA(root_.c_str(), old_.c_str());
    }
    ScopedVolumeLabel(const ScopedVolumeLabel&) = delete;
    ScopedVolumeLabel& operator=(const ScopedVolumeLabel&) = delete;
    bool set() const { return set_; }

private:
    std::string root_;
    std::string old_;
    bool set_ = false;
};

} // namespace

// The mask is matched without regard to case; each attribute bit adds the entries that carry it.
TEST_F(AttributeDirectory, MaskAndAttributeFilterMatrix) {
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
        {"*.sys", 0, {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SearchSet(dir, c.mask, c.attrib), c.expected) << c.mask << " " << c.attrib;
}

TEST(DirSearchWindows, OnlyAFolderThatCannotBeListedFails) {
    TempDir dir;
    WriteFile(dir / "a.txt");
    const std::pair<std::string, bool> cases[] = {
        {dir.str(), true}, {dir / "missing", false}, {dir / "a.txt", false}};
    for (const auto& [folder, succeeds] : cases) {
        bool listed = !succeeds;
        EXPECT_TRUE(Search(folder, "*.log", AttrDirectory, &listed).empty()) << folder;
        EXPECT_EQ(listed, succeeds) << folder;
    }
}

TEST(DirSearchWindows, TheVolumeLabelOfThePatternsDriveComesFirstOrNothingIsListed) {
    TempDir dir;
    WriteFile(dir / "a.txt");
    const std::string root = dir.str().substr(0, 3);
    ASSERT_EQ(root[1], ':') << "the temporary folder is not on a drive: " << dir.str();
    const auto expectLabelFirst = [&](const std::string& label) {
        bool listed = label.empty();
        const std::vector<std::string> names = Search(dir.str(), "*.*", AttrVolumeLabel, &listed);
        if (label.empty()) {
            EXPECT_TRUE(names.empty());
            EXPECT_FALSE(listed);
        } else {
            EXPECT_EQ(names, (std::vector<std::string>{label, "a.txt"}));
            EXPECT_TRUE(listed);
        }
    };
    expectLabelFirst(LabelOf(root));
    const ScopedVolumeLabel label(root, LabelOf(root).empty() ? "PEERWELL" : "");
    // Wine's drive folders keep no label: there the drive's own case above is the whole test.
    if (label.set())
        expectLabelFirst(LabelOf(root));
}

TEST(CanListDirectory, IsTrueForDirectoriesAndDriveRootsOnly) {
    TempDir dir;
    WriteFile(dir / "file");
    EXPECT_TRUE(CanListDirectory(dir.str()));
    EXPECT_TRUE(CanListDirectory(dir.str() + "\\"));
    EXPECT_TRUE(CanListDirectory(dir.str().substr(0, 3)));
    EXPECT_FALSE(CanListDirectory(dir / "file"));
    EXPECT_FALSE(CanListDirectory(dir / "missing"));
}
