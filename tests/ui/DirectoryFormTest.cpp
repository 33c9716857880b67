// The Directory dialog's rules without a toolkit: what its controls show, the check boxes that
// keep one checked, and what OK stores or refuses, tested on real directories.
#include "ui/DirectoryForm.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>

TEST(DirectoryForm, KindShowsAsTwoBoxesOfWhichOneStaysChecked) {
    const std::pair<char, KindBoxes> opened[] = {
        {'*', {true, true}}, {'+', {true, false}}, {'-', {false, true}}, {'x', {false, true}}};
    for (const auto& [kind, boxes] : opened) {
        DirSettings settings{"path", "alias", kind, "mask", 0, "log", "wav"};
        EXPECT_EQ(DirectoryForm(settings).Fields(),
                  (DirectoryFields{"path", "alias", "mask", boxes}));
    }
    // The boxes once a click has toggled one of them.
    EXPECT_EQ(DirectoryForm::AfterClick({false, false}, KindBox::Inbound),
              (KindBoxes{false, true}));
    EXPECT_EQ(DirectoryForm::AfterClick({false, false}, KindBox::Outbound),
              (KindBoxes{true, false}));
    EXPECT_EQ(DirectoryForm::AfterClick({true, false}, KindBox::Inbound), (KindBoxes{true, false}));
}

// The path is tested as typed and stored without its trailing separators, but for a root's own;
// one that can't be listed is stored all the same, the other fields are not.
TEST(DirectoryForm, OkStoresTheFieldsOrSaysWhyNot) {
    const testsupport::TempDir dir;
    testsupport::WriteFile(dir / "file.txt");
    const std::string sep(1, static_cast<char>(std::filesystem::path::preferred_separator));
    const std::string root = dir.path().root_path().string();             // "/", "C:\"
    const std::string currentRoot = dir.path().root_directory().string(); // "/", "\"
    const DirSettings before{"before", "Alias", '+', "*.txt", 2, "a.log", "a.wav"};
    const auto accepted = [](const std::string& path, char kind) {
        return DirSettings{path, " x ", kind, "*.* ", 2, "a.log", "a.wav"};
    };
    const auto refused = [](const std::string& path) {
        return DirSettings{path, "Alias", '+', "*.txt", 2, "a.log", "a.wav"};
    };
    const std::string quote = "Path, Alias and Mask can't contain a double quote (\").";
    const struct {
        std::string path;
        KindBoxes boxes;
        std::string refusal;
        DirSettings after;
    } cases[] = {
        {dir.str() + sep + sep, {true, false}, "", accepted(dir.str(), '+')},
        {root + sep, {false, true}, "", accepted(root, '-')},
        {currentRoot, {true, true}, "", accepted(currentRoot, '*')},
        {"", {true, true}, "", accepted("", '*')},
        {dir / "missing" + sep, {true, true}, "Bad path setting!", refused(dir / "missing")},
        {dir / "file.txt", {true, true}, "Bad path setting!", refused(dir / "file.txt")},
        {dir.str() + "\"", {true, true}, quote, before},
    };
    for (const auto& c : cases) {
        DirSettings settings = before;
        const auto refusal = DirectoryForm(settings).Accept({c.path, " x ", "*.* ", c.boxes});
        EXPECT_EQ(refusal.value_or(""), c.refusal) << c.path;
        EXPECT_EQ(settings, c.after) << c.path;
    }
    DirSettings settings = before;
    EXPECT_EQ(DirectoryForm(settings).Accept({"", "", "a\"", {}}), quote);
}
