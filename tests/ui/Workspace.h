#pragma once

#include "config/Configuration.h"
#include "tests/support/TempDir.h"

#include <filesystem>
#include <string>
#include <vector>

namespace uitest {

// A temporary working directory holding the program's peer.cfg and watched directories.
class Workspace {
public:
    Workspace() : cwd_(dir_.path()) {}
    std::string operator/(const std::string& name) const { return dir_ / name; }

    // A new directory inside the workspace; returns its path.
    std::string MakeDir(const std::string& name) const {
        std::filesystem::create_directories(dir_.path() / name);
        return dir_ / name;
    }
    // n watched directories d0, d1, ... each logging to d<i>.log in the workspace.
    std::vector<DirSettings> MakeRecords(int count) const {
        std::vector<DirSettings> records;
        for (int i = 0; i < count; ++i) {
            const std::string name = "d" + std::to_string(i);
            records.push_back({MakeDir(name), name, '*', "*.*", 0, dir_ / (name + ".log"), ""});
        }
        return records;
    }
    // peer.cfg as the program saves it.
    static std::string ConfigText(const std::vector<DirSettings>& records) {
        DirArray dirs;
        for (const DirSettings& r : records)
            dirs.Add(MyDir(r));
        return FormatConfiguration(dirs);
    }
    void WriteConfig(const std::vector<DirSettings>& records) const {
        testsupport::WriteFile(dir_ / "peer.cfg", ConfigText(records));
    }

private:
    testsupport::TempDir dir_;
    testsupport::ScopedWorkingDirectory cwd_;
};

} // namespace uitest
