#pragma once

#include "engine/DirSettings.h"
#include "tests/support/TempDir.h"

#include <string>
#include <vector>

namespace uitest {

// A temporary working directory holding the program's peer.cfg and watched directories.
class Workspace {
public:
    Workspace();
    // A new directory inside the workspace; returns its path.
    std::string MakeDir(const std::string& name) const;
    // n watched directories d0, d1, ... each logging to d<i>.log in the workspace.
    std::vector<DirSettings> MakeRecords(int count) const;
    // Writes peer.cfg as the program saves it.
    void WriteConfig(const std::vector<DirSettings>& records) const;
    std::string operator/(const std::string& name) const { return dir_ / name; }

private:
    testsupport::TempDir dir_;
    testsupport::ScopedWorkingDirectory cwd_;
};

} // namespace uitest
