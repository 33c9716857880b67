#pragma once

#include "platform/DirWatch.h"
#include "tests/support/TempDir.h"

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace watchtest {

// A watch over paths in a temporary folder, with one more directory whose changes end each
// wait, so that a test never blocks for good on a directory that is quiet.
struct Watched {
    testsupport::TempDir root;
    std::string dir = root / "watched";
    std::string marker = root / "marker";
    std::unique_ptr<platform::DirWatch> watch;
    static constexpr std::size_t markerSlot = 1;
    int markers = 0;

    Watched() {
        std::filesystem::create_directory(dir);
        std::filesystem::create_directory(marker);
    }
    // Slot 0 watches path, slot 1 the marker.
    void Watch(const std::string& path) {
        watch = std::make_unique<platform::DirWatch>(
            std::vector<platform::WatchedDir>{{path}, {marker}});
    }
    // The slots due a pass after every change made so far, the marker's left out.
    std::vector<std::size_t> Due() {
        testsupport::WriteFile(marker + "/" + std::to_string(markers++));
        std::vector<std::size_t> due;
        for (bool marked = false; !marked;) {
            for (const std::size_t slot : watch->Wait().ready) {
                marked = marked || slot == markerSlot;
                if (slot != markerSlot)
                    due.push_back(slot);
            }
        }
        watch->TakeChanges(markerSlot);
        return due;
    }
    platform::ChangeSet Take() { return watch->TakeChanges(0); }
    std::string In(const std::string& name) const { return dir + "/" + name; }
};

} // namespace watchtest
