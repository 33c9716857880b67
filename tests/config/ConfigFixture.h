#pragma once

#include "config/Configuration.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

// The three header lines of every "peer.cfg".
inline const std::string Header = "**************************************\r\n"
                                  "***   Do not change this file!!!   ***\r\n"
                                  "**************************************\r\n";

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
        skipped.clear();
        for (const SkippedLine& line : ReadConfiguration(dirs, file, echo).skipped)
            skipped += DescribeSkippedLine(line, std::string::npos) + '\n';
        return dirs;
    }

    std::ostringstream echo;
    std::string skipped; // what the last Read skipped, one line each
};
