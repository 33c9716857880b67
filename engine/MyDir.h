#pragma once

#include "engine/MyFile.h"
#include "engine/Snapshot.h"
#include "platform/ChangeSet.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// What one WriteLog call did: the lines it formatted (without line ends) and the errno of a
// failed open or write (0 when everything was written).
struct LogWrite {
    std::vector<std::string> lines;
    int error = 0;
};

// One watched directory: its seven settings and the snapshot of its last scan.
class MyDir {
public:
    MyDir();
    // Stores the settings and takes the baseline scan.
    MyDir(std::string Path, std::string Alias, char Kind, std::string Mask, std::int32_t Attrib,
          std::string Log, std::string Wav);
    // Copies settings and snapshot; the copy starts without Added/Removed lists.
    MyDir(const MyDir& other);
    MyDir& operator=(const MyDir& other);
    MyDir(MyDir&& other) noexcept;
    MyDir& operator=(MyDir&& other) noexcept;
    ~MyDir();

    void Get(std::string& Path, std::string& Alias, char& Kind, std::string& Mask,
             std::int32_t& Attrib, std::string& Log, std::string& Wav) const;
    // Empties the snapshot, stores the settings, takes a new baseline scan.
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

    // Appends one line per name of the existing lists to the Log file (see EventLog.h).
    LogWrite WriteLog(const std::string& timeStamp) const;

    const std::string& Path() const { return path_; }
    const std::string& Wav() const { return wav_; }
    char Kind() const { return kind_; }
    const Snapshot& Files() const { return files_; }

private:
    std::string path_;
    std::string alias_;
    char kind_ = '*';
    std::string mask_ = "*.*";
    std::int32_t attrib_ = 0;
    std::string log_;
    std::string wav_;
    Snapshot files_;
    std::optional<std::vector<std::string>> added_;
    std::optional<std::vector<std::string>> removed_;
};
