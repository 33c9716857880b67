#include "platform/AppendFile.h"
#include "platform/AtomicFile.h"
#include "platform/InputFile.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cerrno>
#include <filesystem>

using namespace platform;
using testsupport::ReadFile;
using testsupport::TempDir;
using testsupport::WriteFile;
namespace fs = std::filesystem;

namespace {

std::size_t EntryCount(const TempDir& dir) {
    return static_cast<std::size_t>(
        std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()));
}

std::string ReadInChunks(const std::string& path, int* error) {
    std::string text;
    *error = ReadFileChunks(path, [&](std::string_view chunk) {
        text += chunk;
        return true;
    });
    return text;
}

} // namespace

TEST(AppendLinesWindows, CreatesTheFileAndEndsEveryLineWithCarriageReturnLineFeed) {
    TempDir dir;
    EXPECT_EQ(AppendLines(dir / "log", {}), 0);
    EXPECT_TRUE(fs::exists(dir / "log"));
    EXPECT_EQ(AppendLines(dir / "log", {"one", "two"}), 0);
    EXPECT_EQ(AppendLines(dir / "log", {"three"}), 0);
    EXPECT_EQ(ReadFile(dir / "log"), "one\r\ntwo\r\nthree\r\n");
}

TEST(AppendLinesWindows, ReportsWhatKeptTheFileFromOpening) {
    TempDir dir;
    EXPECT_EQ(AppendLines(dir / "missing\\log", {"x"}), ENOENT);
    EXPECT_EQ(AppendLines(dir.str(), {"x"}), EISDIR);
    EXPECT_EQ(AppendLines("", {"x"}), ENOENT);
}

TEST(ReplaceFileContentsWindows, ReplacesTheFileWholeAndLeavesNoTemporaryFile) {
    TempDir dir;
    WriteFile(dir / "peer.cfg", "old");
    EXPECT_EQ(ReplaceFileContents(dir / "peer.cfg", "new\r\n"), 0);
    EXPECT_EQ(ReadFile(dir / "peer.cfg"), "new\r\n");
    EXPECT_EQ(ReplaceFileContents(dir / "fresh.cfg", "fresh"), 0);
    EXPECT_EQ(ReadFile(dir / "fresh.cfg"), "fresh");
    EXPECT_EQ(EntryCount(dir), 2u);
}

TEST(ReplaceFileContentsWindows, KeepsAHiddenFileHidden) {
    TempDir dir;
    WriteFile(dir / "hidden.cfg", "old");
    ASSERT_TRUE(::SetFileAttributesA((dir / "hidden.cfg").c_str(), FILE_ATTRIBUTE_HIDDEN));
    EXPECT_EQ(ReplaceFileContents(dir / "hidden.cfg", "new"), 0);
    EXPECT_EQ(ReadFile(dir / "hidden.cfg"), "new");
    EXPECT_TRUE(::GetFileAttributesA((dir / "hidden.cfg").c_str()) & FILE_ATTRIBUTE_HIDDEN);
    EXPECT_EQ(EntryCount(dir), 1u);
}

TEST(ReplaceFileContentsWindows, ADirectoryInThePlaceOfTheFileIsLeftAlone) {
    TempDir dir;
    fs::create_directory(dir / "peer.cfg");
    EXPECT_EQ(ReplaceFileContents(dir / "peer.cfg", "new"), EISDIR);
    EXPECT_TRUE(fs::is_directory(dir / "peer.cfg"));
    EXPECT_EQ(EntryCount(dir), 1u);
}

TEST(ReadFileChunksWindows, ReadsTheBytesAsWrittenAndSaysWhyAFileCannotBeRead) {
    TempDir dir;
    const std::string text = "a\r\nb\x1A" + std::string(100000, 'x');
    WriteFile(dir / "file", text);
    int error = -1;
    EXPECT_EQ(ReadInChunks(dir / "file", &error), text);
    EXPECT_EQ(error, 0);
    ReadInChunks(dir / "missing", &error);
    EXPECT_EQ(error, ENOENT);
    ReadInChunks(dir.str(), &error);
    EXPECT_EQ(error, EISDIR);
}
