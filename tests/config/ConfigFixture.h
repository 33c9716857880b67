#pragma once

#include "config/Configuration.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <sstream>
#include <string>

// The three header lines of every "peer.cfg".
inline const std::string Header = "**************************************\r\n"
                                  "***   Do not change this file!!!   ***\r\n"
                                  "**************************************\r\n";

// A one-record file as an earlier save left it.
inline const std::string OldContents = Header + "\"old\" \"\" \"*\" \"*.*\" \"0\" \"\" \"\"\r\n";

// The names in a folder.
inline std::set<std::string> EntryNames(const std::filesystem::path& dir) {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir))
        names.insert(entry.path().filename().string());
    return names;
}

// A temporary folder holding "peer.cfg", and helpers to read it into a list.
class ConfigFixture : public ::testing::Test {
protected:
    testsupport::TempDir dir;
    const std::string file = dir / "peer.cfg";

    // Reads contents as "peer.cfg"; the echo is kept in echo.
    DirArray Read(const std::string& contents) {
        testsupport::WriteFile(file, contents);
        DirArray dirs;
        echo.str({});
        last = ReadConfiguration(dirs, file, echo);
        return dirs;
    }

    std::ostringstream echo;
    ConfigurationRead last;
};
