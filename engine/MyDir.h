#pragma once

#include "engine/DirSettings.h"
#include "engine/MyFile.h"
#include "engine/Snapshot.h"
#include "platform/ChangeSet.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// What one WriteLog call did: the lines it formatted (without line ends), also when the log
// could not be written or Log is empty, and the errno of a failed open or write (0 when every
// line was written, or when Log is empty and nothing was to be written).
struct LogWrite {
    std::vector<std::string> lines;
    int error = 0;
};

// One watched directory: its settings and the snapshot of its last scan.
class MyDir {
public:
    MyDir();
    // Stores the settings and takes the baseline scan.
    explicit MyDir(DirSettings settings);
    MyDir(std::string Path, std::string Alias, char Kind, std::string Mask, std::int32_t Attrib,
          std::string Log, std::string Wav);
    // Copies settings and snapshot; the copy starts without Added/Removed lists.
    MyDir(const MyDir& other);
    MyDir& operator=(const MyDir& other);
    MyDir(MyDir&& other) noexcept;
    MyDir& operator=(MyDir&& other) noexcept;
    ~MyDir();

    const DirSettings& Settings() const { return settings_; }
    void Get(std::string& Path, std::string& Alias, char& Kind, std::string& Mask,
             std::int32_t& Attrib, std::string& Log, std::string& Wav) const;
    // Empties the snapshot, stores the settings, takes a new baseline scan.
    void Set(DirSettings settings);
    void Set(std::string Path, std::string Alias, char Kind, std::string Mask, std::int32_t Attrib,
             std::string Log, std::string Wav);

    // A full scan: lists the directory and marks the snapshot.
    void Rescan();
    // A pass after a notification: when changes.complete, examines only the names it holds;
    // otherwise lists the whole directory like Rescan(). Both give the same marks.
    void Rescan(const platform::ChangeSet& changes);

    // The names the last scan found new / gone, built on first request; null when Kind
    // excludes that kind of event. Valid until the next Rescan, Set or destruction.
    const std::vector<std::string>* GetAdded();
    const std::vector<std::string>* GetRemoved();

    // Opens (creates) the Log file and appends one line per name of the existing lists, the
    // added names first (see EventLog.h); the lists are not built here. An empty Log writes
    // nothing.
    LogWrite WriteLog(const std::string& timeStamp) const;

    const std::string& Path() const { return settings_.Path; }
    const std::string& Wav() const { return settings_.Wav; }
    char Kind() const { return settings_.Kind; }
    const Snapshot& Files() const { return files_; }

private:
    std::vector<std::string_view> NamesToExamine(const platform::ChangeSet& changes) const;

    DirSettings settings_;
    Snapshot files_;
    // The symbolic links among the names matching Mask: a pass over changed names looks at them
    // again, since their directory bit follows a target that can change without them.
    std::vector<std::string> links_;
    std::optional<std::vector<std::string>> added_;
    std::optional<std::vector<std::string>> removed_;
};
