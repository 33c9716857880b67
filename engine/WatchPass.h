#pragma once

#include "engine/MyDir.h"
#include "platform/DirWatch.h"
#include "platform/SoundPlayer.h"

#include <string>

// One pass over a directory, as the watch thread runs it when the directory is due: scans it
// with the changes its watch gives, appends a line per name found added or removed (as Kind asks)
// to its log with the time stamp, and plays its Wav if a name was reported. A listing the watch
// took on its own that finds nothing leaves the log alone.
struct PassOutcome {
    ScanResult found; // the names reported, as Kind asks
    LogWrite written; // what became of the lines
};
PassOutcome RunPass(MyDir& dir, const platform::ChangeSet& changes, platform::SoundPlayer& sound,
                    const std::string& timeStamp);
