#pragma once

#include <cstddef>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

// Reads a directory's log back and checks it against the directory: the names it held when the
// watch started, plus every added name, minus every removed name, in log order, must be what it
// holds now; and each name's lines must alternate between added and removed.
namespace testsupport {

struct LoggedEvent {
    std::string stamp; // "YYYY.MM.DD hh:mm"
    char sign = 0;     // '+' or '-'
    std::string name;  // with its \xHH escapes undone
};

// One line (without its line end) written for the directory labelled label; empty when the line
// is not a well-formed event of that directory.
std::optional<LoggedEvent> ParseLogLine(std::string_view line, std::string_view label);

struct Replay {
    std::size_t lines = 0;           // lines read
    std::size_t added = 0;           // " [+] " lines among them
    std::set<std::string> names;     // the names the log says the directory holds
    std::vector<std::string> faults; // each disagreement, in words
    bool Agrees() const { return faults.empty(); }
    // The first faults, one per line.
    std::string Describe() const;
};

// Replays a whole log (CR LF lines) of the directory labelled label over the names it held when
// the watch started.
Replay ReplayLog(std::string_view logText, std::string_view label, std::set<std::string> initial);

// ReplayLog, then a fault for every name the replay and the listing don't share.
Replay CheckLog(std::string_view logText, std::string_view label, std::set<std::string> initial,
                const std::set<std::string>& listing);

// What a search with the mask "*.*" and the attribute filter 0 lists, found without the
// program's own search: entries whose names don't start with '.' and that are regular files or
// symbolic links that don't lead to a directory.
std::set<std::string> ListPlainFiles(const std::string& dir);

// The name with every byte outside printable ASCII (and the backslash) as \xHH, for messages.
std::string Printable(std::string_view name);

} // namespace testsupport
