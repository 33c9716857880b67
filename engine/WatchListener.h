#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <vector>

// How the watch of one directory stands, as its user should see it.
struct DirState {
    enum class Watch {
        Watched,
        NotWatched,   // the system refused the watch or ended it
        NotAnswering, // a network or user-space file system whose listing failed or hangs
    };
    Watch watch = Watch::Watched;
    std::string watchReason;   // why not watched or not answering, with advice; empty while watched
    std::string logReason;     // why its log can't be written; empty while it can
    std::size_t keptLines = 0; // lines kept for its log until it can be written

    bool Well() const { return watch == Watch::Watched && logReason.empty(); }
    bool operator==(const DirState&) const = default;
};

// What the watch tells its owner of each run: on the watch thread, and during Start on the
// caller's. A slot is an index into Dirs as the run found it. Every call comes from one thread
// at a time, in the order things happened.
class WatchListener {
public:
    virtual ~WatchListener() = default;

    // Lines that went into a log, in order and without line ends; for a directory without a log
    // (log empty), the lines of its pass as formatted.
    virtual void Appended(const std::string& log, std::span<const std::string> lines) = 0;
    // A pass over the slot reported these names, each list as Kind asks (empty when excluded).
    virtual void Reported(std::size_t slot, const std::vector<std::string>& added,
                          const std::vector<std::string>& removed) = 0;
    // The slot's state changed. Start tells it once for each slot that is not well.
    virtual void StateChanged(std::size_t slot, const DirState& state) = 0;
};
