#pragma once

#include "engine/DirArray.h"
#include "engine/WatchListener.h"

#include <cstddef>
#include <set>
#include <string>
#include <vector>

// The name a directory goes by in messages: its Alias, else its Path.
std::string LabelOf(const DirSettings& settings);
// The texts one under the other.
std::string JoinLines(const std::vector<std::string>& lines);

// How each directory of the current watch run stands, and what its line, the tray icon and the
// close question say of it.
class DirStatus {
public:
    // A new run over dirs: each directory is well until the run says otherwise.
    void Restart(const DirArray& dirs);
    // Stores the state of the directory in slot; true when it went from well to failing.
    bool Set(std::size_t slot, const DirState& state);

    bool Failing(std::size_t slot) const;
    const std::string& Path(std::size_t slot) const { return dirs_.at(slot).path; }
    // What is wrong with the directory, a sentence a line ("Inbox is not watched: ...").
    std::string Problems(std::size_t slot) const;
    // "Peerwell" while every directory is well, else how many are not, in at most 63
    // characters.
    std::string TrayTip() const;
    // A sentence for each log that lines wait for; empty when none wait.
    std::string WaitingLines() const;
    std::set<std::string> FailingPaths() const;

private:
    struct Dir {
        std::string path;
        std::string label;
        std::string log;
        DirState state;
    };
    std::vector<Dir> dirs_;
};
