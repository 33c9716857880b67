#include "platform/AtomicFile.h"
#include "platform/DirectoryPath.h"
#include "platform/FileChecks.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cerrno>
#include <filesystem>
#include <thread>

using testsupport::ReadFile;
using testsupport::TempDir;
using testsupport::WriteFile;

// The hidden bit goes to the new file; a read-only file is refused, as it is and marked so.
TEST(ReplaceFileContentsWindows, KeepsTheAttributesOfTheFileAndLeavesNoTemporaryFile) {
    const struct {
        DWORD attribute;
        int error;
        const char* contents;
    } cases[] = {
        {FILE_ATTRIBUTE_HIDDEN, 0, "new"},
        {FILE_ATTRIBUTE_READONLY, EACCES, "old"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.attribute);
        TempDir dir;
        const std::string file = dir / "peer.cfg";
        WriteFile(file, "old");
        ASSERT_TRUE(::SetFileAttributesA(file.c_str(), c.attribute));
        EXPECT_EQ(platform::ReplaceFileContents(file, "new"), c.error);
        EXPECT_EQ(ReadFile(file), c.contents);
        EXPECT_TRUE(::GetFileAttributesA(file.c_str()) & c.attribute);
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()),
                                std::filesystem::directory_iterator()),
                  1);
        ::SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_NORMAL); // or it outlives the folder
    }
}

// A reader that holds the file for a moment delays the save but does not fail it.
TEST(ReplaceFileContentsWindows, WaitsForAReaderToLetGo) {
    TempDir dir;
    WriteFile(dir / "peer.cfg", "old");
    const HANDLE reader =
        ::CreateFileA((dir / "peer.cfg").c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                      nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(reader, INVALID_HANDLE_VALUE);
    std::thread closer([reader] { ::Sleep(300), ::CloseHandle(reader); });
    EXPECT_EQ(platform::ReplaceFileContents(dir / "peer.cfg", "new"), 0);
    closer.join();
    EXPECT_EQ(ReadFile(dir / "peer.cfg"), "new");
}

// The dialogs and peer.cfg give paths in the ANSI code page: here 1252, with ’ (0x92), which
// Unicode has far from its code, and é (0xE9), which it has at the same.
TEST(FileChecksWindows, AnswerForPathsOutsideAsciiInTheAnsiCodePage) {
    ASSERT_EQ(::GetACP(), 1252u) << "the test stage sets a locale of code page 1252";
    TempDir dir;
    char previous[MAX_PATH];
    ASSERT_TRUE(::GetCurrentDirectoryA(MAX_PATH, previous));
    for (const std::string name : {"it\x92s", "caf\xe9"}) {
        SCOPED_TRACE(name);
        const std::string folder = dir.str() + "\\" + name;
        const std::string log = folder + "\\" + name + ".log";
        const std::string sound = folder + "\\" + name + ".wav";
        ASSERT_TRUE(::CreateDirectoryA(folder.c_str(), nullptr));
        WriteFile(log);
        WriteFile(sound);
        ASSERT_TRUE(::SetFileAttributesA(sound.c_str(), FILE_ATTRIBUTE_READONLY));
        ASSERT_TRUE(::SetCurrentDirectoryA(folder.c_str()));
        EXPECT_EQ(platform::AbsolutePath(name + ".log"), log);
        ::SetCurrentDirectoryA(previous);
        EXPECT_EQ(platform::FolderOf(log), folder);
        EXPECT_TRUE(platform::IsDirectory(folder));
        EXPECT_FALSE(platform::IsDirectory(log));
        EXPECT_TRUE(platform::IsRegularFile(log));
        EXPECT_FALSE(platform::IsRegularFile(folder + "\\missing.wav"));
        EXPECT_FALSE(platform::IsReadOnly(log));
        EXPECT_TRUE(platform::IsReadOnly(sound));
        ::SetFileAttributesA(sound.c_str(), FILE_ATTRIBUTE_NORMAL);
    }
    EXPECT_EQ(platform::FolderOf("C:\\peer.log"), "C:\\") << "a root keeps its backslash";
}

// In a double-byte code page the byte of a backslash can end a character: in 932 "\x83\x5C" is
// one character, which a Path keeps. Runs where the test stage sets a locale of that code page.
TEST(DirectoryPathWindows, KeepsACharacterThatEndsInTheByteOfABackslash) {
    if (::GetACP() != 932)
        GTEST_SKIP() << "needs code page 932";
    EXPECT_EQ(platform::WithoutTrailingSeparators("C:\\\x83\x5C\\\\"), "C:\\\x83\x5C");
    EXPECT_EQ(platform::WithoutTrailingSeparators("C:\\\x83\x5C"), "C:\\\x83\x5C");
}
