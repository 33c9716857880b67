#include "platform/AtomicFile.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <filesystem>
#include <thread>

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
