#pragma once

#include "engine/LogBacklog.h"
#include "engine/MyDir.h"
#include "platform/DirWatch.h"
#include "platform/SoundPlayer.h"

#include <string>

// One pass over a directory, as the watch thread runs it when the directory is due: scans it
// with the changes its watch gives, appends a line per name found added or removed (as Kind asks)
// to its log with the time stamp, through logs, which keeps what the log can't take, and plays
// its Wav if a name was reported. A listing the watch took on its own that finds nothing leaves
// the log alone, unless lines wait for it.
struct PassOutcome {
    ScanResult found; // the names reported, as Kind asks
    // What became of the lines; for a directory without a log, every line counts as appended.
    LogAppend logged;
};
PassOutcome RunPass(MyDir& dir, const platform::ChangeSet& changes, platform::SoundPlayer& sound,
                    const std::string& timeStamp, LogBacklog& logs);
