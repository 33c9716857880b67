#include "engine/WatchPass.h"

PassOutcome RunPass(MyDir& dir, const platform::ChangeSet& changes, platform::SoundPlayer& sound,
                    const std::string& timeStamp, LogBacklog& logs) {
    dir.Rescan(changes);
    PassOutcome outcome{dir.Found(), {}};
    const bool reported = outcome.found.HoldsName();
    if (!changes.announced && !reported && !logs.Failing(dir.Log()))
        return outcome;
    std::vector<std::string> lines = dir.LogLines(outcome.found, timeStamp);
    if (dir.Log().empty())
        outcome.logged.appended = std::move(lines);
    else
        outcome.logged = logs.Append(dir.Log(), std::move(lines));
    if (!dir.Wav().empty() && reported)
        sound.PlayAsync(dir.Wav());
    return outcome;
}
