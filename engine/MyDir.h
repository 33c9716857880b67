#pragma once

#include "engine/DirSettings.h"
#include "engine/MyFile.h"
#include "engine/Snapshot.h"
#include "platform/DirSearch.h"
#include "platform/DirWatch.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// What the last scan found, as far as Kind asks for it: no list for a kind of event that Kind
// excludes ('-' excludes the added names, '+' the removed ones).
struct ScanResult {
    std::optional<std::vector<std::string>> added;
    std::optional<std::vector<std::string>> removed;
    // True when a list holds a name: something to report.
    bool HoldsName() const;
};

// One watched directory: its settings and the snapshot of its last scan.
class MyDir {
public:
    MyDir();
    // Stores the settings and takes the baseline scan.
    explicit MyDir(DirSettings settings);

    const DirSettings& Settings() const { return settings_; }
    // Empties the snapshot, stores the settings, takes a new baseline scan.
    void Set(DirSettings settings);

    // A full scan: lists the directory and marks the snapshot.
    void Rescan();
    // A pass: takes the listing the changes bring like a full scan, or else examines only the
    // names they hold. It lists the directory itself when the last listing failed or a name
    // can't be decided. All give the same marks.
    void Rescan(const platform::ChangeSet& changes);

    // The names the last scan found new / gone, in snapshot order; none when Kind excludes
    // that kind of event.
    std::optional<std::vector<std::string>> GetAdded() const;
    std::optional<std::vector<std::string>> GetRemoved() const;
    ScanResult Found() const { return {GetAdded(), GetRemoved()}; }

    // The log lines of found: one per name, the added names first (see EventLog.h).
    std::vector<std::string> LogLines(const ScanResult& found, const std::string& timeStamp) const;

    const std::string& Path() const { return settings_.Path; }
    const std::string& Mask() const { return settings_.Mask; }
    std::int32_t Attrib() const { return settings_.Attrib; }
    const std::string& Log() const { return settings_.Log; }
    const std::string& Wav() const { return settings_.Wav; }
    const Snapshot& Files() const { return files_; }

private:
    void Rescan(const platform::DirListing& listing);
    std::vector<std::string_view> NamesToExamine(const platform::ChangeSet& changes) const;

    DirSettings settings_;
    Snapshot files_;
    // The symbolic links among the names matching Mask: a pass over changed names looks at them
    // again, since their directory bit follows a target that can change without them.
    std::vector<std::string> links_;
    // False after a listing that failed: the next pass lists the whole directory.
    bool listed_ = true;
};
